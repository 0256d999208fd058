#pragma once
// The two virtual list views: columns, cell texts, row colours, mirrored selection and scroll.
#include <windows.h>
#include <commctrl.h>

void InsertListColumns(HWND list, bool isOriginal);
void ApplyColumnWidths(HWND list, bool isOriginal);
void FillDisplayText(NMLVDISPINFOW* info, bool isOriginal);
LRESULT PaintRowColours(NMLVCUSTOMDRAW* customDraw);
void MirrorSelection(const NMLISTVIEW* change);
void SyncScroll(HWND list, bool isOriginal);
// Installed on both lists with SetWindowSubclass (id 1: original names, id 2: new names).
LRESULT CALLBACK ListSubclassProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR subclassId, DWORD_PTR refData);
