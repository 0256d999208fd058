// Collecting the live window into the settings, and putting a new window back where it was.
#include "tests/support/main_window_fixture.h"

namespace {

using SettingsWindowTest = ShownMainWindowFixture;

RECT WorkArea(HWND window)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

TEST_F(SettingsWindowTest, UnforcedSaveNeedsAutoSaveAndReadyWindow)
{
    struct Row {
        bool autoSave, ready, force, saves;
    } rows[] = {
        {true, true, false, true},    {false, true, false, false}, {true, false, false, false},
        {false, false, false, false}, {false, false, true, true},  {true, true, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.autoSave << row.ready << row.force);
        DeleteSettingsFile();
        g_app.settings.autoSave = row.autoSave;
        g_app.windowReady = row.ready;
        SaveSettings(row.force);
        EXPECT_EQ(SettingsFileExists(), row.saves);
    }
}

TEST_F(SettingsWindowTest, SaveCollectsControlsPlacementAndColumns)
{
    Type(g_app.replaceEdit, L"new");
    SetWindowPos(window_, nullptr, 21, 32, 1111, 777, SWP_NOZORDER);
    ListView_SetColumnWidth(g_app.listOriginal, 0, 150);
    ListView_SetColumnWidth(g_app.listOriginal, 2, 61);
    ListView_SetColumnWidth(g_app.listNew, 0, 140);
    SaveSettings(true);
    AppSettings saved = SavedSettings();
    EXPECT_EQ(saved.rules.replace, L"new");
    EXPECT_TRUE(saved.hasWindowPos);
    EXPECT_FALSE(saved.winMaximized);
    EXPECT_EQ(saved.showCmd, SW_SHOWNORMAL);
    EXPECT_EQ(saved.winX, 21);
    EXPECT_EQ(saved.winY, 32);
    EXPECT_EQ(saved.winW, 1111);
    EXPECT_EQ(saved.winH, 777);
    EXPECT_EQ(saved.colOrig0, 150);
    EXPECT_EQ(saved.colOrig2, 61);
    EXPECT_EQ(saved.colNew0, 140);
}

TEST_F(SettingsWindowTest, MaximisedAndMinimisedStatesAreStoredAsRestorable)
{
    ShowWindow(window_, SW_MAXIMIZE);
    SaveSettings(true);
    AppSettings saved = SavedSettings();
    EXPECT_TRUE(saved.winMaximized);
    EXPECT_EQ(saved.showCmd, SW_SHOWMAXIMIZED);

    ShowWindow(window_, SW_MINIMIZE);  // restores to maximised
    SaveSettings(true);
    saved = SavedSettings();
    EXPECT_EQ(saved.showCmd, SW_SHOWMAXIMIZED) << "a minimised window is never restored minimised";
    EXPECT_TRUE(saved.winMaximized);

    ShowWindow(window_, SW_RESTORE);
    ShowWindow(window_, SW_RESTORE);
    ShowWindow(window_, SW_MINIMIZE);
    SaveSettings(true);
    saved = SavedSettings();
    EXPECT_EQ(saved.showCmd, SW_SHOWNORMAL);
    EXPECT_FALSE(saved.winMaximized);
}

TEST_F(SettingsWindowTest, RestorePlacesTheWindowOnTheWorkArea)
{
    const RECT work = WorkArea(window_);
    const int workW = work.right - work.left, workH = work.bottom - work.top;
    struct Row {
        int x, y, w, h;
        int left, top, width, height;  // expected outer rectangle
    } rows[] = {
        {100, 50, 1000, 800, 100, 50, 1000, 800},  // fits: as saved
        {100, 50, 300, 200, 100, 50, 980, 760},    // below the minimum: the window's own minimum wins
        {-5000, 40, 1000, 800, static_cast<int>(work.left), 40, 1000, 800},         // far left
        {40, 9000, 1000, 800, 40, static_cast<int>(work.bottom) - 800, 1000, 800},  // far below
        {0, 0, 20000, 20000, 0, 0, workW, workH},                                   // larger than the screen
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.x << "," << row.y);
        ShowWindow(window_, SW_HIDE);
        g_app.settings.hasWindowPos = true;
        g_app.settings.winMaximized = false;
        g_app.settings.winX = row.x;
        g_app.settings.winY = row.y;
        g_app.settings.winW = row.w;
        g_app.settings.winH = row.h;
        RestoreWindowPlacement(window_, SW_SHOWMINIMIZED);
        EXPECT_TRUE(IsWindowVisible(window_));
        EXPECT_FALSE(IsIconic(window_)) << "a saved placement ignores the start-up show command";
        RECT rect;
        GetWindowRect(window_, &rect);
        EXPECT_EQ(rect.left, row.left);
        EXPECT_EQ(rect.top, row.top);
        EXPECT_EQ(rect.right - rect.left, row.width);
        EXPECT_EQ(rect.bottom - rect.top, row.height);
    }
}

TEST_F(SettingsWindowTest, RestoreMaximisedOrWithShowCommandWhenNothingSaved)
{
    ShowWindow(window_, SW_HIDE);
    g_app.settings.hasWindowPos = true;
    g_app.settings.winX = 10;
    g_app.settings.winY = 10;
    g_app.settings.winMaximized = true;
    RestoreWindowPlacement(window_, SW_SHOWNORMAL);
    EXPECT_TRUE(IsZoomed(window_));

    ShowWindow(window_, SW_HIDE);
    ShowWindow(window_, SW_RESTORE);
    ShowWindow(window_, SW_HIDE);
    g_app.settings.hasWindowPos = false;
    RestoreWindowPlacement(window_, SW_SHOWMINNOACTIVE);
    EXPECT_TRUE(IsIconic(window_)) << "without a saved position the start-up show command rules";

    ShowWindow(window_, SW_RESTORE);
    ShowWindow(window_, SW_HIDE);
    g_app.settings.hasWindowPos = true;
    g_app.settings.winX = INT32_MIN;  // never placed: CW_USEDEFAULT
    g_app.settings.winMaximized = false;
    RestoreWindowPlacement(window_, SW_SHOWMAXIMIZED);
    EXPECT_TRUE(IsZoomed(window_));
}

}  // namespace
