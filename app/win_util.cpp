// Entry points that older systems lack, each looked up once.
#include "app/win_util.h"

#include <cwchar>

namespace {

HMODULE User32()
{
    return GetModuleHandleW(L"user32.dll");
}

unsigned long g_buildNumber = 0;  // 0: not read yet (or unreadable, tried again)

struct OwnedDialog {
    HWND owner;
    int result;
};

BOOL CALLBACK EndIfOwned(HWND dialog, LPARAM param)
{
    const auto* wanted = reinterpret_cast<const OwnedDialog*>(param);
    wchar_t className[16] = {};
    GetClassNameW(dialog, className, 16);
    if (GetWindow(dialog, GW_OWNER) != wanted->owner || wcscmp(className, L"#32770") != 0) return TRUE;
    EndDialog(dialog, wanted->result);
    return FALSE;
}

}  // namespace

int WindowDpi(HWND window)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpi = FindExport<GetDpiForWindowFn>(User32(), "GetDpiForWindow");
    if (getDpi) {
        const UINT dpi = getDpi(window);
        if (dpi != 0) return static_cast<int>(dpi);
    }
    const int dpi = GetDeviceCaps(WindowDc(nullptr), LOGPIXELSX);
    return dpi > 0 ? dpi : 96;
}

void MakeProcessPerMonitorDpiAware()
{
    using SetContextFn = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    static const auto setContext = FindExport<SetContextFn>(User32(), "SetProcessDpiAwarenessContext");
    if (setContext) setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
}

unsigned long GetWindowsBuildNumber()
{
    if (g_buildNumber != 0) return g_buildNumber;
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    static const auto rtlGetVersion = FindExport<RtlGetVersionFn>(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
    if (!rtlGetVersion) return 0;
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (rtlGetVersion(&info) != 0) return 0;
    g_buildNumber = info.dwBuildNumber;
    return g_buildNumber;
}

void EndOwnedDialog(HWND owner, int result)
{
    OwnedDialog wanted{owner, result};
    EnumThreadWindows(GetCurrentThreadId(), EndIfOwned, reinterpret_cast<LPARAM>(&wanted));
}
