// Process start-up: single instance, settings, theme hooks, window classes and the one loop.
#include "app/startup.h"

#include <commctrl.h>

#include "app/app_state.h"
#include "app/layout.h"
#include "app/main_window.h"
#include "app/theme_hooks.h"
#include "app/win_util.h"
#include "resources/resource.h"
#include "settings/settings_file.h"

const wchar_t kSingleInstanceMutexName[] = L"Local\\Orvane.Pallisto.SingleInstance";

namespace {

void ClearThemeHooks()
{
    SetAppThemeMode = nullptr;
    AllowAppDarkTheme = nullptr;
    AllowWindowDarkTheme = nullptr;
    RefreshThemeColorPolicy = nullptr;
    RefreshMenuTheme = nullptr;
}

void ResolveThemeHooksAtStartup()
{
    HMODULE uxtheme = LoadLibraryExW(L"uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // The library stays loaded for the life of the process: the hooks point into it.
    ResolveThemeHooks(uxtheme, uxtheme ? GetWindowsBuildNumber() : 0);
}

void InitCommonControlClasses()
{
    INITCOMMONCONTROLSEX init = {};
    init.dwSize = sizeof(init);
    init.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&init);
}

// Esc anywhere in the main window while a batch runs. With the focused control disabled for
// the batch, nothing has the focus and the key arrives at the window as a system key.
bool IsStopKey(HWND window, const MSG& message)
{
    const bool key = message.message == WM_KEYDOWN ||
                     (message.message == WM_SYSKEYDOWN && !(message.lParam & (1 << 29)));  // not Alt+Esc
    return g_app.busy && key && message.wParam == VK_ESCAPE &&
           (message.hwnd == window || IsChild(window, message.hwnd));
}

int RunMessageLoop(HWND window)
{
    HACCEL accelerators = LoadAcceleratorsW(g_app.instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    UpdateWindow(window);
    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (TranslateMainWindowMessage(window, accelerators, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(static_cast<UINT>(message.wParam));
}

}  // namespace

void ResolveThemeHooks(HMODULE uxtheme, unsigned long build)
{
    ClearThemeHooks();
    if (!uxtheme || build < kFirstDarkModeBuild) return;
    auto byOrdinal = [uxtheme](WORD ordinal) { return FindExport<void*>(uxtheme, MAKEINTRESOURCEA(ordinal)); };
    void* appTheme = byOrdinal(135);
    void* windowTheme = byOrdinal(133);
    if (!appTheme || !windowTheme) return;  // not the dark-mode set: calling "104" here could be any function
    if (build >= kAppThemeModeBuild)
        SetAppThemeMode = reinterpret_cast<SetAppThemeModeFn>(appTheme);
    else
        AllowAppDarkTheme = reinterpret_cast<AllowAppDarkThemeFn>(appTheme);
    AllowWindowDarkTheme = reinterpret_cast<AllowWindowDarkThemeFn>(windowTheme);
    RefreshMenuTheme = reinterpret_cast<RefreshMenuThemeFn>(byOrdinal(136));
    RefreshThemeColorPolicy = reinterpret_cast<RefreshThemeColorPolicyFn>(byOrdinal(104));
}

void ApplyProcessTheme(bool dark)
{
    if (SetAppThemeMode)
        SetAppThemeMode(dark ? 2 : 3);
    else if (AllowAppDarkTheme)
        AllowAppDarkTheme(dark);
    if (RefreshThemeColorPolicy) RefreshThemeColorPolicy();
    if (RefreshMenuTheme) RefreshMenuTheme();
}

bool TranslateMainWindowMessage(HWND window, HACCEL accelerators, MSG* message)
{
    if (IsStopKey(window, *message)) {
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDM_STOP_BATCH, 0), 0);
        return true;
    }
    if (accelerators && TranslateAcceleratorW(window, accelerators, message)) return true;
    // The list views take their own keys (arrows, Home/End, type-ahead), except Tab and
    // Shift+Tab, which move on through dialog navigation like everywhere else.
    HWND focus = GetFocus();
    const bool tab = message->message == WM_KEYDOWN && message->wParam == VK_TAB;
    if (focus && (focus == g_app.listOriginal || focus == g_app.listNew) && !tab) return false;
    return IsWindow(window) && IsDialogMessageW(window, message);
}

bool ActivateRunningInstance(int attempts, DWORD sleepMs)
{
    HWND running = nullptr;
    for (int i = 0; i < attempts && !running; ++i) {
        running = FindWindowW(kMainClassName, nullptr);
        if (!running) Sleep(sleepMs);
    }
    if (!running) return false;
    ShowWindow(running, IsIconic(running) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(running);
    FLASHWINFO flash = {};
    flash.cbSize = sizeof(flash);
    flash.hwnd = running;
    flash.dwFlags = FLASHW_TRAY | FLASHW_TIMERNOFG;
    flash.uCount = 3;
    flash.dwTimeout = 0;
    FlashWindowEx(&flash);
    return true;
}

int RunApplication(HINSTANCE instance, int showCommand)
{
    SetLastError(ERROR_SUCCESS);  // only ERROR_ALREADY_EXISTS afterwards may mean "running"
    HANDLE mutex = CreateMutexW(nullptr, TRUE, kSingleInstanceMutexName);
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        ActivateRunningInstance(25, 40);
        CloseHandle(mutex);
        return 0;
    }
    g_app.instance = instance;
    LoadSettings(ActiveSettingsPath(), g_app.settings);
    ResolveThemeHooksAtStartup();
    ApplyProcessTheme(g_app.settings.darkTheme);
    InitCommonControlClasses();

    int exitCode = 1;
    HWND window = RegisterWindowClasses(instance) ? CreateMainWindow(instance) : nullptr;
    if (window) {
        RestoreWindowPlacement(window, showCommand);
        EnforceMinimumWindowSize();  // the saved size may predate a DPI or font change
        g_app.windowReady = true;
        exitCode = RunMessageLoop(window);
    }
    if (mutex) CloseHandle(mutex);
    return exitCode;
}
