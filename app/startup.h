#pragma once
// Process start-up: entry, single instance, theme hooks, window classes, message loop.
#include <windows.h>

#include <string>

extern const wchar_t kSingleInstanceMutexName[];  // "Local\Orvane.Pallisto.SingleInstance"

// Everything from the single-instance check to the end of the message loop; the exit code.
// A start path (a folder, or a file meaning its folder) becomes the input directory as if
// chosen with Browse; a second instance hands it to the running window instead.
int RunApplication(HINSTANCE instance, int showCommand, const std::wstring& startPath = {});

// The first argument of a command line (Explorer's "Send to", "Open with", a folder dropped on
// the exe) as a full path; empty when there is none. Further arguments are ignored.
std::wstring StartPathArgument(const wchar_t* commandLine);
// Sends the path to the running instance's window (WM_COPYDATA); true when it took it.
bool HandOverStartPath(HWND running, const std::wstring& path);

// The loop's first look at a message: Esc while a batch runs (Stop Batch), the F5 accelerator,
// then dialog navigation unless a list view has the focus. True when the message was consumed.
bool TranslateMainWindowMessage(HWND window, HACCEL accelerators, MSG* message);

// Hands the user over to a running instance: restores, raises and flashes its main window.
// Null when no window of the main class appeared within the attempts.
HWND ActivateRunningInstance(int attempts, DWORD sleepMs);

// The dark-mode entry points only exist with these meanings from this build on.
constexpr unsigned long kFirstDarkModeBuild = 17763;
// From this build on, ordinal 135 takes a mode (2 dark, 3 light) rather than a bool.
constexpr unsigned long kAppThemeModeBuild = 18362;

// Resolves the five hooks of app/theme_hooks.h from uxtheme (may be null) for the given build.
// All stay null below build 17763 or when ordinal 133 or 135 is missing, because then the
// same ordinals are other functions with other arguments.
void ResolveThemeHooks(HMODULE uxtheme, unsigned long build);
// The process-wide theme mode for the given theme, through whichever hooks exist.
void ApplyProcessTheme(bool dark);
