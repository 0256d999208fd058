// The processing flow on the main thread: checks, prompts, starting the worker, and applying
// its progress and its end to the list, the list views and the status bar.
#include <windows.h>
#include <commctrl.h>
#include <process.h>

#include <algorithm>
#include <cwctype>
#include <memory>
#include <unordered_map>

#include "app/app_state.h"
#include "app/binding.h"
#include "app/file_list.h"
#include "app/processing.h"
#include "engine/path.h"
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
    // The folder the planner aimed at, by its exact full name.
    const std::wstring exact = ExtendedDirectory(ResolveOutputDirectory(g_app.settings.inputDir, directory));
    if (GetFileAttributesW(exact.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    if (Ask(L"The output directory does not exist. Create it?", MB_ICONQUESTION | MB_YESNO) != IDYES) return false;
    if (!CreateDirectoryW(exact.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
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

// Applies the outcomes from the first one not yet applied up to (not including) `end`.
void ApplyOutcomes(size_t end)
{
    const ProcessJob& job = *g_app.batch;
    end = std::min(end, job.outcomes.size());
    for (; g_app.batchApplied < end; ++g_app.batchApplied) {
        const size_t index = g_app.batchApplied;
        if (index >= g_app.files.size()) continue;
        const RowOutcome& outcome = job.outcomes[index];
        FileEntry& row = g_app.files[index];
        row.status = outcome.status;
        row.statusText = outcome.text;
        if (outcome.succeeded && outcome.status == ItemStatus::Done && job.mode != ProcessMode::CopyAndRename) {
            // The file now lives under its new name.
            row.name = row.newName;
            row.sourcePath = row.targetPath;
            row.directory = row.targetDirectory;
            row.extension = ExtensionOf(row.name);
        }
        RedrawRow(static_cast<int>(index));
    }
}

// Error texts of the rows that failed, by file, to survive the rescan after a batch.
using FailedFiles = std::unordered_map<std::wstring, std::wstring>;

std::wstring FileKey(const std::wstring& path)
{
    std::wstring key = path;
    for (wchar_t& c : key) c = towlower(c);
    return key;
}

FailedFiles CollectFailures(const FileList& rows)
{
    FailedFiles failures;
    for (const FileEntry& row : rows) {
        if (row.status == ItemStatus::Failed) failures[FileKey(row.sourcePath)] = row.statusText;
    }
    return failures;
}

// The rescan planned every row afresh; the failed files stay marked until the next plan.
void RestoreFailures(const FailedFiles& failures)
{
    if (failures.empty()) return;
    for (size_t i = 0; i < g_app.files.size(); ++i) {
        FileEntry& row = g_app.files[i];
        const auto failure = failures.find(FileKey(row.sourcePath));
        if (failure == failures.end()) continue;
        row.status = ItemStatus::Failed;
        row.statusText = failure->second;
        RedrawRow(static_cast<int>(i));
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
    auto job = std::make_shared<ProcessJob>();
    job->rows = g_app.files;
    job->mode = mode;
    job->window = g_app.mainWindow;
    if (HANDLE thread = StartWorkerThread(job)) {
        CloseHandle(thread);  // never joined: it ends with its batch
        g_app.batch = std::move(job);
        g_app.batchApplied = 0;
        return;
    }
    g_app.busy = false;
    UpdateControlStates();
    Ask(L"Could not start the worker thread.", MB_ICONERROR);
}

void OnProgress(size_t lastRow)
{
    if (!g_app.batch) return;
    ApplyOutcomes(std::min(lastRow + 1, g_app.batch->completed.load(std::memory_order_acquire)));
    // The status bar paints itself at once on every new text; a text that the next queued
    // progress message replaces straight away is only remembered, not painted.
    const std::wstring text = ProgressText(static_cast<int>(lastRow), g_app.files.size());
    MSG next;
    if (PeekMessageW(&next, g_app.mainWindow, WM_APP_PROGRESS, WM_APP_PROGRESS, PM_NOREMOVE)) {
        g_app.statusBarText = text;
    } else {
        SetStatusText(text);
    }
}

void OnFinished()
{
    if (!g_app.batch || !g_app.batch->ended.load(std::memory_order_acquire)) return;
    ApplyOutcomes(g_app.batch->outcomes.size());
    // The job, with every row's outcome, is complete here; the window lets go of it.
    const std::shared_ptr<ProcessJob> job = std::move(g_app.batch);
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
    const FailedFiles failures = CollectFailures(g_app.files);
    ScanInputDirectory();  // the list shows the directory as it now is
    RestoreFailures(failures);
    SetStatusText(summary);  // the scan wrote its counts over the summary
}
