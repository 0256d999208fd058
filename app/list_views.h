#pragma once
// The two virtual list views: columns, cell texts, row colours, mirrored selection and scroll.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "engine/planner.h"

void InsertListColumns(HWND list, bool isOriginal);
void ApplyColumnWidths(HWND list, bool isOriginal);
void FillDisplayText(NMLVDISPINFOW* info, bool isOriginal);
LRESULT PaintRowColours(NMLVCUSTOMDRAW* customDraw);
void MirrorSelection(const NMLISTVIEW* change);
void SyncScroll(HWND list, bool isOriginal);
// Installed on both lists with SetWindowSubclass (id 1: original names, id 2: new names).
LRESULT CALLBACK ListSubclassProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclassId,
                                  DWORD_PTR refData);

// The window-free pieces the handlers are made of.
std::wstring FormatSizeText(uint64_t size);
// The text of one cell: sub-item 0, 1 or other of the original-names or the new-names list.
std::wstring CellText(const FileEntry& row, bool isOriginal, int subItem);
// LVN_GETDISPINFOW over any list of rows; rows outside `rows` and empty buffers get nothing.
void FillDisplayTextFrom(const FileList& rows, NMLVDISPINFOW* info, bool isOriginal);

struct RowColours {
    COLORREF background;
    COLORREF text;
};
// `status` is null when the row is not a row of the list (default colours then).
RowColours PickRowColours(bool darkTheme, bool selected, const ItemStatus* status);

struct ColumnWidths {
    int width[3];
};
// Stored widths when they are plausible, otherwise shares of the client width less the scroll bar.
ColumnWidths ComputeColumnWidths(int clientWidth, int scrollBarWidth, const int32_t stored[3], bool isOriginal);
// True for the messages after which the other list follows this one's vertical position.
bool IsScrollMessage(UINT message, WPARAM wParam);
