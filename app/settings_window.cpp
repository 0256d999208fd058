// The window-bound half of the settings: collecting the live state, placement, reset, presets.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "app/app_state.h"
#include "app/binding.h"
#include "app/commands.h"
#include "app/file_list.h"
#include "app/layout.h"
#include "app/list_views.h"
#include "app/main_window.h"
#include "app/theme.h"
#include "files/file_order.h"
#include "settings/placement.h"
#include "settings/presets.h"
#include "settings/settings_file.h"

namespace {

std::wstring g_settingsPathOverride;

PlacementRect ToPlacementRect(const RECT& r)
{
    return PlacementRect{r.left, r.top, r.right, r.bottom};
}
RECT ToRect(const PlacementRect& r)
{
    return RECT{r.left, r.top, r.right, r.bottom};
}

void CaptureWindowPlacement()
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(g_app.mainWindow, &placement)) return;
    StoreCapturedPlacement(g_app.settings, placement.showCmd, placement.flags,
                           ToPlacementRect(placement.rcNormalPosition));
}

void CaptureColumnWidths()
{
    // Minimised, the lists may not reflect the user's widths: keep what was last captured.
    if (!g_app.listOriginal || !g_app.listNew || IsIconic(g_app.mainWindow)) return;
    AppSettings& s = g_app.settings;
    int32_t* original[] = {&s.colOrig0, &s.colOrig1, &s.colOrig2, &s.colOrig3};
    int32_t* renamed[] = {&s.colNew0, &s.colNew1, &s.colNew2};
    static_assert(std::size(original) == kOriginalColumnCount && std::size(renamed) == kNewColumnCount);
    for (int column = 0; column < kOriginalColumnCount; ++column)
        *original[column] = ListView_GetColumnWidth(g_app.listOriginal, column);
    for (int column = 0; column < kNewColumnCount; ++column)
        *renamed[column] = ListView_GetColumnWidth(g_app.listNew, column);
}

void SetNormalPlacement(HWND window, const RECT& normal, UINT flags, UINT showCmd)
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    placement.flags = flags;
    placement.showCmd = showCmd;
    placement.rcNormalPosition = normal;
    SetWindowPlacement(window, &placement);
}

}  // namespace

std::wstring ActiveSettingsPath()
{
    return g_settingsPathOverride.empty() ? SettingsFilePath() : g_settingsPathOverride;
}

void SetSettingsPathForTest(const std::wstring& path)
{
    g_settingsPathOverride = path;
}

void SaveSettings(bool force)
{
    if (!g_app.mainWindow || g_app.closing) return;
    if (!force && !(g_app.settings.autoSave && g_app.windowReady)) return;
    ReadControlsIntoSettings();
    CaptureWindowPlacement();
    CaptureColumnWidths();
    WriteSettingsFile(ActiveSettingsPath(), g_app.settings);  // a failed write is not reported
}

namespace {

// A first start takes the default size at the window's DPI, as far as the work area of its
// monitor allows, and moves wholly onto it: a small screen is used to its width.
void FitDefaultIntoWorkArea(HWND window)
{
    RECT rect{};
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!GetWindowRect(window, &rect) ||
        !GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& work = monitor.rcWork;
    const LONG wantedW = std::max<LONG>(rect.right - rect.left, ScaleDp(g_app.settings.winW, g_app.dpi));
    const LONG wantedH = std::max<LONG>(rect.bottom - rect.top, ScaleDp(g_app.settings.winH, g_app.dpi));
    const LONG width = std::min(wantedW, work.right - work.left);
    const LONG height = std::min(wantedH, work.bottom - work.top);
    const LONG left = std::clamp(rect.left, work.left, work.right - width);
    const LONG top = std::clamp(rect.top, work.top, work.bottom - height);
    if (left != rect.left || top != rect.top || width != rect.right - rect.left || height != rect.bottom - rect.top)
        SetWindowPos(window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void RestoreWindowPlacement(HWND window, int showCommand)
{
    const AppSettings& s = g_app.settings;
    if (!HasSavedPlacement(s)) {
        FitDefaultIntoWorkArea(window);
        ShowWindow(window, showCommand);
        return;
    }
    PlacementRect rect = SavedNormalRect(s);
    RECT probe = ToRect(rect);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromRect(&probe, MONITOR_DEFAULTTONEAREST), &monitor))
        // The saved rectangle is in workspace coordinates, as GetWindowPlacement gave it.
        rect = FitRectToWorkArea(
            rect, WorkAreaInWorkspace(ToPlacementRect(monitor.rcWork), ToPlacementRect(monitor.rcMonitor)));
    RECT normal = ToRect(rect);
    SetNormalPlacement(window, normal, RestoreFlags(s), static_cast<UINT>(RestoreShowCommand(s)));
    // Still off every monitor (a display vanished between the checks): show it plainly.
    RECT actual = {};
    if (GetWindowRect(window, &actual) && !MonitorFromRect(&actual, MONITOR_DEFAULTTONULL))
        SetNormalPlacement(window, normal, 0, SW_SHOWNORMAL);
}

void ApplyAppearanceChange()
{
    LayoutControls();
    EnforceMinimumWindowSize();
    RedrawWindow(g_app.mainWindow, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    SaveSettings(true);
}

void ResetSettings()
{
    g_app.settings = DefaultSettings();
    WriteSettingsToControls();
    CreateUiFont();
    ApplyTheme();
    UpdateMenuChecks();
    ScanInputDirectory();
    ApplyAppearanceChange();
}

void ApplyNamingPreset(int commandId)
{
    ReadControlsIntoSettings();
    if (!ApplyNamingPresetToSettings(commandId, g_app.settings)) return;
    WriteSettingsToControls();
    RefreshPreview();
}
