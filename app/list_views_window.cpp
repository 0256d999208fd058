// The list views' handlers: columns, widths, display texts, row painting, mirrored selection
// and scroll.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/app_state.h"
#include "app/cell_tips.h"
#include "app/list_views.h"
#include "app/row_drag.h"
#include "app/theme.h"
#include "app/win_util.h"

namespace {

struct ColumnSpec {
    const wchar_t* header;
    int width;
};

constexpr ColumnSpec kOriginalColumns[kOriginalColumnCount] = {
    {L"Original name", 280}, {L"Size", 90}, {L"Ext", 70}, {L"Modified", 130}};
constexpr ColumnSpec kNewColumns[kNewColumnCount] = {
    {L"New / preview name", 260}, {L"Target path", 280}, {L"Status", 120}};

HWND OtherList(HWND list)
{
    return list == g_app.listOriginal ? g_app.listNew : g_app.listOriginal;
}

}  // namespace

void InsertListColumns(HWND list, bool isOriginal)
{
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, ListViewExtendedStyle(g_app.settings.darkTheme));
    ApplyControlTheme(list);
    const ColumnSpec* columns = isOriginal ? kOriginalColumns : kNewColumns;
    for (int i = 0; i < ColumnCount(isOriginal); ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = columns[i].width;
        column.pszText = const_cast<wchar_t*>(columns[i].header);
        column.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void ApplyColumnWidths(HWND list, bool isOriginal)
{
    if (!list) return;
    RECT client = {};
    GetClientRect(list, &client);
    const AppSettings& s = g_app.settings;
    const int32_t original[kOriginalColumnCount] = {s.colOrig0, s.colOrig1, s.colOrig2, s.colOrig3};
    const int32_t renamed[kOriginalColumnCount] = {s.colNew0, s.colNew1, s.colNew2, 0};
    const ColumnWidths widths = ComputeColumnWidths(client.right - client.left, GetSystemMetrics(SM_CXVSCROLL),
                                                    isOriginal ? original : renamed, isOriginal);
    for (int i = 0; i < ColumnCount(isOriginal); ++i) {
        SendMessageW(list, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(widths.width[i] & 0xFFFF, 0));
    }
}

void FillDisplayText(NMLVDISPINFOW* info, bool isOriginal)
{
    FillDisplayTextFrom(g_app.files, info, isOriginal);
}

namespace {

// A target path too long for its column keeps its end, the part that differs between rows:
// the middle gives way, as Explorer shortens paths.
void DrawTargetPathCell(const NMLVCUSTOMDRAW* customDraw, int row)
{
    const NMCUSTOMDRAW& draw = customDraw->nmcd;
    RECT cell = {};
    cell.top = customDraw->iSubItem;
    cell.left = LVIR_BOUNDS;
    if (!SendMessageW(draw.hdr.hwndFrom, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell)))
        return;
    const int padding = ScaleDp(6, g_app.dpi);  // as the list pads its own cells
    cell.left += padding;
    cell.right -= padding;
    const std::wstring text = CellText(g_app.files[static_cast<size_t>(row)], false, customDraw->iSubItem);
    DrawTextW(draw.hdc, text.c_str(), static_cast<int>(text.size()), &cell,
              DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS);
}

}  // namespace

LRESULT PaintRowColours(NMLVCUSTOMDRAW* customDraw)
{
    NMCUSTOMDRAW& draw = customDraw->nmcd;
    if (draw.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    const bool cell = draw.dwDrawStage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM);
    if (draw.dwDrawStage != CDDS_ITEMPREPAINT && !cell) return CDRF_DODEFAULT;

    const int row = static_cast<int>(draw.dwItemSpec);
    const bool selected = (draw.uItemState & CDIS_SELECTED) != 0;
    const bool valid = row >= 0 && static_cast<size_t>(row) < g_app.files.size();
    const ItemStatus* status = valid ? &g_app.files[static_cast<size_t>(row)].status : nullptr;
    const RowColours colours = PickRowColours(g_app.settings.darkTheme, selected, status);

    // The row is drawn entirely here: no selection highlight, focus rectangle or hot tracking.
    draw.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS | CDIS_HOT);
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    if (!cell &&
        SendMessageW(draw.hdr.hwndFrom, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds))) {
        FillRect(draw.hdc, &bounds, GdiObject<HBRUSH>(CreateSolidBrush(colours.background)));
    }
    customDraw->clrTextBk = colours.background;
    customDraw->clrText = colours.text;
    SetBkMode(draw.hdc, TRANSPARENT);
    SetTextColor(draw.hdc, colours.text);
    // The new-names list draws its target path cells itself.
    const bool newList = draw.hdr.hwndFrom && draw.hdr.hwndFrom == g_app.listNew;
    if (cell && newList && valid && customDraw->iSubItem == 1) {
        DrawTargetPathCell(customDraw, row);
        return CDRF_SKIPDEFAULT;
    }
    return (newList && !cell) ? CDRF_NEWFONT | CDRF_NOTIFYSUBITEMDRAW : CDRF_NEWFONT;
}

void MirrorSelection(const NMLISTVIEW* change)
{
    if (!change || g_app.syncingSelection || !(change->uChanged & LVIF_STATE)) return;
    HWND other = OtherList(change->hdr.hwndFrom);
    if (!other) return;
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = change->uNewState & (LVIS_SELECTED | LVIS_FOCUSED);
    const ScopedFlag syncing(g_app.syncingSelection);
    SendMessageW(other, LVM_SETITEMSTATE, static_cast<WPARAM>(change->iItem), reinterpret_cast<LPARAM>(&state));
    SendMessageW(other, LVM_ENSUREVISIBLE, static_cast<WPARAM>(change->iItem), FALSE);
}

namespace {

int TopRow(HWND list)
{
    return static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
}

// Scrolls `list` by whole rows towards `top` as far as it goes; false when it has no rows.
bool ScrollToTopRow(HWND list, int top)
{
    if (SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) <= 0) return false;
    RECT first = {};
    first.left = LVIR_BOUNDS;
    if (!SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first))) return false;
    const int rowHeight = first.bottom - first.top;
    if (rowHeight <= 0) return false;
    SendMessageW(list, LVM_SCROLL, 0, static_cast<LPARAM>((top - TopRow(list)) * rowHeight));
    return true;
}

}  // namespace

void SyncScroll(HWND list, bool isOriginal)
{
    HWND other = isOriginal ? g_app.listNew : g_app.listOriginal;
    if (!other || g_app.syncingSelection) return;
    const int top = TopRow(list);
    if (top == TopRow(other)) return;
    const ScopedFlag syncing(g_app.syncingSelection);
    // A list with a horizontal scroll bar shows a row less, so the other may not reach the same
    // top row at the end: then this one comes back to the other's, and the rows stay side by side.
    if (ScrollToTopRow(other, top) && TopRow(other) != top) ScrollToTopRow(list, TopRow(other));
}

LRESULT CALLBACK ListSubclassProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclassId, DWORD_PTR)
{
    TrackCellTip(list, message, wParam, lParam);
    if (subclassId == 1) {
        bool handled = false;
        const LRESULT result = HandleDragMessage(list, message, wParam, lParam, subclassId, handled);
        if (handled) return result;
    }
    const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
    if (IsScrollMessage(message, wParam)) SyncScroll(list, subclassId == 1);
    return result;
}
