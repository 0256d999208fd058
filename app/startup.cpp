// Process start-up: single instance, settings, theme hooks, window classes and the one loop.
#include "app/startup.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/file_list.h"
#include "app/layout.h"
#include "app/main_window.h"
#include "app/processing.h"
#include "app/theme_hooks.h"
#include "app/win_util.h"
#include "engine/path.h"
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

// The start folder as Browse would set it, before the window's creation scans the input folder
// (so the scan happens once): the output follows when it follows the input.
void UseStartFolder(AppSettings& settings, const std::wstring& path)
{
    settings.inputDir = FolderOfPath(path);
    if (settings.sameAsInput || settings.mode == ProcessMode::RenameInPlace) settings.outputDir = settings.inputDir;
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

// No name holds a double quote, so one left after the parsing is the user's quoting: a pair
// around the whole argument (a quoted path pasted into quotes) goes; any other quote followed a
// backslash that the parsing took as its escape ("D:\" arrives as D:"), so it stands for that
// backslash.
std::wstring UnquotedArgument(std::wstring arg)
{
    if (arg.size() >= 2 && arg.front() == L'"' && arg.back() == L'"') arg = arg.substr(1, arg.size() - 2);
    std::wstring path;
    for (wchar_t c : arg) {
        if (c != L'"') {
            path.push_back(c);
        } else if (!path.empty() && path.back() != L'\\') {
            path.push_back(L'\\');
        }
    }
    return path;
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
    // The wheel over the area above the lists scrolls it, whichever control has the focus.
    if (message->message == WM_MOUSEWHEEL &&
        ScrollRuleAreaByWheel(GET_WHEEL_DELTA_WPARAM(message->wParam),
                              POINT{GET_X_LPARAM(message->lParam), GET_Y_LPARAM(message->lParam)}))
        return true;
    // The list views take their own keys (arrows, Home/End, type-ahead), except Tab and
    // Shift+Tab, which move on through dialog navigation like everywhere else.
    HWND focus = GetFocus();
    const bool tab = message->message == WM_KEYDOWN && message->wParam == VK_TAB;
    if (focus && (focus == g_app.listOriginal || focus == g_app.listNew) && !tab) return false;
    if (tab) RevealNextTabStop(focus, GetKeyState(VK_SHIFT) < 0);
    return IsWindow(window) && IsDialogMessageW(window, message);
}

HWND ActivateRunningInstance(int attempts, DWORD sleepMs)
{
    HWND running = nullptr;
    for (int i = 0; i < attempts && !running; ++i) {
        running = FindWindowW(kMainClassName, nullptr);
        if (!running) Sleep(sleepMs);
    }
    if (!running) return nullptr;
    ShowWindow(running, IsIconic(running) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(running);
    FLASHWINFO flash = {};
    flash.cbSize = sizeof(flash);
    flash.hwnd = running;
    flash.dwFlags = FLASHW_TRAY | FLASHW_TIMERNOFG;
    flash.uCount = 3;
    flash.dwTimeout = 0;
    FlashWindowEx(&flash);
    return running;
}

std::wstring StartPathArgument(const wchar_t* commandLine)
{
    int count = 0;
    LPWSTR* args = commandLine && *commandLine ? CommandLineToArgvW(commandLine, &count) : nullptr;
    std::wstring path = args && count > 1 ? UnquotedArgument(args[1]) : L"";
    if (args) LocalFree(args);
    return path.empty() ? path : FullPathOf(path);
}

bool HandOverStartPath(HWND running, const std::wstring& path)
{
    COPYDATASTRUCT data = {};
    data.dwData = kOpenFolderCopyData;
    data.cbData = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(path.c_str());
    DWORD_PTR taken = 0;
    // A window that hangs must not keep this process from exiting.
    return SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000,
                               &taken) &&
           taken;
}

int RunApplication(HINSTANCE instance, int showCommand, const std::wstring& startPath)
{
    SetLastError(ERROR_SUCCESS);  // only ERROR_ALREADY_EXISTS afterwards may mean "running"
    HANDLE mutex = CreateMutexW(nullptr, TRUE, kSingleInstanceMutexName);
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        HWND running = ActivateRunningInstance(25, 40);
        if (running && !startPath.empty()) HandOverStartPath(running, startPath);
        CloseHandle(mutex);
        return 0;
    }
    g_app.instance = instance;
    LoadSettings(ActiveSettingsPath(), g_app.settings);
    if (!startPath.empty()) UseStartFolder(g_app.settings, startPath);
    ResolveThemeHooksAtStartup();
    ApplyProcessTheme(g_app.settings.darkTheme);
    InitCommonControlClasses();
    const std::wstring recovered = RecoverInterruptedBatch();

    int exitCode = 1;
    HWND window = RegisterWindowClasses(instance) ? CreateMainWindow(instance) : nullptr;
    if (window) {
        if (!recovered.empty()) SetStatusText(recovered);
        RestoreWindowPlacement(window, showCommand);
        EnforceMinimumWindowSize();  // the saved size may predate a DPI or font change
        g_app.windowReady = true;
        if (!startPath.empty()) SaveSettings(true);  // as after Browse
        exitCode = RunMessageLoop(window);
    }
    if (mutex) CloseHandle(mutex);
    return exitCode;
}
