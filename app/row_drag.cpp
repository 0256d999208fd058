// Moving one row of the original-names list by dragging it: a floating ghost with the file name
// follows the pointer, a thin marker shows the insertion gap, and the drop re-plans the list so
// the numbering follows the new order.
#include "app/row_drag.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <string>
#include <utility>

#include "app/app_state.h"
#include "app/file_list.h"
#include "app/layout.h"
#include "app/list_views.h"
#include "app/theme.h"
#include "app/win_util.h"
#include "files/file_order.h"

const wchar_t kOverlayClassName[] = L"OrvanePallistoOverlay";

namespace {

enum OverlayKind : LONG_PTR { kGhost = 0, kMarker = 1 };

constexpr BYTE kGhostAlpha = 230;
constexpr BYTE kMarkerAlpha = 255;
constexpr UINT_PTR kOriginalListId = 1;

// The drag in progress, and its two overlay windows (kept hidden between drags).
struct DragState {
    bool active = false;
    int row = -1;  // the dragged row
    int gap = -1;  // the insertion gap under the pointer
    HWND ghost = nullptr;
    HWND marker = nullptr;
    POINT grab = {};    // the pointer's offset inside the ghost
    std::wstring path;  // sourcePath of the dragged row: a list rebuilt mid-drag is not reordered
};
DragState g_drag;

int Dp(int n)
{
    return ScaleDp(n, g_app.dpi);
}

bool RowRect(HWND list, int row, RECT& rect)
{
    rect = {};
    rect.left = LVIR_BOUNDS;
    return list && SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect)) != 0;
}

int RowCount(HWND list)
{
    return list ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

HWND CreateOverlay(OverlayKind kind, BYTE alpha)
{
    HWND window =
        CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kOverlayClassName, L"",
                        WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, g_app.instance, nullptr);
    if (!window) return nullptr;
    SetWindowLongPtrW(window, GWLP_USERDATA, kind);
    SetLayeredWindowAttributes(window, 0, alpha, LWA_ALPHA);
    return window;
}

// Ends the drag state without moving anything. `active` drops first, so the capture change
// that ReleaseCapture sends below is not taken for a capture lost to another window.
void ResetDragState()
{
    g_drag.active = false;
    g_drag.row = g_drag.gap = -1;
    g_drag.path.clear();
    if (g_drag.ghost) ShowWindow(g_drag.ghost, SW_HIDE);
    if (g_drag.marker) ShowWindow(g_drag.marker, SW_HIDE);
    if (g_app.listOriginal && GetCapture() == g_app.listOriginal) ReleaseCapture();
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

DropProbe ProbeList(HWND list, int x, int y)
{
    DropProbe probe;
    probe.rowCount = RowCount(list);
    if (probe.rowCount <= 0) return probe;
    RECT rect, client;
    GetClientRect(list, &client);
    // Only the height picks the gap: a pointer that strays left of the rows or right of the
    // last column is tested as if it were over them.
    if (RowRect(list, 0, rect)) {
        const int left = std::max(rect.left, client.left), right = std::min(rect.right, client.right);
        if (left < right) x = std::clamp(x, static_cast<int>(left), static_cast<int>(right) - 1);
    }
    LVHITTESTINFO hit = {};
    hit.pt = {x, y};
    const int row = static_cast<int>(SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row >= 0 && row < probe.rowCount) {
        probe.hitRow = row;
        // Without a rectangle the pointer counts as on the row's upper half.
        probe.hitTop = RowRect(list, row, rect) ? rect.top : y + 1;
        probe.hitBottom = RowRect(list, row, rect) ? rect.bottom : y + 1;
    }
    probe.firstTop = RowRect(list, 0, rect) ? rect.top : INT_MIN;
    probe.lastBottom = RowRect(list, probe.rowCount - 1, rect) ? rect.bottom : INT_MAX;
    const int top = static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    if (top >= 0 && top < probe.rowCount && RowRect(list, top, rect)) {
        probe.topRow = top;
        probe.viewTop = rect.top;
        probe.viewBottom = client.bottom;
        probe.bottomGap = top + static_cast<int>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
    }
    return probe;
}

void SelectMovedRow(int row)
{
    HWND lists[] = {g_app.listOriginal, g_app.listNew};
    const ScopedFlag syncing(g_app.syncingSelection);
    for (HWND list : lists) {
        if (!list) continue;
        LVITEMW item = {};
        item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }
    for (HWND list : lists) {
        if (list) SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
    }
}

void PaintGhost(HDC dc, HWND window, RECT rect)
{
    const ThemeColors theme = GetThemeColors(g_app.settings.darkTheme);
    FillRect(dc, &rect, GdiObject<HBRUSH>(CreateSolidBrush(theme.ghostBackground)));
    FrameRect(dc, &rect, GdiObject<HBRUSH>(CreateSolidBrush(theme.accent)));

    wchar_t text[260] = {};
    GetWindowTextW(window, text, 260);
    InflateRect(&rect, -Dp(10), 0);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, theme.listText);
    const SelectedObject font(dc, g_app.uiFont);
    DrawTextW(dc, text, -1, &rect, DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER);
}

