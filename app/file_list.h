#pragma once
// The scan of the input directory into the window's list, the column sort and the status bar.
#include <string>

void ScanInputDirectory();
void ClearFileList();
void SortByColumn(int column);
void UpdateSortIndicators();
// The rows were put in an order of no column (a row was dragged): the header shows no arrow.
void ForgetColumnSort();
// After a reorder that is not a scan: plan again, reset both item counts, repaint, counts.
void ReplanAfterReorder();
// Puts a text into the status bar and remembers it in g_app.statusBarText.
void SetStatusText(const std::wstring& text);
