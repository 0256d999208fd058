#pragma once
// Reordering rows of the original-names list by dragging, with a ghost and an insertion line.
#include <windows.h>

extern const wchar_t kOverlayClassName[];

void BeginRowDrag(int row, POINT start);
// Called first by the original-names list's subclass procedure; sets `handled` when it
// swallowed the message.
LRESULT HandleDragMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclassId,
                          bool& handled);
LRESULT CALLBACK OverlayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
