// The splitter between the two list views: painting, cursor and dragging.
#include "app/splitter.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "app/app_state.h"
#include "app/layout.h"
#include "app/main_window.h"
#include "app/theme.h"
#include "app/win_util.h"

int SplitPctFromPointer(int pointerX, int listLeft, int listRight, int dpi)
{
    const int minPane = ScaleDp(160, dpi);
    const int avail = listRight - ScaleDp(8, dpi) - listLeft;
    if (avail < 2 * minPane) return -1;
    int leftW = std::max(pointerX - listLeft, minPane);
    if (avail - leftW < minPane) leftW = avail - minPane;
    return std::clamp(leftW * 100 / avail, 20, 80);
}

namespace {

// The pointer is over the splitter (or drags it); the splitter holds the capture for a drag.
bool g_hot = false;
bool g_dragging = false;

struct SplitterColors {
    COLORREF back, line, grip;
};

SplitterColors ColorsForState()
{
    const ThemeColors theme = GetThemeColors(g_app.settings.darkTheme);
    if (g_hot || g_dragging) return {theme.splitterHotBackground, theme.accent, theme.accent};
    return {theme.splitterBackground, theme.splitterLine, theme.splitterGrip};
}

void PaintSplitter(HWND splitter)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(splitter, &ps);
    RECT rect{};
    GetClientRect(splitter, &rect);
    const SplitterColors colors = ColorsForState();
    FillRect(dc, &rect, GdiObject<HBRUSH>(CreateSolidBrush(colors.back)));

    const int cx = (rect.left + rect.right) / 2;
    const int inset = ScaleDp(10, g_app.dpi);
    {
        const GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, colors.line));
        const SelectedObject selected(dc, pen);
        MoveToEx(dc, cx, rect.top + inset, nullptr);
        LineTo(dc, cx, rect.bottom - inset);
    }

    // Five 3 x 3 grip dots centred on the line.
    const GdiObject<HBRUSH> grip(CreateSolidBrush(colors.grip));
    const int cy = (rect.top + rect.bottom) / 2;
    const int k = ScaleDp(5, g_app.dpi);
    for (int i = -2; i <= 2; ++i) {
        const int c = cy + i * k;
        RECT dot{cx - 1, c - 1, cx + 2, c + 2};
        FillRect(dc, &dot, grip);
    }
    EndPaint(splitter, &ps);
}

void Redraw(HWND splitter)
{
    InvalidateRect(splitter, nullptr, FALSE);
}

RECT ClientRectOf(HWND control)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, g_app.mainWindow, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void OnMouseMove(HWND splitter, WPARAM wParam, LPARAM lParam)
{
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, splitter, 0};
    TrackMouseEvent(&track);
    if (!g_hot) {
        g_hot = true;
        Redraw(splitter);
    }
    if (!g_dragging || !(wParam & MK_LBUTTON)) return;
    POINT pointer{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    MapWindowPoints(splitter, g_app.mainWindow, &pointer, 1);
    const int pct = SplitPctFromPointer(pointer.x, ClientRectOf(g_app.listOriginal).left,
                                        ClientRectOf(g_app.listNew).right, g_app.dpi);
    if (pct < 0) return;
    g_app.settings.splitPct = pct;
    LayoutControls();
}

// Whether a point in the splitter's client coordinates lies on it.
bool OnSplitter(HWND splitter, LPARAM point)
{
    RECT rect{};
    GetClientRect(splitter, &rect);
    const POINT p{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    return PtInRect(&rect, p) != FALSE;
}

// The drag ended (button released or capture taken away): keep the split.
void EndDrag(HWND splitter)
{
    g_dragging = false;
    SaveSettings(true);
    Redraw(splitter);
}

}  // namespace

LRESULT CALLBACK SplitterProc(HWND splitter, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    switch (message) {
    case WM_PAINT: PaintSplitter(splitter); return 0;
    case WM_SETCURSOR: SetCursor(LoadCursorW(nullptr, IDC_SIZEWE)); return 1;
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEMOVE: OnMouseMove(splitter, wParam, lParam); return 0;
    case WM_LBUTTONDBLCLK:  // static controls take double clicks: a quick second press still drags
    case WM_LBUTTONDOWN:
        g_dragging = true;
        g_hot = true;
        SetCapture(splitter);
        Redraw(splitter);
        return 0;
    case WM_LBUTTONUP:
        if (!g_dragging) return 0;
        // Cleared first so the WM_CAPTURECHANGED of the release does not end the drag twice.
        g_dragging = false;
        if (GetCapture() == splitter) ReleaseCapture();
        // The leave notice came (and was ignored) while the drag held the mouse, and none follows
        // a release elsewhere: without this the splitter would stay highlighted.
        if (!OnSplitter(splitter, lParam)) g_hot = false;
        EndDrag(splitter);
        return 0;
    case WM_CAPTURECHANGED:
        if (g_dragging && reinterpret_cast<HWND>(lParam) != splitter) {
            g_hot = false;  // another window has the mouse; the next move here relights it
            EndDrag(splitter);
        }
        return 0;
    case WM_MOUSELEAVE:
        if (g_dragging) return 0;
        g_hot = false;
        Redraw(splitter);
        return 0;
    default: return DefSubclassProc(splitter, message, wParam, lParam);
    }
}