void PaintOverlay(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT rect;
    GetClientRect(window, &rect);
    if (GetWindowLongPtrW(window, GWLP_USERDATA) == kMarker) {
        FillRect(dc, &rect, GdiObject<HBRUSH>(CreateSolidBrush(GetThemeColors(g_app.settings.darkTheme).accent)));
    } else {
        PaintGhost(dc, window, rect);
    }
    EndPaint(window, &paint);
}

}  // namespace

int DropGapAt(int y, const DropProbe& probe)
{
    if (probe.rowCount <= 0) return 0;
    // In a scrolled list row 0 or the last row lies out of sight: a pointer leaving the view
    // stays at its edge (the auto-scroll moves on from there) instead of jumping to either end.
    if (y < probe.viewTop) return std::clamp(probe.topRow, 0, probe.rowCount);
    if (y >= probe.viewBottom) return std::clamp(probe.bottomGap, 0, probe.rowCount);
    if (probe.hitRow >= 0 && probe.hitRow < probe.rowCount)
        return y >= (probe.hitTop + probe.hitBottom) / 2 ? probe.hitRow + 1 : probe.hitRow;
    if (y >= probe.lastBottom) return probe.rowCount;
    if (y < probe.firstTop) return 0;
    return probe.rowCount;  // beside the rows, for example right of the last column
}

int DropTargetRow(int from, int gap, int count)
{
    if (from < 0 || from >= count) return -1;
    if (gap < 0) gap = count;
    // Taking the row out first shifts every gap after it up by one.
    const int target = gap > from ? gap - 1 : gap;
    if (target == from || target < 0 || target > count) return -1;
    return std::min(target, count - 1);
}

bool MoveFileRow(FileList& files, int from, int to)
{
    const int count = static_cast<int>(files.size());
    if (from < 0 || from >= count || to < 0 || to >= count) return false;
    FileEntry row = std::move(files[from]);
    files.erase(files.begin() + from);
    files.insert(files.begin() + to, std::move(row));
    return true;
}

SIZE GhostSize(int textWidth, int rowHeight, int dpi)
{
    return {std::max(ScaleDp(180, dpi), ScaleDp(24, dpi) + textWidth), std::max(ScaleDp(28, dpi), rowHeight)};
}

POINT ClampGrabOffset(POINT offset, SIZE ghost)
{
    if (offset.x < 8) offset.x = 8;
    if (offset.x > ghost.cx - 8) offset.x = ghost.cx - 8;
    if (offset.y < 4) offset.y = ghost.cy / 2;
    return offset;
}

int AutoScrollDelta(int y, int clientTop, int clientBottom, int rowHeight, int dpi)
{
    const int zone = std::max(rowHeight, ScaleDp(20, dpi));
    if (y < clientTop + zone) return -rowHeight;
    if (y > clientBottom - zone) return rowHeight;
    return 0;
}

void BeginRowDrag(int row, POINT start)
{
    g_drag.active = true;
    g_drag.row = g_drag.gap = row;
    const bool known = row >= 0 && row < static_cast<int>(g_app.files.size());
    g_drag.path = known ? g_app.files[row].sourcePath : std::wstring();
    if (g_app.listOriginal) SetCapture(g_app.listOriginal);
    // With the capture held no WM_SETCURSOR arrives while the pointer moves: set it now.
    SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
    ShowDragOverlay(row, start);
    if (g_app.listOriginal) InvalidateRect(g_app.listOriginal, nullptr, FALSE);
}

void ShowDragOverlay(int row, POINT start)
{
    if (!g_drag.ghost) g_drag.ghost = CreateOverlay(kGhost, kGhostAlpha);
    if (!g_drag.marker) g_drag.marker = CreateOverlay(kMarker, kMarkerAlpha);
    RECT rowRect;
    RowRect(g_app.listOriginal, row, rowRect);
    const bool known = row >= 0 && row < static_cast<int>(g_app.files.size());
    const std::wstring name = known ? g_app.files[row].name : std::wstring();
    if (!g_drag.ghost) return;
    SetWindowTextW(g_drag.ghost, name.c_str());
    const SIZE size = GhostSize(MeasureTextWidth(name.c_str()), rowRect.bottom - rowRect.top, g_app.dpi);
    const POINT grab = ClampGrabOffset({start.x - rowRect.left, start.y - rowRect.top}, size);
    g_drag.grab.x = grab.x;
    g_drag.grab.y = grab.y;
    SetWindowPos(g_drag.ghost, HWND_TOPMOST, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOACTIVATE);
    InvalidateRect(g_drag.ghost, nullptr, TRUE);
    MoveDragGhost();
    PlaceDropMarker();
}

