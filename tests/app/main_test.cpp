// The built program itself: a copy of the exe in a temporary folder is started, handed a second
// instance, and closed the way a user closes it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "engine/path.h"
#include "settings/settings_file.h"
#include "tests/support/message_box.h"
#include "tests/support/run_exe.h"
#include "tests/support/temp_dir.h"

namespace {

HWND WaitForMainWindow(DWORD pid, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        HWND found = FindTopWindow(pid, L"OrvanePallistoWnd", false);
        if (found && IsWindowVisible(found)) return found;
        Sleep(50);
    }
    return nullptr;
}

// The status bar's text, read across processes (WM_GETTEXT gives part 0).
std::wstring StatusBarText(HWND window)
{
    HWND status = FindWindowExW(window, nullptr, L"msctls_statusbar32", nullptr);
    wchar_t text[256] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(status, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000, &result);
    return text;
}

// A child control's text, read across processes.
std::wstring ControlText(HWND window, int id)
{
    wchar_t text[512] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(GetDlgItem(window, id), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000,
                        &result);
    return text;
}

class ProgramRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        exe_ = folder_ / L"OrvanePallisto.exe";
        settings_ = folder_ / L"settings.json";
        ASSERT_TRUE(CopyFileW(BuiltExePath().c_str(), exe_.c_str(), FALSE)) << "missing built exe";
    }
    void TearDown() override
    {
        for (PROCESS_INFORMATION& process : started_) {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 9);
            WaitForSingleObject(process.hProcess, 5000);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
    }

    PROCESS_INFORMATION Start(const std::wstring& arguments = L"")
    {
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        std::wstring commandLine = L"\"" + exe_ + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
        EXPECT_TRUE(CreateProcessW(exe_.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   folder_.path().c_str(), &startup, &process));
        started_.push_back(process);
        return process;
    }
    static DWORD WaitExit(const PROCESS_INFORMATION& process, DWORD timeoutMs)
    {
        if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        return code;
    }
    // Closes the program's window as the user does and returns its exit code.
    DWORD CloseNormally(const PROCESS_INFORMATION& process, HWND window)
    {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return WaitExit(process, 15000);
    }

    TempDir folder_{L"op-exe"};  // removed after TearDown has ended the started copies
    std::wstring exe_, settings_;
    std::vector<PROCESS_INFORMATION> started_;
};

TEST_F(ProgramRun, SecondInstanceExitsWhileFirstRunsAndCloseSaves)
{
    PROCESS_INFORMATION first = Start();
    HWND window = WaitForMainWindow(first.dwProcessId, 20000);
    ASSERT_NE(window, nullptr) << "the program showed no main window";
    EXPECT_EQ(GetFileAttributesW(settings_.c_str()), INVALID_FILE_ATTRIBUTES) << "start-up writes nothing";
    EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetWindowDpiAwarenessContext(window)),
              DPI_AWARENESS_PER_MONITOR_AWARE);

    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window));
    TempDir input(L"op-exe-second");
    input.Write(L"a.txt", "");
    PROCESS_INFORMATION second = Start(L"\"" + input.path() + L"\"");
    EXPECT_EQ(WaitExit(second, 15000), 0u) << "a second instance hands over and exits with 0";
    EXPECT_EQ(ControlText(window, 1002), input.path()) << "the folder was handed over";
    EXPECT_EQ(StatusBarText(window).rfind(L"Files: 1 ", 0), 0u) << StatusBarText(window);
    EXPECT_FALSE(IsIconic(window)) << "the running window is restored";
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(WaitForSingleObject(first.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the first keeps running";

    EXPECT_EQ(CloseNormally(first, window), 0u);
    std::string text = TempDir::ReadFileBytes(settings_);
    EXPECT_EQ(CountLines(text), 43);
    EXPECT_EQ(text.rfind("{", 0), 0u);
}

TEST_F(ProgramRun, SettingsPersistAcrossARestart)
{
    TempDir dir(L"op-exe-input");
    const std::wstring& input = dir.path();
    dir.Write(L"photo.jpg", "");
    AppSettings settings = DefaultSettings();
    settings.inputDir = input;
    settings.rules.search = L"photo";
    settings.rules.replace = L"picture";
    settings.fontPt = 12;
    settings.hasWindowPos = true;
    settings.winX = 30;
    settings.winY = 40;
    settings.winW = 1200;
    settings.winH = 850;
    ASSERT_TRUE(WriteSettingsFile(settings_, settings));

    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        PROCESS_INFORMATION process = Start();
        HWND window = WaitForMainWindow(process.dwProcessId, 20000);
        ASSERT_NE(window, nullptr);
        RECT rect;
        GetWindowRect(window, &rect);
        EXPECT_EQ(rect.left, 30);
        EXPECT_EQ(rect.top, 40);
        EXPECT_EQ(rect.right - rect.left, 1200);
        EXPECT_EQ(CloseNormally(process, window), 0u);
        AppSettings saved = DefaultSettings();
        ASSERT_TRUE(LoadSettings(settings_, saved));
        EXPECT_EQ(saved.inputDir, input);
        EXPECT_EQ(saved.rules.search, L"photo");
        EXPECT_EQ(saved.rules.replace, L"picture");
        EXPECT_EQ(saved.fontPt, 12);
        EXPECT_EQ(saved.winW, 1200);
    }
}

