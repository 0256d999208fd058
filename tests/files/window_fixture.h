#pragma once
// The real main window hosted in-process over a real temporary input folder, with its settings
// file in a private folder, a helper that answers message boxes, and a message pump.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/main_window.h"
#include "settings/settings_file.h"
#include "tests/support/message_box.h"
#include "tests/support/temp_dir.h"

class FilesWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&classes);
        SetSettingsPathForTest(settingsDir_ / L"settings.json");
        g_app.settings = DefaultSettings();
        g_app.settings.autoSave = false;
        g_app.settings.inputDir = input_.path();
        g_app.settings.rules.prefix.type = SequenceType::Numbers;
        g_app.settings.rules.prefix.pad = 3;
        g_app.settings.rules.prefix.sep = L"";
        PrepareFiles();
        PrepareSettings(g_app.settings);
        HINSTANCE instance = GetModuleHandleW(nullptr);
        ASSERT_TRUE(RegisterWindowClasses(instance));
        window_ = CreateMainWindow(instance);
        ASSERT_NE(window_, nullptr);
    }

    void TearDown() override
    {
        DestroyMainWindowForTest();
        SetSettingsPathForTest(L"");
    }

    // The input folder's files before the window scans it at creation.
    virtual void PrepareFiles() {}
    virtual void PrepareSettings(AppSettings&) {}

    void Command(int id, int code = 0, HWND control = nullptr)
    {
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
    }
    void Refresh() { Command(40001); }
    void SetInputDir(const std::wstring& path)
    {
        SendMessageW(g_app.inputEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        Refresh();
    }
    void Process() { Command(1080, BN_CLICKED, g_app.processButton); }

    // Pumps this thread's messages until `done` holds or `ms` pass; false on time-out.
    static bool PumpUntil(const std::function<bool()>& done, DWORD ms = 20000)
    {
        const ULONGLONG deadline = GetTickCount64() + ms;
        MSG msg;
        while (!done()) {
            if (GetTickCount64() > deadline) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        return true;
    }
    static bool WaitIdle() { return PumpUntil([] { return !g_app.busy; }); }

    static std::wstring StatusBar()
    {
        wchar_t buffer[512] = {};
        SendMessageW(g_app.statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(buffer));
        return buffer;
    }
    // The text a list shows in a cell, asked the way any client asks it.
    static std::wstring Cell(HWND list, int row, int column)
    {
        wchar_t buffer[512] = {};
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 512;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return buffer;
    }
    static int ItemCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
    static std::vector<std::wstring> Names()
    {
        std::vector<std::wstring> names;
        for (const FileEntry& row : g_app.files) names.push_back(row.name);
        return names;
    }

    TempDir input_;
    TempDir settingsDir_;
    HWND window_ = nullptr;
};
