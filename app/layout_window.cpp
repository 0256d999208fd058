// Layout of the main window applied to its controls: text measures, the status bar, the
// minimum window size on the window's monitor.
#include "app/layout.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <string>
#include <unordered_map>

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

namespace {

// The layout measures its few dozen labels many times over (each packing it tries, each step
// of a scroll): their widths are kept until the font or the DPI changes.
int LabelWidth(const wchar_t* text)
{
    static std::unordered_map<std::wstring, int> widths;
    static HFONT measuredFont = nullptr;
    static int measuredDpi = 0, measuredPt = 0;
    if (measuredFont != g_app.uiFont || measuredDpi != g_app.dpi || measuredPt != g_app.settings.fontPt) {
        widths.clear();
        measuredFont = g_app.uiFont;
        measuredDpi = g_app.dpi;
        measuredPt = g_app.settings.fontPt;
    }
    const auto [at, added] = widths.try_emplace(text ? text : L"", 0);
    if (added) at->second = MeasureTextWidth(text);
    return at->second;
}

}  // namespace

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

// The rule area's scroll state: the first line asked for, and what the last layout made of it.
HWND g_scrolledWindow = nullptr;  // the window they belong to: a new one starts at the top
int g_firstRuleLine = 0;
RuleScroll g_ruleScroll;
std::vector<Placement> g_placements;
int g_wheelRest = 0;  // wheel movement short of a whole notch

// Puts every control where the layout says, in one deferred batch. A control already there and
// shown is left alone: a step of the rule area's scroll moves only its lines, and moving the
// others again (each a repaint) made a step take tens of milliseconds.
void MoveControls(const std::vector<Placement>& placements)
{
    HDWP batch = BeginDeferWindowPos(static_cast<int>(placements.size()));
    for (const Placement& p : placements) {
        HWND control = ControlById(p.id);
        if (!control) continue;
        const bool shown = (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
        UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
        if (p.hidden) {
            if (shown) ShowWindow(control, SW_HIDE);  // as ever: the focus leaves a control it hides
            continue;
        }
        RECT now{};
        GetWindowRect(control, &now);
        MapWindowPoints(nullptr, g_app.mainWindow, reinterpret_cast<POINT*>(&now), 2);
        const bool placed =
            now.left == p.x && now.top == p.y && now.right - now.left == p.w && now.bottom - now.top == p.h;
        if (placed && shown) continue;
        if (!shown) flags |= SWP_SHOWWINDOW;
        if (batch) batch = DeferWindowPos(batch, control, nullptr, p.x, p.y, p.w, p.h, flags);
        if (!batch) SetWindowPos(control, nullptr, p.x, p.y, p.w, p.h, flags);  // the batch could not grow
    }
    if (batch) EndDeferWindowPos(batch);
}

void UpdateScrollBar()
{
    HWND bar = ControlById(kIdRuleScroll);
    if (!bar || g_ruleScroll.lines == 0) return;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = g_ruleScroll.lines - 1;
    info.nPage = static_cast<UINT>(g_ruleScroll.shown);
    info.nPos = g_ruleScroll.first;
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
}

}  // namespace

namespace {

// The combos' item heights and drop-down widths: they follow the font and the DPI only.
void SizeComboLists(int rowH)
{
    const int itemH = ComboItemHeight(rowH, g_app.dpi);
    for (const ControlRow& row : ControlTable()) {
        if (!row.items) continue;
        HWND combo = ControlById(row.id);
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemH);
        SendMessageW(combo, CB_SETITEMHEIGHT, 0, itemH);
        // Its list shows every item whole, also where the box itself is narrower.
        int widest = 0;
        for (const wchar_t* const* item = row.items; *item; ++item) widest = std::max(widest, LabelWidth(*item));
        SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + ScaleDp(12, g_app.dpi)), 0);
    }
}

// Where every control goes for the client size and the rule area's scroll; all a scroll step needs.
void PlaceControls(int rowH)
{
    RECT client{};
    GetClientRect(g_app.mainWindow, &client);
    LayoutInput in;
    in.dpi = g_app.dpi;
    in.clientW = client.right;
    in.clientH = client.bottom;
    in.rowH = rowH;
    in.splitPct = g_app.settings.splitPct;
    in.measure = LabelWidth;
    if (g_scrolledWindow != g_app.mainWindow) g_firstRuleLine = 0;
    g_scrolledWindow = g_app.mainWindow;
    in.scrollLine = g_firstRuleLine;
    in.statusH = SizeStatusBar();
    g_placements = ComputeLayout(in, &g_ruleScroll);
    // A scroll that the new size no longer needs starts from the top again next time.
    g_firstRuleLine = g_ruleScroll.lines ? g_ruleScroll.first : 0;
    MoveControls(g_placements);
    UpdateScrollBar();
    InvalidateRect(g_app.mainWindow, nullptr, TRUE);
}

}  // namespace

