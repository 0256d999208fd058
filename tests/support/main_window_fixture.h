#pragma once
// Hosts the real main window in-process, with its settings file in a private temporary folder,
// and drives it the way a user's input does.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "app/app_state.h"
#include "app/main_window.h"
#include "settings/settings_file.h"
#include "tests/support/message_box.h"
#include "tests/support/message_pump.h"
#include "tests/support/temp_dir.h"

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override { OpenMainWindow(); }

    void TearDown() override
    {
        DestroyMainWindowForTest();
        SetSettingsPathForTest(L"");
    }

    // Fresh settings with the test's own on top, then the window, as start-up creates it.
    void OpenMainWindow()
    {
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&classes);
        SetSettingsPathForTest(settingsPath_);
        g_app.settings = DefaultSettings();
        FixtureSettings(g_app.settings);
        PrepareSettings(g_app.settings);
        HINSTANCE instance = GetModuleHandleW(nullptr);
        ASSERT_TRUE(RegisterWindowClasses(instance));
        window_ = CreateMainWindow(instance);
        ASSERT_NE(window_, nullptr);
        ASSERT_EQ(g_app.mainWindow, window_);
    }
    // A new window over the current settings, after a test destroyed the first one.
    bool ReopenMainWindow()
    {
        window_ = CreateMainWindow(GetModuleHandleW(nullptr));
        return window_ != nullptr;
    }
    // Shown and marked ready, as start-up does right after placing the window.
    void ShowReady()
    {
        ShowWindow(window_, SW_SHOWNORMAL);
        g_app.windowReady = true;
        Pump();
    }

    // Settings the window starts with: the defaults, what a family of tests shares, then what
    // one test says.
    virtual void FixtureSettings(AppSettings&) {}
    virtual void PrepareSettings(AppSettings&) {}

    void Command(int id, int code = 0, HWND control = nullptr)
    {
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
    }
    static std::wstring Text(HWND window)
    {
        wchar_t buffer[512] = {};
        GetWindowTextW(window, buffer, 512);
        return buffer;
    }
    // WM_SETTEXT: the edit itself sends EN_CHANGE to the main window, as typing does.
    static void Type(HWND edit, const wchar_t* text)
    {
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
    // What a user's choice in the drop-down does: new selection, then CBN_SELCHANGE to the parent.
    static void Choose(HWND combo, int index)
    {
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
    }
    static int Selection(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }
    static void Click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }
    static bool IsChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    static bool Enabled(HWND window) { return IsWindowEnabled(window) != FALSE; }
    static std::wstring StatusText()
    {
        wchar_t buffer[512] = {};
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
    // The sort arrow a column of the original-names list shows: HDF_SORTUP, HDF_SORTDOWN or 0.
    static int HeaderFormat(int column)
    {
        HWND header = reinterpret_cast<HWND>(SendMessageW(g_app.listOriginal, LVM_GETHEADER, 0, 0));
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
        return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
    }
    // A list view's notification to the main window, as the list sends it (LVN_COLUMNCLICK,
    // LVN_BEGINDRAG, LVN_ITEMCHANGED with `state` as the new state).
    static void NotifyList(HWND list, UINT code, int item, int subItem, POINT at = {}, UINT state = 0)
    {
        NMLISTVIEW view = {};
        view.hdr.hwndFrom = list;
        view.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
        view.hdr.code = code;
        view.iItem = item;
        view.iSubItem = subItem;
        view.ptAction = at;
        view.uChanged = state ? LVIF_STATE : 0;
        view.uNewState = state;
        SendMessageW(g_app.mainWindow, WM_NOTIFY, view.hdr.idFrom, reinterpret_cast<LPARAM>(&view));
    }
    static int ItemCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

    static bool WaitIdle()
    {
        return PumpUntil([] { return !g_app.busy; });
    }

    bool SettingsFileExists() const { return TempDir::Exists(settingsPath_); }
    void DeleteSettingsFile() const { DeleteFileW(settingsPath_.c_str()); }
    // The settings as a fresh start would load them from the file.
    AppSettings SavedSettings() const
    {
        AppSettings saved = DefaultSettings();
        EXPECT_TRUE(LoadSettings(settingsPath_, saved));
        return saved;
    }

    TempDir folder_{L"op-window"};  // holds only the settings file
    std::wstring settingsPath_ = folder_ / L"settings.json";
    HWND window_ = nullptr;
};

// The main window shown and ready, as after start-up.
class ShownMainWindowFixture : public MainWindowFixture {
protected:
    void SetUp() override
    {
        OpenMainWindow();
        if (!HasFatalFailure()) ShowReady();
    }
};
