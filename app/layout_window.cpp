// Layout of the main window applied to its controls: text measures, the status bar, the
// minimum window size on the window's monitor.
#include "app/layout.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>

#include "app/app_state.h"
#include "app/controls.h"
#include "app/list_views.h"

int MeasureTextWidth(const wchar_t* text)
{
    if (!g_app.uiFont || !text || !*text) return ScaleDp(80, g_app.dpi);
    const WindowDc dc(g_app.mainWindow);
    const SelectedObject font(dc, g_app.uiFont);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &extent);
    return extent.cx + ScaleDp(10, g_app.dpi);
}

int UiRowHeight()
{
    if (!g_app.uiFont) return ScaleDp(26, g_app.dpi);
    const WindowDc dc(g_app.mainWindow);
    const SelectedObject font(dc, g_app.uiFont);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return metrics.tmHeight + metrics.tmExternalLeading + ScaleDp(12, g_app.dpi);
}

namespace {

// The status bar places itself at the bottom when told the parent was resized.
int SizeStatusBar()
{
    if (!g_app.statusBar) return 0;
    SendMessageW(g_app.statusBar, WM_SIZE, 0, 0);
    RECT rect{};
    GetWindowRect(g_app.statusBar, &rect);
    return rect.bottom - rect.top;
}

void MoveControl(const Placement& p)
{
    HWND control = ControlById(p.id);
    if (!control) return;
    MoveWindow(control, p.x, p.y, p.w, p.h, TRUE);
    if (p.toBottom) SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

}  // namespace

void LayoutControls()
{
    if (!g_app.mainWindow) return;
    RECT client{};
    GetClientRect(g_app.mainWindow, &client);
    LayoutInput in;
    in.dpi = g_app.dpi;
    in.clientW = client.right;
    in.clientH = client.bottom;
    in.rowH = UiRowHeight();
    in.splitPct = g_app.settings.splitPct;
    in.measure = MeasureTextWidth;
    const int itemH = ComboItemHeight(in.rowH, in.dpi);
    for (const ControlRow& row : ControlTable()) {
        if (!row.items) continue;
        HWND combo = ControlById(row.id);
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemH);
        SendMessageW(combo, CB_SETITEMHEIGHT, 0, itemH);
        // Its list shows every item whole, also where the box itself is narrower.
        int widest = 0;
        for (const wchar_t* const* item = row.items; *item; ++item) widest = std::max(widest, MeasureTextWidth(*item));
        SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + ScaleDp(12, in.dpi)), 0);
    }
    in.statusH = SizeStatusBar();
    for (const Placement& p : ComputeLayout(in)) MoveControl(p);
    ApplyColumnWidths(g_app.listOriginal, true);
    ApplyColumnWidths(g_app.listNew, false);
    if (g_app.statusBar) {
        int parts[1] = {-1};
        SendMessageW(g_app.statusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
    }
    InvalidateRect(g_app.mainWindow, nullptr, TRUE);
}

namespace {

// The minimum for the current font and DPI on the main window's monitor.
SIZE MinimumOnMonitor()
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    SIZE work{LONG_MAX, LONG_MAX};
    if (GetMonitorInfoW(MonitorFromWindow(g_app.mainWindow, MONITOR_DEFAULTTONEAREST), &monitor))
        work = SIZE{monitor.rcWork.right - monitor.rcWork.left, monitor.rcWork.bottom - monitor.rcWork.top};
    return MinimumWindowSize(g_app.settings.fontPt, g_app.dpi, work);
}

}  // namespace

void EnforceMinimumWindowSize()
{
    // A minimised or maximised window's rectangle is not the one the user sizes.
    if (!g_app.mainWindow || IsIconic(g_app.mainWindow) || IsZoomed(g_app.mainWindow)) return;
    RECT rect{};
    GetWindowRect(g_app.mainWindow, &rect);
    const SIZE minimum = MinimumOnMonitor();
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width >= minimum.cx && height >= minimum.cy) return;
    SetWindowPos(g_app.mainWindow, nullptr, rect.left, rect.top, std::max<int>(width, minimum.cx),
                 std::max<int>(height, minimum.cy), SWP_NOZORDER | SWP_NOACTIVATE);
}

void EnforceMinimumWindowSize(MINMAXINFO* info)
{
    const SIZE minimum = MinimumOnMonitor();
    info->ptMinTrackSize.x = minimum.cx;
    info->ptMinTrackSize.y = minimum.cy;
}