void MoveDragGhost()
{
    if (!g_drag.ghost) return;
    POINT pointer;
    GetCursorPos(&pointer);
    SetWindowPos(g_drag.ghost, HWND_TOPMOST, pointer.x - g_drag.grab.x, pointer.y - g_drag.grab.y, 0, 0,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
}

void PlaceDropMarker()
{
    HWND list = g_app.listOriginal;
    const int count = RowCount(list);
    if (!g_drag.marker || !list || count <= 0) return;
    RECT client;
    GetClientRect(list, &client);
    int y = client.top;
    RECT rect;
    const int gap = g_drag.gap;
    if (gap <= 0 && RowRect(list, 0, rect))
        y = rect.top;
    else if (gap > 0 && gap < count && RowRect(list, gap, rect))
        y = rect.top;
    else if (gap >= count && RowRect(list, count - 1, rect))
        y = rect.bottom;
    POINT left = {client.left, y}, right = {client.right, y};
    ClientToScreen(list, &left);
    ClientToScreen(list, &right);
    const int thickness = std::max(3, Dp(3));
    const int width = std::max(Dp(40), static_cast<int>(right.x - left.x) - Dp(8));
    SetWindowPos(g_drag.marker, HWND_TOPMOST, left.x + Dp(4), left.y - thickness / 2, width, thickness,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

// The gap under the pointer; the marker moves when the gap changed or the rows moved under it.
static void UpdateDropGap(HWND list, int x, int y, bool rowsMoved)
{
    const int gap = DropGapAt(y, ProbeList(list, x, y));
    if (gap == g_drag.gap && !rowsMoved) return;
    g_drag.gap = gap;
    PlaceDropMarker();
}

void TrackRowDrag(int x, int y)
{
    HWND list = g_app.listOriginal;
    MoveDragGhost();
    if (!list) return;
    UpdateDropGap(list, x, y, false);
    // No timer: each move inside an edge zone scrolls by one row.
    RECT first, client;
    const int rowHeight = RowRect(list, 0, first) ? first.bottom - first.top : Dp(22);
    GetClientRect(list, &client);
    const int delta = AutoScrollDelta(y, client.top, client.bottom, rowHeight, g_app.dpi);
    if (delta == 0) return;
    SendMessageW(list, LVM_SCROLL, 0, delta);
    if (g_app.listNew) SendMessageW(g_app.listNew, LVM_SCROLL, 0, delta);
    PlaceDropMarker();
}

void EndRowDrag(bool commit)
{
    if (!g_drag.active) return;
    const int from = g_drag.row;
    const int gap = g_drag.gap;
    const std::wstring path = std::move(g_drag.path);
    ResetDragState();
    // A batch started from the keyboard mid-drag reports its rows by index: keep them in place.
    if (!commit || g_app.busy) return;
    const int to = DropTargetRow(from, gap, static_cast<int>(g_app.files.size()));
    // F5 during a drag rescans the folder: the index may now name another file.
    if (to < 0 || g_app.files[from].sourcePath != path || !MoveFileRow(g_app.files, from, to)) return;
    ForgetColumnSort();
    ReplanAfterReorder();
    SelectMovedRow(to);
}

bool RowDragActive()
{
    return g_drag.active;
}

void DestroyDragOverlays()
{
    for (HWND overlay : {g_drag.ghost, g_drag.marker}) {
        if (overlay) DestroyWindow(overlay);
    }
    g_drag = DragState();
}

void CancelRowDrag()
{
    if (g_drag.active) ResetDragState();
}

// The wheel or a key scrolls the rows under a pointer that stays put: after the list and its
// twin have scrolled, the gap is taken again, so the drop lands where the marker shows.
static LRESULT ScrollUnderDrag(HWND list, UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    if (!IsScrollMessage(message, wParam)) return 0;
    const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
    SyncScroll(list, true);
    handled = true;
    if (!g_drag.active) return result;
    POINT pointer;
    GetCursorPos(&pointer);
    ScreenToClient(list, &pointer);
    UpdateDropGap(list, pointer.x, pointer.y, true);
    return result;
}

LRESULT HandleDragMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclassId, bool& handled)
{
    handled = false;
    if (subclassId != kOriginalListId || !g_drag.active) return 0;
    switch (message) {
    case WM_MOUSEMOVE: TrackRowDrag(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); break;
    case WM_LBUTTONUP: EndRowDrag(true); break;
    case WM_RBUTTONDOWN: EndRowDrag(false); break;
    case WM_KEYDOWN:
        if (wParam != VK_ESCAPE) return ScrollUnderDrag(list, message, wParam, lParam, handled);
        CancelRowDrag();
        break;
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
        handled = true;
        return TRUE;
    case WM_CAPTURECHANGED:
        // Another window took the mouse (a switch to another program, a menu): end as Esc
        // does, so no overlay is left floating. The list still sees the message.
        if (reinterpret_cast<HWND>(lParam) != list) CancelRowDrag();
        return 0;
    default: return ScrollUnderDrag(list, message, wParam, lParam, handled);
    }
    handled = true;
    return 0;
}

LRESULT CALLBACK OverlayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: PaintOverlay(window); return 0;
    case WM_ERASEBKGND: return 1;             // the paint covers everything
    case WM_NCHITTEST: return HTTRANSPARENT;  // the overlays never take the mouse
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}
