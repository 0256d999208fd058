#pragma once
// Process start-up: entry, single instance, theme hooks, window classes, message loop.
#include <windows.h>

extern const wchar_t kSingleInstanceMutexName[];  // "Local\Orvane.Pallisto.SingleInstance"

// Everything from the single-instance check to the end of the message loop; the exit code.
int RunApplication(HINSTANCE instance, int showCommand);

// The loop's first look at a message: Esc while a batch runs (Stop Batch), the F5 accelerator,
// then dialog navigation unless a list view has the focus. True when the message was consumed.
bool TranslateMainWindowMessage(HWND window, HACCEL accelerators, MSG* message);

// Hands the user over to a running instance: restores, raises and flashes its main window.
// False when no window of the main class appeared within the attempts.
bool ActivateRunningInstance(int attempts, DWORD sleepMs);

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
