// Layout of the main window: pure placement arithmetic, and its application to the controls.
#include "app/layout.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>

#include "app/app_state.h"
#include "app/controls.h"
#include "app/list_views.h"

namespace {

// The metrics every row shares, derived from the DPI, the font and the client size.
struct Metrics {
    const LayoutInput& in;
    int margin, gap, rowH, comboH, contentW;

    explicit Metrics(const LayoutInput& input)
        : in(input),
          margin(dp(12)),
          gap(dp(8)),
          rowH(input.rowH),
          comboH(input.rowH + dp(180)),
          contentW(input.clientW - 2 * dp(12))
    {
    }
    int dp(int n) const { return ScaleDp(n, in.dpi); }
    int textW(const wchar_t* text) const { return in.measure ? in.measure(text) : dp(80); }
    // A combo box must show its longest item unclipped, whatever the font.
    int widestItemW(const wchar_t* const* items) const
    {
        int widest = 0;
        for (; *items; ++items) widest = std::max(widest, textW(*items));
        return widest;
    }
};

void Place(std::vector<Placement>& out, int id, int x, int y, int w, int h, bool toBottom = false)
{
    out.push_back(Placement{id, x, y, w, h, toBottom});
}

// A section heading as wide as its text; returns the y below it.
int PlaceHeading(const Metrics& m, std::vector<Placement>& out, int id, const wchar_t* text, int y)
{
    Place(out, id, m.margin, y, m.textW(text), m.rowH);
    return y + m.rowH + m.dp(2);
}

int PlaceModeRow(const Metrics& m, std::vector<Placement>& out, int y)
{
    const int x = m.margin;
    const int radioW = std::max(m.dp(28) + m.textW(L"Move & Rename"), m.dp(150));
    Place(out, kIdModeRename, x, y, radioW, m.rowH);
    Place(out, kIdModeCopy, x + radioW, y, radioW, m.rowH);
    Place(out, kIdModeMove, x + 2 * radioW, y, radioW + m.dp(20), m.rowH);
    // The name filter takes the rest of the row, up to 260 dp for its edit.
    const int filterX = x + 3 * radioW + m.dp(20) + m.gap;
    const int filterLW = m.textW(L"Only files matching");
    const int filterW = std::min(m.dp(260), m.margin + m.contentW - filterX - filterLW);
    Place(out, kIdFilterLabel, filterX, y, filterLW, m.rowH);
    Place(out, kIdFilter, filterX + filterLW, y, std::max(filterW, m.dp(60)), m.rowH);
    return y + m.rowH + m.gap;
}

int PlaceDirectoryRows(const Metrics& m, std::vector<Placement>& out, int y)
{
    const int x = m.margin;
    const int labelW = std::max(m.textW(L"Output directory"), m.dp(108));
    const int browseW = std::max(m.dp(16) + m.textW(L"Browse..."), m.dp(88));
    Place(out, kIdInputLabel, x, y, labelW, m.rowH);
    Place(out, kIdInputEdit, x + labelW, y, m.contentW - labelW - m.gap - browseW, m.rowH);
    Place(out, kIdInputBrowse, x + m.contentW - browseW, y, browseW, m.rowH);
    y += m.rowH + m.gap;

    const int sameW = std::max(m.dp(24) + m.textW(L"Same as input directory"), m.dp(168));
    Place(out, kIdOutputLabel, x, y, labelW, m.rowH);
    Place(out, kIdOutputEdit, x + labelW, y, m.contentW - labelW - 2 * m.gap - browseW - sameW, m.rowH);
    Place(out, kIdOutputBrowse, x + m.contentW - sameW - m.gap - browseW, y, browseW, m.rowH);
    Place(out, kIdSameAsInput, x + m.contentW - sameW, y, sameW, m.rowH);
    return y + m.rowH + m.gap;
}

int PlaceReplaceEntireRow(const Metrics& m, std::vector<Placement>& out, int y)
{
    const int checkTextW = m.textW(L"Replace entire name with:");
    Place(out, kIdReplaceEntire, m.margin, y, checkTextW + m.dp(8), m.rowH);
    Place(out, kIdReplaceName, m.margin + checkTextW + m.dp(12), y, m.dp(280), m.rowH);
    return y + m.rowH + m.gap;
}

int PlaceSearchRow(const Metrics& m, std::vector<Placement>& out, int y)
{
    struct Field {
        int labelId;
        const wchar_t* label;
        int editId;
    };
    const Field fields[] = {
        {kIdSearchLabel, L"Search", kIdSearch},
        {kIdReplaceLabel, L"Replace", kIdReplace},
        {kIdRemoveLabel, L"Remove chars", kIdRemoveChars},
    };
    const int editW = m.dp(160);
    int x = m.margin;
    for (const Field& f : fields) {
        const int labelW = m.textW(f.label);
        Place(out, f.labelId, x, y, labelW, m.rowH);
        Place(out, f.editId, x + labelW, y, editW, m.rowH);
        x += labelW + editW + m.gap;
    }
    Place(out, kIdSearchRegex, x, y, m.dp(24) + m.textW(L"Regular expression"), m.rowH);
    return y + m.rowH + m.gap;
}

int PlaceCaseRow(const Metrics& m, std::vector<Placement>& out, int y)
{
    const int x = m.margin;
    const int caseLW = m.textW(L"Case");
    const int caseW = std::max(m.dp(28) + m.widestItemW(kCaseItems), m.dp(140));
    Place(out, kIdCaseLabel, x, y, caseLW, m.rowH);
    Place(out, kIdCaseCombo, x + caseLW, y, caseW, m.comboH, true);
    const int x2 = x + caseLW + caseW + m.gap;
    const int extLW = m.textW(L"Extension");
    const int extW = std::max(m.dp(28) + m.widestItemW(kExtItems), m.dp(130));
    Place(out, kIdExtLabel, x2, y, extLW, m.rowH);
    Place(out, kIdExtCombo, x2 + extLW, y, extW, m.comboH, true);
    const int x3 = x2 + extLW + extW + m.gap;
    const int newExtLW = m.textW(L"New ext");
    Place(out, kIdNewExtLabel, x3, y, newExtLW, m.rowH);
    Place(out, kIdNewExt, x3 + newExtLW, y, m.dp(90), m.rowH);
    return y + m.rowH + m.gap;
}

// The Preview heading, the two list headings, the lists with the splitter, and Process.
void PlacePreviewArea(const Metrics& m, std::vector<Placement>& out, int y)
{
    const int x = m.margin;
    PlaceHeading(m, out, kIdHeadingPreview, L"Preview", y);
    const int yl = y + m.rowH + m.dp(2);
    const int listTop = yl + m.rowH;
    const int buttonH = m.rowH + m.dp(4);
    // The lists take what is left and give way first, so nothing below them is overlapped.
    const int listH = std::max(0, m.in.clientH - m.in.statusH - buttonH - m.margin - m.gap - listTop);
    const int splitW = m.dp(8);
    const PaneWidths panes = SplitPanes(m.contentW, m.in.splitPct, m.in.dpi);

    Place(out, kIdOriginalHeading, x, yl, panes.left, m.rowH);
    Place(out, kIdListOriginal, x, listTop, panes.left, listH);
    Place(out, kIdSplitter, x + panes.left, yl, splitW, m.rowH + listH);
    Place(out, kIdNewHeading, x + panes.left + splitW, yl, panes.right, m.rowH);
    Place(out, kIdListNew, x + panes.left + splitW, listTop, panes.right, listH);

    const int buttonW = m.dp(120);
    Place(out, kIdProcess, m.in.clientW - m.margin - buttonW, m.in.clientH - m.in.statusH - buttonH - m.margin, buttonW,
          buttonH);
}

const SequenceRowIds kPrefixRow = {kIdPrefixLabel,     kIdPrefixType, kIdPrefixStartLabel, kIdPrefixStart,
                                   kIdPrefixStepLabel, kIdPrefixStep, kIdPrefixPadLabel,   kIdPrefixPad,
                                   kIdPrefixSepLabel,  kIdPrefixSep};
const SequenceRowIds kSuffixRow = {kIdSuffixLabel,     kIdSuffixType, kIdSuffixStartLabel, kIdSuffixStart,
                                   kIdSuffixStepLabel, kIdSuffixStep, kIdSuffixPadLabel,   kIdSuffixPad,
                                   kIdSuffixSepLabel,  kIdSuffixSep};

}  // namespace

