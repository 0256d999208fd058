#pragma once
// The built program itself, started from a copy in a temporary folder, with its settings file
// beside it, and closed or ended from the test.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/built_program.h"
#include "tests/support/message_box.h"
#include "tests/support/temp_dir.h"

// The status bar's text, read across processes (WM_GETTEXT gives part 0).
inline std::wstring StatusBarText(HWND window)
{
    HWND status = FindWindowExW(window, nullptr, L"msctls_statusbar32", nullptr);
    wchar_t text[256] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(status, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000, &result);
    return text;
}

// A child control's text, read across processes.
inline std::wstring ControlText(HWND window, int id)
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
