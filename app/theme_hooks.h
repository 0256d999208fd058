#pragma once
// Optional dark-mode entry points of uxtheme.dll, reached by ordinal at start-up.
// Any of them may be null (older systems, Wine): every caller checks before calling.
// The variables are defined in app/theme.cpp; start-up (app/startup.cpp) resolves them.
#include <windows.h>

using SetAppThemeModeFn = int(WINAPI*)(int mode);                       // ordinal 135, build >= 18362: 2 dark, 3 light
using AllowAppDarkThemeFn = bool(WINAPI*)(bool allow);                  // ordinal 135, build < 18362
using AllowWindowDarkThemeFn = bool(WINAPI*)(HWND window, bool allow);  // ordinal 133
using RefreshThemeColorPolicyFn = void(WINAPI*)();                      // ordinal 104
using RefreshMenuThemeFn = void(WINAPI*)();                             // ordinal 136

extern SetAppThemeModeFn SetAppThemeMode;
extern AllowAppDarkThemeFn AllowAppDarkTheme;
extern AllowWindowDarkThemeFn AllowWindowDarkTheme;
extern RefreshThemeColorPolicyFn RefreshThemeColorPolicy;
extern RefreshMenuThemeFn RefreshMenuTheme;
