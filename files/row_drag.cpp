// Placeholder bodies until row dragging lands.
#include "files/row_drag.h"

const wchar_t kOverlayClassName[] = L"OrvanePallistoOverlay";

void BeginRowDrag(int, POINT) {}
LRESULT HandleDragMessage(HWND, UINT, WPARAM, LPARAM, UINT_PTR, bool& handled)
{
    handled = false;
    return 0;
}
LRESULT CALLBACK OverlayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}