void LayoutControls()
{
    if (!g_app.mainWindow) return;
    const int rowH = UiRowHeight();
    SizeComboLists(rowH);
    PlaceControls(rowH);
    ApplyColumnWidths(g_app.listOriginal, true);
    ApplyColumnWidths(g_app.listNew, false);
    if (g_app.statusBar) {
        int parts[1] = {-1};
        SendMessageW(g_app.statusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
    }
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

namespace {

void ScrollRuleAreaTo(int first)
{
    if (g_ruleScroll.lines == 0) return;
    first = std::clamp(first, 0, g_ruleScroll.lines - 1);
    if (first == g_ruleScroll.first) return;
    g_firstRuleLine = first;
    if (g_app.mainWindow) PlaceControls(UiRowHeight());
}

const Placement* PlacementOf(int id)
{
    for (const Placement& p : g_placements) {
        if (p.id == id) return &p;
    }
    return nullptr;
}

// Scrolls the fewest lines that bring the control's line into view.
void RevealRuleLine(int line)
{
    while (g_ruleScroll.lines && line < g_ruleScroll.first) ScrollRuleAreaTo(line);
    int guard = g_ruleScroll.lines;
    while (g_ruleScroll.lines && line >= g_ruleScroll.first + g_ruleScroll.shown && guard-- > 0)
        ScrollRuleAreaTo(g_ruleScroll.first + 1);
}

}  // namespace

void ScrollRuleArea(int request)
{
    const RuleScroll& s = g_ruleScroll;
    HWND bar = ControlById(kIdRuleScroll);
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_TRACKPOS;
    if (bar) GetScrollInfo(bar, SB_CTL, &info);
    switch (request) {
    case SB_LINEUP: ScrollRuleAreaTo(s.first - 1); break;
    case SB_LINEDOWN: ScrollRuleAreaTo(s.first + 1); break;
    case SB_PAGEUP: ScrollRuleAreaTo(s.first - std::max(1, s.shown)); break;
    case SB_PAGEDOWN: ScrollRuleAreaTo(s.first + std::max(1, s.shown)); break;
    case SB_TOP: ScrollRuleAreaTo(0); break;
    case SB_BOTTOM: ScrollRuleAreaTo(s.lines); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: ScrollRuleAreaTo(info.nTrackPos); break;
    }
}

bool ScrollRuleAreaByWheel(int delta, POINT screenPoint)
{
    const Placement* preview = PlacementOf(kIdHeadingPreview);
    // An open drop-down list, or a drag, holds the mouse: the wheel is theirs.
    if (g_ruleScroll.lines == 0 || !preview || GetCapture()) return false;
    RECT client{};
    GetClientRect(g_app.mainWindow, &client);
    ScreenToClient(g_app.mainWindow, &screenPoint);
    // Below the area the lists scroll themselves; outside the window it is not ours.
    if (screenPoint.y >= preview->y || !PtInRect(&client, screenPoint)) return false;
    g_wheelRest += delta;
    const int notches = g_wheelRest / WHEEL_DELTA;
    g_wheelRest -= notches * WHEEL_DELTA;
    ScrollRuleAreaTo(g_ruleScroll.first - notches);
    return true;
}

void RevealNextTabStop(HWND focus, bool backwards)
{
    HWND window = g_app.mainWindow;
    if (!window || g_ruleScroll.lines == 0 || !focus || GetParent(focus) != window) return;
    const UINT step = backwards ? GW_HWNDPREV : GW_HWNDNEXT;
    for (HWND child = GetWindow(focus, step);; child = GetWindow(child, step)) {
        if (!child) child = GetWindow(focus, backwards ? GW_HWNDLAST : GW_HWNDFIRST);
        if (!child || child == focus) return;
        if (!(GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) || !IsWindowEnabled(child)) continue;
        if (IsWindowVisible(child)) return;  // dialog navigation finds it as it is
        const Placement* p = PlacementOf(GetDlgCtrlID(child));
        if (p && p->hidden && p->scrollLine >= 0) {
            RevealRuleLine(p->scrollLine);
            return;
        }
    }
}

void RevealControl(HWND control)
{
    const Placement* p = control && g_ruleScroll.lines ? PlacementOf(GetDlgCtrlID(control)) : nullptr;
    if (p && p->hidden && p->scrollLine >= 0) RevealRuleLine(p->scrollLine);
}
