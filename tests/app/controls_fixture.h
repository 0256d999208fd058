#pragma once
// Hosts the real main window in-process for the controls, layout and binding tests, with its
// settings file in a private temporary folder, and drives it the way a user's input does.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "app/app_state.h"
#include "app/main_window.h"
#include "engine/path.h"
#include "settings/settings_file.h"
#include "tests/support/temp_dir.h"

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&classes);
        settingsPath_ = folder_ / L"settings.json";
        SetSettingsPathForTest(settingsPath_);
        g_app.settings = DefaultSettings();
        PrepareSettings(g_app.settings);
        HINSTANCE instance = GetModuleHandleW(nullptr);
        ASSERT_TRUE(RegisterWindowClasses(instance));
        window_ = CreateMainWindow(instance);
        ASSERT_NE(window_, nullptr);
        ASSERT_EQ(g_app.mainWindow, window_);
    }

    void TearDown() override
    {
        DestroyMainWindowForTest();
        SetSettingsPathForTest(L"");
    }

    // Settings the window starts with; the defaults unless a test says otherwise.
    virtual void PrepareSettings(AppSettings&) {}

    static std::wstring Text(HWND window)
    {
        wchar_t buffer[512] = {};
        GetWindowTextW(window, buffer, 512);
        return buffer;
    }
    // WM_SETTEXT: the edit itself sends EN_CHANGE to the main window, as typing does.
    static void Type(HWND edit, const wchar_t* text) { SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }
    // What a user's choice in the drop-down does: new selection, then CBN_SELCHANGE to the parent.
    static void Choose(HWND combo, int index)
    {
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
    }
    static void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
    static bool IsChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    static bool Enabled(HWND window) { return IsWindowEnabled(window) != FALSE; }
    static std::wstring StatusText()
    {
        wchar_t buffer[256] = {};
        SendMessageW(g_app.statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(buffer));
        return buffer;
    }
    // A child's rectangle in main-window client coordinates.
    static RECT ChildRect(HWND child)
    {
        RECT rect{};
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, g_app.mainWindow, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    bool SettingsFileExists() const { return GetFileAttributesW(settingsPath_.c_str()) != INVALID_FILE_ATTRIBUTES; }

    TempDir folder_{L"op-controls"};
    std::wstring settingsPath_;
    HWND window_ = nullptr;
};
