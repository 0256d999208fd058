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
// A local last-write time (engine/date_text.h ticks) in the user's short date and short time.
std::wstring FormatModifiedText(uint64_t localTicks);
// The text of one cell: sub-item 0 to 3 of the original-names list, 0 to 2 of the new-names list.
std::wstring CellText(const FileEntry& row, bool isOriginal, int subItem);
// LVN_GETDISPINFOW over any list of rows; rows outside `rows` and empty buffers get nothing.
void FillDisplayTextFrom(const FileList& rows, NMLVDISPINFOW* info, bool isOriginal);

struct RowColours {
    COLORREF background;
    COLORREF text;
};
// `status` is null when the row is not a row of the list (default colours then).
RowColours PickRowColours(bool darkTheme, bool selected, const ItemStatus* status);

// The original-names list has four columns (name, size, extension, modified), the new-names list three.
constexpr int kOriginalColumnCount = 4;
constexpr int kNewColumnCount = 3;
inline int ColumnCount(bool isOriginal)
{
    return isOriginal ? kOriginalColumnCount : kNewColumnCount;
}

struct ColumnWidths {
    int width[kOriginalColumnCount];
};
// Stored widths when they are plausible, otherwise shares of the client width less the scroll bar.
// The first three columns are judged together, as the settings have always kept them; the
// "Modified" column alone (settings from before it had no width for it).
ColumnWidths ComputeColumnWidths(int clientWidth, int scrollBarWidth, const int32_t stored[kOriginalColumnCount],
                                 bool isOriginal);
// True for the messages after which the other list follows this one's vertical position.
bool IsScrollMessage(UINT message, WPARAM wParam);
