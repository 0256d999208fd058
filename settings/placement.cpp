#include "settings/placement.h"

#include <algorithm>

namespace {

constexpr int32_t kShowNormal = 1;           // SW_SHOWNORMAL
constexpr int32_t kShowMinimized = 2;        // SW_SHOWMINIMIZED
constexpr int32_t kShowMaximized = 3;        // SW_SHOWMAXIMIZED
constexpr int32_t kMinimize = 6;             // SW_MINIMIZE
constexpr int32_t kShowMinNoActive = 7;      // SW_SHOWMINNOACTIVE
constexpr uint32_t kRestoreToMaximized = 2;  // WPF_RESTORETOMAXIMIZED

// Saved coordinates are not range-checked, so edges are computed wide and saturated.
int32_t Saturate(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// A rectangle whose far edge would not fit in 32 bits is moved back so that it does; the size
// is kept, and such a window is off every screen either way.
PlacementRect MakeRect(int64_t x, int64_t y, int64_t w, int64_t h)
{
    w = std::clamp<int64_t>(w, 0, INT32_MAX);
    h = std::clamp<int64_t>(h, 0, INT32_MAX);
    x = std::clamp<int64_t>(x, INT32_MIN, INT32_MAX - w);
    y = std::clamp<int64_t>(y, INT32_MIN, INT32_MAX - h);
    return PlacementRect{Saturate(x), Saturate(y), Saturate(x + w), Saturate(y + h)};
}

}  // namespace

bool HasSavedPlacement(const AppSettings& s)
{
    return s.hasWindowPos && s.winX != kUseDefaultPosition && s.winY != kUseDefaultPosition;
}

PlacementRect SavedNormalRect(const AppSettings& s)
{
    return MakeRect(s.winX, s.winY, std::max(s.winW, kMinWindowWidth), std::max(s.winH, kMinWindowHeight));
}

PlacementRect FitRectToWorkArea(const PlacementRect& rect, const PlacementRect& work)
{
    int64_t x = rect.left, y = rect.top;
    const int64_t workW = int64_t{work.right} - work.left;
    const int64_t workH = int64_t{work.bottom} - work.top;
    const int64_t w = std::min(int64_t{rect.right} - rect.left, workW);
    const int64_t h = std::min(int64_t{rect.bottom} - rect.top, workH);
    if (x + w < int64_t{work.left} + kMinVisiblePixels) x = work.left;
    if (y + h < int64_t{work.top} + kMinVisiblePixels) y = work.top;
    if (x > int64_t{work.right} - kMinVisiblePixels) x = work.right - w;
    if (y > int64_t{work.bottom} - kMinVisiblePixels) y = work.bottom - h;
    return MakeRect(x, y, w, h);
}

PlacementRect WorkAreaInWorkspace(const PlacementRect& work, const PlacementRect& monitor)
{
    const int64_t dx = int64_t{work.left} - monitor.left;
    const int64_t dy = int64_t{work.top} - monitor.top;
    return PlacementRect{Saturate(work.left - dx), Saturate(work.top - dy), Saturate(work.right - dx),
                         Saturate(work.bottom - dy)};
}

int32_t RestoreShowCommand(const AppSettings& s)
{
    return s.winMaximized ? kShowMaximized : kShowNormal;
}

uint32_t RestoreFlags(const AppSettings& s)
{
    return s.winMaximized ? kRestoreToMaximized : 0;
}

void StoreCapturedPlacement(AppSettings& s, uint32_t showCmd, uint32_t flags, const PlacementRect& normal)
{
    const int32_t show = static_cast<int32_t>(showCmd);
    s.hasWindowPos = true;
    s.winMaximized = show == kShowMaximized || (flags & kRestoreToMaximized) != 0;
    const bool minimized = show == kShowMinimized || show == kMinimize || show == kShowMinNoActive;
    s.showCmd = minimized ? (s.winMaximized ? kShowMaximized : kShowNormal) : show;
    s.winX = normal.left;
    s.winY = normal.top;
    s.winW = Saturate(int64_t{normal.right} - normal.left);
    s.winH = Saturate(int64_t{normal.bottom} - normal.top);
}
