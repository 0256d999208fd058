#pragma once
// The splitter between the two list views.
#include <windows.h>

// The share in percent of the list area for the original-names list when the pointer is at
// `pointerX` (main-window client coordinates) between the left edge of the original-names
// list and the right edge of the new-names list. -1 when the area is too narrow to drag.
int SplitPctFromPointer(int pointerX, int listLeft, int listRight, int dpi);

// Subclass procedure of the splitter (subclass ID 3).
LRESULT CALLBACK SplitterProc(HWND splitter, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclassId,
                              DWORD_PTR refData);