TEST_F(ProgramRun, F5RereadsTheDirectoryFromAnyControl)
{
    TempDir dir(L"op-exe-f5");
    const std::wstring& input = dir.path();
    dir.Write(L"a.txt", "");
    AppSettings settings = DefaultSettings();
    settings.inputDir = input;
    ASSERT_TRUE(WriteSettingsFile(settings_, settings));
    PROCESS_INFORMATION process = Start();
    HWND window = WaitForMainWindow(process.dwProcessId, 20000);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(StatusBarText(window).rfind(L"Files: 1 ", 0), 0u) << StatusBarText(window);

    // The key arrives at a list view, which bypasses dialog navigation; the accelerator still
    // turns it into "Refresh Directory".
    dir.Write(L"b.txt", "");
    HWND list = FindWindowExW(window, nullptr, L"SysListView32", nullptr);
    ASSERT_NE(list, nullptr);
    PostMessageW(list, WM_KEYDOWN, VK_F5, 0x003F0001);
    PostMessageW(list, WM_KEYUP, VK_F5, 0xC03F0001);
    std::wstring status;
    for (int i = 0; i < 100 && status.rfind(L"Files: 2 ", 0) != 0; ++i) {
        Sleep(50);
        status = StatusBarText(window);
    }
    EXPECT_EQ(status.rfind(L"Files: 2 ", 0), 0u) << status;
    EXPECT_EQ(CloseNormally(process, window), 0u);
}

// Explorer's "Send to", "Open with" or a folder dropped on the exe: the first argument is the
// input directory, as if chosen with Browse, and is saved as Browse saves it.
TEST_F(ProgramRun, StartsOnTheFolderOfItsFirstArgument)
{
    TempDir dir(L"op-exe-arg folder");  // a blank in the name: the argument must be quoted
    dir.Write(L"a.txt", "");
    dir.Write(L"b.txt", "");
    const std::wstring missing = dir / L"gone";
    const struct {
        std::wstring arguments, input, status;
    } cases[] = {
        {L"\"" + dir.path() + L"\" ignored", dir.path(), L"Files: 2 "},
        {L"\"" + (dir / L"b.txt") + L"\"", dir.path(), L"Files: 2 "},
        {L"\"" + missing + L"\"", missing, L"Input directory not found."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        PROCESS_INFORMATION process = Start(c.arguments);
        HWND window = WaitForMainWindow(process.dwProcessId, 20000);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(ControlText(window, 1002), c.input);
        EXPECT_EQ(ControlText(window, 1005), c.input) << "Rename in Place: the output follows";
        EXPECT_EQ(StatusBarText(window).rfind(c.status, 0), 0u) << StatusBarText(window);
        AppSettings saved = DefaultSettings();
        EXPECT_TRUE(LoadSettings(settings_, saved));
        EXPECT_EQ(saved.inputDir, c.input);
        EXPECT_EQ(CloseNormally(process, window), 0u);
        DeleteFileW(settings_.c_str());
    }
}

}  // namespace
