#pragma once
// The built program as the tests that start it find it: its exe beside the test folders, and its
// main window once it shows.
#include <windows.h>

#include <string>

#include "tests/support/message_box.h"

// build/tests/app/<test>.exe -> build/app/OrvanePallisto.exe
inline std::wstring BuiltExePath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir = path;
    for (int i = 0; i < 3; ++i) dir = dir.substr(0, dir.find_last_of(L"\\/"));
    return dir + L"\\app\\OrvanePallisto.exe";
}

inline HWND WaitForMainWindow(DWORD pid, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        HWND found = FindTopWindow(pid, L"OrvanePallistoWnd", false);
        if (found && IsWindowVisible(found)) return found;
        Sleep(50);
    }
    return nullptr;
}
