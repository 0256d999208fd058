#pragma once
// Process start-up: entry, single instance, theme hooks, window classes, message loop.
#include <windows.h>

// The operating system's build number (RtlGetVersion), or 0 when it cannot be read.
unsigned long GetWindowsBuildNumber();
