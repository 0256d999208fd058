#pragma once
// Runs this thread's messages while a test waits for a window, a timer or a worker's posts.
#include <windows.h>

#include <functional>

// Handles what is already queued for this thread.
inline void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Pumps this thread's messages until `done` holds or `ms` pass; false on time-out.
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms = 20000)
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
