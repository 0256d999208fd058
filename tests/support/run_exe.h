#pragma once
// The built program run as a user's script runs it: a child process with its standard output and
// error redirected to files, waited for, its exit code and both texts kept.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/built_program.h"
#include "tests/support/temp_dir.h"

// The program writes UTF-8: expected texts are compared in it.
inline std::string Utf8(const std::wstring& text)
{
    std::string bytes(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.pop_back();
    return bytes;
}

struct ExeRun {
    DWORD exitCode = STILL_ACTIVE;  // still active: it did not end in time (and was ended)
    std::string out;                // standard output, as bytes
    std::string err;

    // Standard output's lines, without their CR LF.
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        size_t from = 0;
        while (from < out.size()) {
            size_t end = out.find("\r\n", from);
            if (end == std::string::npos) end = out.size();
            lines.push_back(out.substr(from, end - from));
            from = end + 2;
        }
        return lines;
    }
};

// Runs `exe` with `arguments` in `workDir` (null: this one), its standard output and error going to
// the given inheritable handles, and waits for it; its exit code (STILL_ACTIVE: it did not end in
// time and was ended, or never started: then `startError`, when given, says why).
inline DWORD RunWithOutput(const std::wstring& exe, const std::wstring& arguments, const wchar_t* workDir, HANDLE out,
                           HANDLE err, DWORD timeoutMs = INFINITE, DWORD* startError = nullptr)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process = {};
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    DWORD exitCode = STILL_ACTIVE;
    // A run with no output and no exit code was seen once under a loaded wineserver. A start that
    // fails never ran the program, so trying again tests the same thing; the error is kept.
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 3; ++attempt) {
        error = ERROR_SUCCESS;
        if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, workDir, &startup,
                           &process))
            break;
        error = GetLastError();
    }
    if (startError) *startError = error;
    if (error != ERROR_SUCCESS) return exitCode;
    if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 9);
    WaitForSingleObject(process.hProcess, 5000);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return exitCode;
}

// Runs `exe` with `arguments` in `workDir`; its output goes to files in `scratch`.
inline ExeRun RunExe(const std::wstring& exe, const std::wstring& arguments, const std::wstring& workDir,
                     const TempDir& scratch, DWORD timeoutMs = 60000)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    // Files of their own for each run: a child's inherited handle may outlive it for a moment.
    static int runs = 0;
    const std::wstring number = std::to_wstring(++runs);
    const std::wstring outPath = scratch / (L"stdout" + number + L".txt"),
                       errPath = scratch / (L"stderr" + number + L".txt");
    HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    HANDLE err = CreateFileW(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    ExeRun run;
    DWORD startError = ERROR_SUCCESS;
    run.exitCode = RunWithOutput(exe, arguments, workDir.c_str(), out, err, timeoutMs, &startError);
    CloseHandle(out);
    CloseHandle(err);
    run.out = TempDir::ReadFileBytes(outPath);
    run.err = TempDir::ReadFileBytes(errPath);
    if (startError != ERROR_SUCCESS)
        run.err += "(the test could not start it: error " + std::to_string(startError) + ")";
    return run;
}
