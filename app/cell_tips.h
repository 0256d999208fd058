#pragma once
// Tips for the list cells whose text does not fit: resting the pointer on such a cell shows its
// whole text. One tooltip per list, whatever its columns.
#include <windows.h>

#include <string>

// Gives `list` its tooltip (again after the window is made anew).
void CreateCellTip(HWND list);
// From the list's window procedure, before the list sees the message: follows the pointer from
// cell to cell and hands mouse messages to the tooltip.
void TrackCellTip(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
// The tooltip of `list`; null when it has none.
HWND CellTipWindow(HWND list);
// The whole text of a cell when the cell cuts it; empty when it fits or there is no such cell.
std::wstring CutCellText(HWND list, int row, int subItem);
