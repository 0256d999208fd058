#pragma once
// Window placement arithmetic of the settings, free of any window: the shell feeds it the
// monitor work area and the captured WINDOWPLACEMENT values.
#include <cstdint>

#include "settings/app_settings.h"

// Same layout as RECT: left, top, right, bottom in pixels.
struct PlacementRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

constexpr int32_t kUseDefaultPosition = INT32_MIN;  // CW_USEDEFAULT
constexpr int32_t kMinWindowWidth = 640;
constexpr int32_t kMinWindowHeight = 480;
constexpr int32_t kMinVisiblePixels = 80;

// True when winX..winH hold a real placement worth restoring.
bool HasSavedPlacement(const AppSettings& settings);
// The saved normal rectangle, at least 640 x 480 (before any monitor is consulted).
PlacementRect SavedNormalRect(const AppSettings& settings);
// Fits the rectangle onto a work area: never larger than it, and at least 80 px of it inside
// horizontally and vertically.
PlacementRect FitRectToWorkArea(const PlacementRect& rect, const PlacementRect& work);
// A monitor's work area (screen coordinates) in the workspace coordinates of the window
// placement, whose origin is the work area's corner: a taskbar on the left or at the top shifts
// the two systems by its thickness.
PlacementRect WorkAreaInWorkspace(const PlacementRect& work, const PlacementRect& monitor);
// SW_SHOWMAXIMIZED (3) when the window restores maximised, else SW_SHOWNORMAL (1).
int32_t RestoreShowCommand(const AppSettings& settings);
// WPF_RESTORETOMAXIMIZED (2) when the window restores maximised, else 0.
uint32_t RestoreFlags(const AppSettings& settings);
// Stores what GetWindowPlacement reported: hasWindowPos, winMaximized, showCmd (minimised
// states become 3 or 1) and the normal rectangle.
void StoreCapturedPlacement(AppSettings& settings, uint32_t showCmd, uint32_t flags, const PlacementRect& normal);
