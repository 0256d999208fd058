// The scan, the column sort and their effect on the window: list views, header arrows, status bar.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "app/app_state.h"
#include "app/binding.h"
#include "app/date_reading_window.h"
#include "app/file_list.h"
#include "app/row_drag.h"
#include "app/win_util.h"
#include "files/file_order.h"
#include "files/folder_snapshot.h"
#include "files/name_filter.h"

namespace {

// The column the original-names list is sorted by (-1: an order of no column) and its direction.
int g_sortColumn = -1;
bool g_sortAscending = true;
// Every file the last scan read, in name order: the name filter chooses the rows from these.
ScannedFiles g_scanned;
std::wstring g_scannedFolder;  // the input folder as the last scan named it

void CountRemovedRows()
{
    g_app.removedRows = static_cast<size_t>(std::count(g_scanned.removed.begin(), g_scanned.removed.end(), 1));
}

// Deselects and unfocuses every row of both lists without mirroring the change back. A list
// with nothing to clear is left alone: clearing walks every row.
void ClearSelections()
{
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = 0;
    const ScopedFlag syncing(g_app.syncingSelection);
    for (HWND list : {g_app.listOriginal, g_app.listNew}) {
        if (!list) continue;
        const bool marked = SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) > 0 ||
                            SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED) >= 0;
        if (marked) SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    }
    UpdateFileMenu();
}

// Selects and focuses one row of the original-names list; the other list follows it.
void SelectRow(int row)
{
    if (!g_app.listOriginal) return;
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(g_app.listOriginal, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    SendMessageW(g_app.listOriginal, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

}  // namespace

void SetBothItemCounts(int count, DWORD flags)
{
    for (HWND list : {g_app.listOriginal, g_app.listNew}) {
        // The same count again would only cost the list a scroll-bar update.
        if (list && SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) != count)
            SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), flags);
    }
}

void InvalidateBothLists(BOOL erase)
{
    for (HWND list : {g_app.listOriginal, g_app.listNew}) {
        if (list) InvalidateRect(list, nullptr, erase);
    }
}

namespace {

RowsInView ViewOf(HWND list)
{
    RowsInView view;
    SCROLLINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS | SIF_PAGE;
    if (list && GetScrollInfo(list, SB_VERT, &info) && info.nPage > 0) {
        view.top = info.nPos;
        view.last = info.nPos + static_cast<int>(info.nPage);  // with the row cut off at the bottom
    }
    return view;
}

}  // namespace

RowPainter::RowPainter() : views_{ViewOf(g_app.listOriginal), ViewOf(g_app.listNew)} {}

void RowPainter::Redraw(int index) const
{
    const HWND lists[] = {g_app.listOriginal, g_app.listNew};
    for (int i = 0; i < 2; ++i) {
        if (lists[i] && index >= views_[i].top && index <= views_[i].last)
            SendMessageW(lists[i], LVM_REDRAWITEMS, static_cast<WPARAM>(index), index);
    }
}

