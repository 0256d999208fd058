// Placeholder bodies until the list views land.
#include "files/list_views.h"

void InsertListColumns(HWND, bool) {}
void ApplyColumnWidths(HWND, bool) {}
void FillDisplayText(NMLVDISPINFOW*, bool) {}
LRESULT PaintRowColours(NMLVCUSTOMDRAW*) { return CDRF_DODEFAULT; }
void MirrorSelection(const NMLISTVIEW*) {}
void SyncScroll(HWND, bool) {}
LRESULT CALLBACK ListSubclassProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    return DefSubclassProc(list, message, wParam, lParam);
}
