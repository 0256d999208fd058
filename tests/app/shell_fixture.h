#pragma once
// The real main window hosted in-process for the shell tests, with its settings file in a
// private temporary folder, plus a helper that answers the message boxes and dialogs the
// window opens (a modal loop would otherwise wait for a user).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "app/app_state.h"
#include "app/main_window.h"
#include "engine/path.h"
#include "settings/settings_file.h"
#include "tests/support/message_box.h"
#include "tests/support/temp_dir.h"

class ShellWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        settingsPath_ = folder_ / L"settings.json";
        SetSettingsPathForTest(settingsPath_);
        g_app.settings = DefaultSettings();
        PrepareSettings(g_app.settings);
        HINSTANCE instance = GetModuleHandleW(nullptr);
        InitCommonControls();
        ASSERT_TRUE(RegisterWindowClasses(instance));
        window_ = CreateMainWindow(instance);
        ASSERT_NE(window_, nullptr);
        ShowWindow(window_, SW_SHOWNORMAL);
        g_app.windowReady = true;  // as start-up does right after placing the window
        Pump();
    }

    void TearDown() override
    {
        DestroyMainWindowForTest();
        SetSettingsPathForTest(L"");
    }

    virtual void PrepareSettings(AppSettings&) {}

    static void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    void Command(int id, int code = 0, HWND control = nullptr)
    {
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
    }
    static void Type(HWND edit, const wchar_t* text) { SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }
    static std::wstring Text(HWND window)
    {
        wchar_t buffer[512] = {};
        GetWindowTextW(window, buffer, 512);
        return buffer;
    }
    static void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
    static int Selection(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

    bool SettingsFileExists() const { return GetFileAttributesW(settingsPath_.c_str()) != INVALID_FILE_ATTRIBUTES; }
    void DeleteSettingsFile() const { DeleteFileW(settingsPath_.c_str()); }
    // The settings as a fresh start would load them from the file.
    AppSettings SavedSettings() const
    {
        AppSettings saved = DefaultSettings();
        EXPECT_TRUE(LoadSettings(settingsPath_, saved));
        return saved;
    }

    TempDir folder_{L"op-shell"};
    std::wstring settingsPath_;
    HWND window_ = nullptr;
};