void SetStatusText(const std::wstring& text)
{
    g_app.statusBarText = text;
    if (g_app.statusBar) SendMessageW(g_app.statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ScanInputDirectory()
{
    CancelDatesTaken();
    ReadControlsIntoSettings();
    DropFolderSnapshots();
    // The scan's listing is also the first plan's: watched before it lists, adopted after.
    const std::wstring& folder = g_app.settings.inputDir;
    // Rows taken out by hand stay out when the same folder is listed again.
    const std::vector<std::wstring> removed =
        folder == g_scannedFolder ? RemovedNames(g_scanned) : std::vector<std::wstring>();
    const HANDLE watch = folder.empty() ? INVALID_HANDLE_VALUE : WatchFolder(folder);
    FolderNames names;
    size_t hidden = 0;
    const ListResult result =
        ScanFolderRows(folder, g_app.settings.fileFilter, g_app.files, g_scanned, hidden, &names, removed);
    AdoptFolderListing(folder, watch, names);
    if (result != ListResult::Listed) {
        ClearFileList();
        SetStatusText(ScanFailureText(result));
        return;
    }
    g_scannedFolder = folder;
    CountRemovedRows();
    g_sortColumn = 0;
    g_sortAscending = true;
    UpdateSortIndicators();
    g_app.hiddenByFilter = hidden;
    RefreshPreview();
    ClearSelections();
}

void ForgetRemovedRows()
{
    g_scanned.removed.clear();
    g_app.removedRows = 0;
}

void RelistKeptFiles()
{
    FileList listed;
    const std::wstring& folder = g_app.settings.inputDir;
    if (folder.empty() || folder != g_scannedFolder || ListDirectory(folder, listed) != ListResult::Listed) return;
    SortRowsByName(listed);
    KeepScannedFiles(listed, g_scanned, RemovedNames(g_scanned));
    CountRemovedRows();
}

void ApplyFileFilter()
{
    CancelDatesTaken();  // only listed files are read: the reading starts again over the new rows
    ReadControlsIntoSettings();
    if (g_scanned.starts.empty()) {  // nothing scanned: the filter waits for the next scan
        RefreshPreview();
        return;
    }
    g_app.hiddenByFilter = RowsOfMatchingFiles(g_scanned, NormalizeFileFilter(g_app.settings.fileFilter), g_app.files);
    if (g_sortColumn > 0 || (g_sortColumn == 0 && !g_sortAscending))
        SortRowsByColumn(g_app.files, g_sortColumn, g_sortAscending);
    RefreshPreview();
    ClearSelections();
}

int SelectedRow()
{
    if (!g_app.listOriginal) return -1;
    return static_cast<int>(SendMessageW(g_app.listOriginal, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void RemoveSelectedRow()
{
    const int row = SelectedRow();
    if (g_app.busy || RowDragActive() || row < 0 || static_cast<size_t>(row) >= g_app.files.size()) return;
    MarkRemoved(g_scanned, g_app.files[row].name);  // a change of the filter leaves it out too
    CountRemovedRows();
    g_app.files.erase(g_app.files.begin() + row);
    ClearSelections();
    ReplanAfterReorder();
    UpdateControlStates();
    if (!g_app.files.empty()) SelectRow(std::min(row, static_cast<int>(g_app.files.size()) - 1));
}

void ClearFileList()
{
    CancelDatesTaken();
    DropFolderSnapshots();
    g_app.files.clear();
    g_scanned = ScannedFiles();
    g_scannedFolder.clear();
    g_app.hiddenByFilter = 0;
    g_app.removedRows = 0;
    g_sortColumn = -1;
    UpdateSortIndicators();
    SetBothItemCounts(0, 0);
    InvalidateBothLists(TRUE);
    UpdateStatusCounts();
    UpdateControlStates();
}

void SortByColumn(int column)
{
    if (g_app.busy || RowDragActive() || g_app.files.empty() || column < 0 || column > 3) return;
    if (column == g_sortColumn) {
        g_sortAscending = !g_sortAscending;
    } else {
        g_sortColumn = column;
        g_sortAscending = true;
    }
    SortRowsByColumn(g_app.files, column, g_sortAscending);
    UpdateSortIndicators();
    ReplanAfterReorder();
}

void ForgetColumnSort()
{
    g_sortColumn = -1;
    UpdateSortIndicators();
}

void UpdateSortIndicators()
{
    HWND header =
        g_app.listOriginal ? reinterpret_cast<HWND>(SendMessageW(g_app.listOriginal, LVM_GETHEADER, 0, 0)) : nullptr;
    if (!header) return;
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        if (!SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item))) continue;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == g_sortColumn) item.fmt |= g_sortAscending ? HDF_SORTUP : HDF_SORTDOWN;
        SendMessageW(header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    InvalidateRect(header, nullptr, TRUE);
}

void ReplanAfterReorder()
{
    PlanPreview(g_app.files, g_app.settings, TargetsExist);
    SetBothItemCounts(static_cast<int>(g_app.files.size()), LVSICF_NOSCROLL);
    InvalidateBothLists(FALSE);
    UpdateStatusCounts();
}
