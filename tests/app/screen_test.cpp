// The built program on a screen of another size and DPI, which screen_setups_test.sh gives it
// (its own display and Wine prefix): the first start and a restart with the saved placement
// keep the lists' rows, nothing overlaps or leaves the client area, and the input edit keeps
// its share of the width.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "tests/support/built_program.h"
#include "tests/support/message_box.h"
#include "tests/support/temp_dir.h"

namespace {

// The visible children of the window in its client coordinates, by ID.
std::vector<std::pair<int, RECT>> ShownChildren(HWND window)
{
    std::vector<std::pair<int, RECT>> shown;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        RECT rect{};
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        shown.push_back({GetDlgCtrlID(child), rect});
    }
    return shown;
}

void CheckWindow(HWND window, int wantedRows)
{
    RECT work{}, frame{}, client{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    EXPECT_LE(frame.right - frame.left, work.right - work.left);
    EXPECT_LE(frame.bottom - frame.top, work.bottom - work.top);
    const auto shown = ShownChildren(window);
    for (size_t i = 0; i < shown.size(); ++i) {
        const RECT& a = shown[i].second;
        EXPECT_GE(a.left, 0) << shown[i].first;
        EXPECT_GE(a.top, 0) << shown[i].first;
        EXPECT_LE(a.right, client.right) << shown[i].first;
        EXPECT_LE(a.bottom, client.bottom) << shown[i].first;
        for (size_t j = i + 1; j < shown.size(); ++j) {
            RECT overlap{};
            EXPECT_FALSE(IntersectRect(&overlap, &a, &shown[j].second))
                << shown[i].first << " overlaps " << shown[j].first;
        }
    }
    for (int id : {1071, 1073}) {
        EXPECT_GE(SendMessageW(GetDlgItem(window, id), LVM_GETCOUNTPERPAGE, 0, 0), wantedRows) << id;
    }
    RECT input{};
    GetWindowRect(GetDlgItem(window, 1002), &input);
    EXPECT_GE((input.right - input.left) * 5, client.right * 2);
}

TEST(ScreenSetup, FirstStartAndRestartKeepTheListRows)
{
    const char* font = std::getenv("OP_SCREEN_FONT");
    const char* rows = std::getenv("OP_SCREEN_ROWS");
    if (!font || !rows) GTEST_SKIP() << "run by screen_setups_test.sh on a screen of its own size and DPI";
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);  // the program's coordinates

    TempDir folder(L"op-screen");
    const std::wstring exe = folder.path() + L"\\OrvanePallisto.exe";
    ASSERT_TRUE(CopyFileW(BuiltExePath().c_str(), exe.c_str(), FALSE)) << "missing built exe";
    AppSettings settings = DefaultSettings();  // no placement: a first start
    settings.fontPt = std::atoi(font);
    ASSERT_TRUE(WriteSettingsFile(folder.path() + L"\\settings.json", settings));

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run == 0 ? "first start" : "restart with the saved placement");
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        std::wstring commandLine = L"\"" + exe + L"\"";
        ASSERT_TRUE(CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   folder.path().c_str(), &startup, &process));
        HWND window = WaitForMainWindow(process.dwProcessId, 20000);
        EXPECT_NE(window, nullptr) << "the program showed no main window";
        if (window) {
            CheckWindow(window, std::atoi(rows));
            if (run == 0) {
                // The default width at the window's DPI, or the whole width of a smaller screen.
                RECT work{}, frame{};
                SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
                GetWindowRect(window, &frame);
                const int wanted = MulDiv(settings.winW, static_cast<int>(GetDpiForWindow(window)), 96);
                EXPECT_EQ(frame.right - frame.left, std::min<int>(wanted, work.right - work.left));
            }
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        if (WaitForSingleObject(process.hProcess, 15000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 9);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    AppSettings saved = DefaultSettings();
    ASSERT_TRUE(LoadSettings(folder.path() + L"\\settings.json", saved));
    EXPECT_TRUE(saved.hasWindowPos);
}

}  // namespace
