// The processing flow on the main thread: checks, prompts, starting the worker, and applying
// its progress and its end to the list, the list views and the status bar.
#include <windows.h>
#include <commctrl.h>
#include <process.h>

#include <memory>

#include "app/app_state.h"
#include "app/binding.h"
#include "files/file_order.h"
#include "files/folder_snapshot.h"
#include "files/worker.h"

namespace {

constexpr wchar_t kCaption[] = L"Orvane Pallisto";

int Ask(const wchar_t* text, UINT flags)
{
    return MessageBoxW(g_app.mainWindow, text, kCaption, flags);
}

// The output directory exists afterwards, or the user was told why not (or declined).
bool EnsureOutputDirectory(const std::wstring& directory)
{
    if (directory.empty()) {
        Ask(L"Choose an output directory, or enable \"Same as input directory\".", MB_ICONWARNING);
        return false;
    }
    if (GetFileAttributesW(directory.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    if (Ask(L"The output directory does not exist. Create it?", MB_ICONQUESTION | MB_YESNO) != IDYES) return false;
    if (!CreateDirectoryW(directory.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        Ask(L"Could not create the output directory.", MB_ICONERROR);
        return false;
    }
    return true;
}

bool ConfirmBatch(ProcessMode mode)
{
    int ready = 0;
    int conflicts = 0;
    for (const FileEntry& row : g_app.files) {
        if (row.status == ItemStatus::Ready) ++ready;
        if (IsConflict(row.status)) ++conflicts;
    }
    if (ready == 0) {
        Ask(L"There are no files ready to process. Conflicts and unchanged names are skipped.", MB_ICONINFORMATION);
        return false;
    }
    const UINT flags = conflicts > 0 ? MB_ICONWARNING | MB_YESNO : MB_ICONQUESTION | MB_YESNO;
    return Ask(ConfirmationText(ready, conflicts, mode).c_str(), flags) == IDYES;
}

void RedrawRow(int index)
{
    for (HWND list : {g_app.listOriginal, g_app.listNew}) {
        if (list) SendMessageW(list, LVM_REDRAWITEMS, static_cast<WPARAM>(index), index);
    }
}

}  // namespace

void StartProcessing()
{
    if (g_app.busy || g_app.files.empty()) return;
    ReadControlsIntoSettings();
    PlanPreview(g_app.files, g_app.settings, TargetsExist);
    const ProcessMode mode = g_app.settings.mode;
    if (mode != ProcessMode::RenameInPlace && !EnsureOutputDirectory(g_app.settings.outputDir)) return;
    if (!ConfirmBatch(mode)) return;

    g_app.busy = true;
    g_app.batchMode = mode;
    UpdateControlStates();
    auto* job = new ProcessJob{g_app.files, mode, g_app.mainWindow};
    const uintptr_t thread = _beginthreadex(nullptr, 0, WorkerMain, job, 0, nullptr);
    if (thread) {
        CloseHandle(reinterpret_cast<HANDLE>(thread));  // never joined: it ends with its batch
        return;
    }
    delete job;
    g_app.busy = false;
    UpdateControlStates();
    Ask(L"Could not start the worker thread.", MB_ICONERROR);
}

void OnProgress(ProgressRecord* record)
{
    if (!record) return;
    std::unique_ptr<ProgressRecord> owned(record);
    if (record->index >= 0 && static_cast<size_t>(record->index) < g_app.files.size()) {
        FileEntry& row = g_app.files[static_cast<size_t>(record->index)];
        row.status = record->status;
        row.statusText = record->text;
        if (record->succeeded && record->status == ItemStatus::Done && g_app.batchMode != ProcessMode::CopyAndRename) {
            // The file now lives under its new name.
            row.name = row.newName;
            row.sourcePath = row.targetPath;
            row.directory = row.targetDirectory;
            row.extension = ExtensionOf(row.name);
        }
        RedrawRow(record->index);
    }
    // The status bar paints itself at once on every new text; a text that the next queued
    // progress message replaces straight away is only remembered, not painted.
    MSG next;
    if (PeekMessageW(&next, g_app.mainWindow, WM_APP_PROGRESS, WM_APP_PROGRESS, PM_NOREMOVE)) {
        g_app.statusBarText = ProgressText(record->index, g_app.files.size());
    } else {
        SetStatusText(ProgressText(record->index, g_app.files.size()));
    }
}

void OnFinished()
{
    g_app.busy = false;
    DropFolderSnapshots();  // the batch changed the folders
    int done = 0;
    int failed = 0;
    for (const FileEntry& row : g_app.files) {
        if (row.status == ItemStatus::Done) ++done;
        if (row.status == ItemStatus::Failed) ++failed;
    }
    const int skipped = static_cast<int>(g_app.files.size()) - done - failed;
    const std::wstring summary = FinishedText(done, skipped, failed, g_app.files.size());
    SetStatusText(summary);
    if (failed > 0) {
        Ask(L"Some files could not be processed (they may be open or locked). Those items are marked Failed in "
            L"the preview list.",
            MB_ICONWARNING);
    }
    if (g_app.batchMode == ProcessMode::CopyAndRename) {
        for (HWND list : {g_app.listOriginal, g_app.listNew}) {
            if (list) InvalidateRect(list, nullptr, FALSE);
        }
        UpdateControlStates();
        return;
    }
    ScanInputDirectory();  // the list shows the directory as it now is
    SetStatusText(summary);  // the scan wrote its counts over the summary
}
