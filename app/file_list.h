#pragma once
// The scan of the input directory into the window's list, the column sort, the repaint of its
// rows and the status bar.
#include <windows.h>

#include <climits>
#include <string>

// Lists the input directory, keeps every file it read, and makes rows of those the name filter
// lets through, except those taken out by hand (when the folder is the one listed before).
void ScanInputDirectory();
// The name filter changed: rows anew from the last scan's files, without reading the disk.
void ApplyFileFilter();
// F5: the rows taken out by hand come back with the next scan.
void ForgetRemovedRows();
// A batch or an undo changed the input folder without a scan (copies made or deleted): the
// kept files are listed again, so a change of the filter lists what is on disk. Rows stay.
void RelistKeptFiles();
// The selected row of the lists, or -1.
int SelectedRow();
// Takes the selected row out of the list (the file stays on disk) and selects the row that
// takes its place.
void RemoveSelectedRow();
void ClearFileList();
void SortByColumn(int column);
void UpdateSortIndicators();
// The rows were put in an order of no column (a row was dragged): the header shows no arrow.
void ForgetColumnSort();
// After a reorder that is not a scan: plan again, reset both item counts, repaint, counts.
void ReplanAfterReorder();
// Both lists' row count (LVM_SETITEMCOUNT with `flags`), and their repaint.
void SetBothItemCounts(int count, DWORD flags);
void InvalidateBothLists(BOOL erase);

// The rows a list shows, read from its scroll bar (in rows in report view) without a message to
// the list: a long batch asks this for every row, and every message to a list costs.
struct RowsInView {
    int top = 0;
    int last = INT_MAX;  // no scroll bar: every row is in view
};

// Repaints rows where the lists show them; a row out of view is painted when it is scrolled to.
// The views are read once: a frame of progress repaints many rows, and nothing scrolls meanwhile.
class RowPainter {
public:
    RowPainter();
    void Redraw(int index) const;

private:
    RowsInView views_[2];
};
// Puts a text into the status bar and remembers it in g_app.statusBarText.
void SetStatusText(const std::wstring& text);