PaneWidths SplitPanes(int contentW, int splitPct, int dpi)
{
    const int splitW = ScaleDp(8, dpi);
    const int minPane = ScaleDp(160, dpi);
    int left = (contentW - splitW) * splitPct / 100;
    if (left < minPane) left = minPane;
    if (contentW - left - splitW < minPane) left = contentW - minPane - splitW;
    return PaneWidths{left, contentW - left - splitW};
}

int ComboItemHeight(int rowH, int dpi)
{
    return std::max(18, rowH - ScaleDp(8, dpi));
}

SIZE MinimumWindowSize(int fontPt, int dpi)
{
    int w = 1100, h = 920;
    if (fontPt < 12) {
        w = 980;
        h = 760;
    } else if (fontPt < 15) {
        h = 840;
    }
    return SIZE{ScaleDp(w, dpi), ScaleDp(h, dpi)};
}

SIZE MinimumWindowSize(int fontPt, int dpi, SIZE workArea)
{
    const SIZE minimum = MinimumWindowSize(fontPt, dpi);
    return SIZE{std::min(minimum.cx, workArea.cx), std::min(minimum.cy, workArea.cy)};
}

void LayoutSequenceRow(const LayoutInput& in, const SequenceRowIds& ids, int& y, std::vector<Placement>& out)
{
    const Metrics m(in);
    const int x0 = m.margin;
    const int comboW = std::max(m.dp(28) + m.widestItemW(kSequenceItems), m.dp(170));
    const int fieldLW = std::max(m.textW(L"Start"), m.dp(40));
    const int numW = m.dp(56);
    const int firstLW = m.textW(L"Prefix");  // both rows, so they line up
    Place(out, ids.label, x0, y, firstLW, m.rowH);
    Place(out, ids.combo, x0 + firstLW, y, comboW, m.comboH, true);
    int x = x0 + firstLW + comboW + m.gap;
    Place(out, ids.startLabel, x, y, fieldLW, m.rowH);
    Place(out, ids.startEdit, x + fieldLW, y, numW, m.rowH);
    x += fieldLW + numW + m.gap;
    Place(out, ids.stepLabel, x, y, fieldLW, m.rowH);
    Place(out, ids.stepEdit, x + fieldLW, y, numW, m.rowH);
    x += fieldLW + numW + m.gap;
    const int padLW = m.textW(L"Pad");
    Place(out, ids.padLabel, x, y, padLW, m.rowH);
    Place(out, ids.padEdit, x + padLW, y, numW, m.rowH);
    x += padLW + numW + m.gap;
    const int sepLW = m.textW(L"Separator");
    const int sepW = m.dp(90);
    if (x + sepW + sepLW > x0 + m.contentW) {
        y += m.rowH + m.gap;
        x = x0 + firstLW;
    }
    Place(out, ids.sepLabel, x, y, sepLW, m.rowH);
    Place(out, ids.sepEdit, x + sepLW, y, sepW, m.rowH);
    y += m.rowH + m.gap;
}

std::vector<Placement> ComputeLayout(const LayoutInput& in)
{
    const Metrics m(in);
    std::vector<Placement> out;
    out.reserve(56);
    int y = m.margin;
    y = PlaceHeading(m, out, kIdHeadingMode, L"Processing action", y);
    y = PlaceModeRow(m, out, y);
    y = PlaceHeading(m, out, kIdHeadingDirs, L"Directories", y);
    y = PlaceDirectoryRows(m, out, y);
    y = PlaceHeading(m, out, kIdHeadingRules, L"Renaming rules", y);
    LayoutSequenceRow(in, kPrefixRow, y, out);
    y = PlaceReplaceEntireRow(m, out, y);
    LayoutSequenceRow(in, kSuffixRow, y, out);
    y = PlaceSearchRow(m, out, y);
    y = PlaceCaseRow(m, out, y);
    PlacePreviewArea(m, out, y);
    return out;
}

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
