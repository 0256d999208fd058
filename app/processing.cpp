// The processing flow on the main thread: checks, prompts, starting the worker, and applying
// its progress and its end to the list, the list views and the status bar.
#include <windows.h>
#include <commctrl.h>
#include <process.h>

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "app/app_state.h"
#include "app/binding.h"
#include "app/commands.h"
#include "app/date_reading_window.h"
#include "app/file_list.h"
#include "app/main_window.h"
#include "app/processing.h"
#include "app/taskbar.h"
#include "app/win_util.h"
#include "engine/path.h"
#include "engine/wide_char.h"
#include "files/batch.h"
#include "files/batch_journal.h"
#include "files/file_order.h"
#include "files/folder_snapshot.h"
#include "files/worker.h"

namespace {

// The running batch or undo (the worker is files/worker) and the last batch, to put back.
ProcessMode g_batchMode = ProcessMode::RenameInPlace;  // the mode the running batch was started with
std::shared_ptr<ProcessJob> g_batch;                   // the running batch, shared with its worker
size_t g_batchApplied = 0;                             // outcomes of `g_batch` already applied to `files`
UndoList g_lastBatch;                                  // what the last finished batch did (kept in the journal)
bool g_lastWithin = false;                             // it renamed within itself: its undo is ordered too
std::vector<size_t> g_undoRows;                        // during an undo: the row of `files` showing each record
HWND g_focusBefore = nullptr;                          // the control that had the focus when the batch began
std::wstring g_createdFolder;                          // the output folder the last batch created, if any
bool g_batchFailed = false;                            // a row of the running batch failed
ULONGLONG g_countPaintedAt = 0;                        // when the status bar last painted a progress count
bool g_countLater = false;                             // a remembered count waits for the timer to paint it
bool g_stopAsked = false;                              // the stop question is open over the window

// While the worker runs, a count newer than the one on screen by less than this is only
// remembered (a newer one is on its way): painting thousands of counts slows the batch itself.
// A little under the worker's 100 ms frame, so each of its frames still paints its count.
constexpr ULONGLONG kCountFrameMs = 80;
constexpr UINT_PTR kCountTimer = 0x4F50;  // paints a remembered count when no newer one came

void CALLBACK PaintRememberedCount(HWND window, UINT, UINT_PTR id, DWORD)
{
    KillTimer(window, id);
    g_countLater = false;
    if (!g_batch) return;
    SetStatusText(g_app.statusBarText);
    g_countPaintedAt = GetTickCount64();
}

void StopCountTimer()
{
    if (g_countLater && g_app.mainWindow) KillTimer(g_app.mainWindow, kCountTimer);
    g_countLater = false;
}

int Ask(const wchar_t* text, UINT flags)
{
    return MessageBoxW(g_app.mainWindow, text, kMainWindowTitle, flags);
}

std::wstring JournalPath()
{
    return JournalPathBeside(ActiveSettingsPath());
}

// A record not written only loses the undo after a restart.
void KeepLastBatch(const ProcessJob& job)
{
    KeepBatchRecord(JournalPath(), {g_lastBatch, g_lastWithin}, job.ordered.get());
}

// Renames within the batch: the job's rows (or undo records) put in the order they move, the
// journal written, its lock held to the end of the batch. False, with the user told, when
// another batch holds the journal or it could not be written.
bool OrderJob(ProcessJob& job)
{
    job.ordered = std::make_shared<OrderedMoves>();
    switch (ClaimJournal(JournalPath(), job.ordered->lock)) {
    case JournalClaim::Busy: Ask(kJournalBusyText, MB_ICONWARNING); return false;
    case JournalClaim::Interrupted:
        Ask(L"The last batch was interrupted: restart the program to finish it first. Nothing was changed.",
            MB_ICONWARNING);
        return false;
    case JournalClaim::Taken: break;
    }
    const bool ordered = job.undo.empty()
                             ? ArrangeBatch(job.rows, g_app.settings.mode, JournalPath(), *job.ordered, job.listRow)
                             : ArrangeUndo(job.undo, JournalPath(), *job.ordered);
    if (!ordered) Ask(L"The batch journal could not be written beside the program. Nothing was changed.", MB_ICONERROR);
    return ordered;
}

// A prompt about the output folder names it in full when the user typed a relative one.
std::wstring NamingFolder(std::wstring text, const std::wstring& typed, const std::wstring& full)
{
    if (full != typed) text += L"\n\n" + full;
    return text;
}

// The output directory exists afterwards, or the user was told why not (or declined).
// `created` is the folder when this call made it.
bool EnsureOutputDirectory(const std::wstring& directory, std::wstring& created)
{
    created.clear();
    if (directory.empty()) {
        Ask(L"Choose an output directory, or enable \"Same as input directory\".", MB_ICONWARNING);
        return false;
    }
    // The folder the planner aimed at, by its exact full name.
    const OutputFolder folder = FindOutputFolder(g_app.settings.inputDir, directory);
    if (folder.exists) return true;
    const std::wstring question =
        NamingFolder(L"The output directory does not exist. Create it?", directory, folder.full);
    if (Ask(question.c_str(), MB_ICONQUESTION | MB_YESNO) != IDYES) return false;
    switch (CreateOutputFolder(folder)) {
    case FolderMade::Existed: return true;
    case FolderMade::Failed: Ask(L"Could not create the output directory.", MB_ICONERROR); return false;
    case FolderMade::Created: break;
    }
    created = folder.exact;
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
    std::wstring text = ConfirmationText(ready, conflicts, mode);
    if (mode != ProcessMode::RenameInPlace) {
        const std::wstring& typed = g_app.settings.outputDir;
        text = NamingFolder(text, typed, ResolveOutputDirectory(g_app.settings.inputDir, typed));
    }
    return Ask(text.c_str(), flags) == IDYES;
}

constexpr size_t kNoRow = SIZE_MAX;

// The row of `files` an outcome belongs to: a batch's row i, or the row showing an undone file.
size_t OutcomeRow(const ProcessJob& job, size_t outcome)
{
    if (job.undo.empty()) return outcome < job.listRow.size() ? job.listRow[outcome] : outcome;
    return outcome < g_undoRows.size() ? g_undoRows[outcome] : kNoRow;
}

// Applies the outcomes from the first one not yet applied up to (not including) `end`.
void ApplyOutcomes(size_t end)
{
    const ProcessJob& job = *g_batch;
    end = std::min(end, job.completed.load(std::memory_order_acquire));
    end = std::min(end, job.outcomes.size());
    const RowPainter painter;
    for (; g_batchApplied < end; ++g_batchApplied) {
        const size_t index = OutcomeRow(job, g_batchApplied);
        if (index >= g_app.files.size()) continue;
        const ProgressRecord& outcome = job.outcomes[g_batchApplied];
        if (outcome.status == ItemStatus::Failed) g_batchFailed = true;
        ApplyOutcomeToRow(g_app.files[index], job, outcome);
        painter.Redraw(static_cast<int>(index));
    }
}

// Results that survive the rescan (or re-plan) at the end of a batch or an undo, by file.
using RowMarks = std::unordered_map<std::wstring, ProgressRecord>;

RowMarks CollectFailures(const FileList& rows)
{
    RowMarks failures;
    for (const FileEntry& row : rows) {
        if (row.status == ItemStatus::Failed)
            failures[FoldedText(row.sourcePath)] = ProgressRecord{0, false, ItemStatus::Failed, row.statusText, {}};
    }
    return failures;
}

// The file an undo record is shown as: a copy by the row of its source, a renamed or moved
// file by its own row.
const std::wstring& ShownPath(const UndoRecord& record)
{
    return record.mode == ProcessMode::CopyAndRename ? record.source : record.target;
}

// The files an undo left as they were, with the reason.
RowMarks CollectKept(const ProcessJob& job)
{
    RowMarks kept;
    for (size_t i = 0; i < job.undo.size() && i < job.completed.load(); ++i) {
        if (!job.outcomes[i].succeeded) kept[FoldedText(ShownPath(job.undo[i]))] = job.outcomes[i];
    }
    return kept;
}

// The list was planned afresh; the marked files keep their result until the next plan.
void RestoreMarks(const RowMarks& marks)
{
    if (marks.empty()) return;
    const RowPainter painter;
    for (size_t i = 0; i < g_app.files.size(); ++i) {
        FileEntry& row = g_app.files[i];
        const auto mark = marks.find(FoldedText(row.sourcePath));
        if (mark == marks.end()) continue;
        row.status = mark->second.status;
        row.statusText = mark->second.text;
        painter.Redraw(static_cast<int>(i));
    }
}

void RescanKeeping(const RowMarks& marks, const std::wstring& summary)
{
    ScanInputDirectory();  // the list shows the directory as it now is
    RestoreMarks(marks);
    SetStatusText(summary);  // the scan wrote its counts over the summary
}

// The rows that show the records' files (kNoRow where the list has none): a copy's row is the
// one that made it, so its source and target must both match.
std::vector<size_t> RowsShowing(const UndoList& records)
{
    std::unordered_map<std::wstring, size_t> bySource;
    for (size_t i = 0; i < g_app.files.size(); ++i) bySource.emplace(FoldedText(g_app.files[i].sourcePath), i);
    std::vector<size_t> rows;
    for (const UndoRecord& record : records) {
        const auto found = bySource.find(FoldedText(ShownPath(record)));
        size_t row = found == bySource.end() ? kNoRow : found->second;
        if (row != kNoRow && record.mode == ProcessMode::CopyAndRename &&
            FoldedText(g_app.files[row].targetPath) != FoldedText(record.target))
            row = kNoRow;
        rows.push_back(row);
    }
    return rows;
}

// Sets busy and hands the job to a new worker; if none starts, the window is idle again. The
// menu grays before the worker starts, the controls after: their repainting need not delay the
// first file (the window takes no input before they are gray).
void LaunchWorker(std::shared_ptr<ProcessJob> job, ProcessMode mode)
{
    g_app.busy = true;
    ForgetHandedOverFolder();  // a folder handed over under the confirmation must not replace the batch's
    g_batchMode = mode;
    job->mode = mode;
    job->window = g_app.mainWindow;
    DropFolderSnapshots();  // the batch makes them stale, and a watch costs every file of it
    UpdateFileMenu();
    if (HANDLE thread = StartWorkerThread(job)) {
        CloseHandle(thread);  // never joined: it ends with its job
        g_batch = std::move(job);
        g_batchApplied = 0;
        g_batchFailed = false;
        g_countPaintedAt = 0;
        UpdateControlStates();
        ShowTaskbarProgress(0, g_batch->outcomes.size(), false);
        return;
    }
    g_app.busy = false;
    UpdateFileMenu();
    if (job->ordered) job->ordered->journal.Abandon();  // the batch never began: the record before it stays
    Ask(L"Could not start the worker thread.", MB_ICONERROR);
}

void EndBatch(const ProcessJob& job)
{
    g_lastBatch = RecordOf(job);  // the menu item follows with the control states below
    g_lastWithin = job.ordered != nullptr;
    KeepLastBatch(job);
    const std::wstring summary = BatchSummaryText(g_app.files, job);
    SetStatusText(summary);
    const bool failed = std::any_of(g_app.files.begin(), g_app.files.end(),
                                    [](const FileEntry& row) { return row.status == ItemStatus::Failed; });
    if (failed) {
        Ask(L"Some files could not be processed (they may be open or locked). Those items are marked Failed in "
            L"the preview list.",
            MB_ICONWARNING);
    }
    if (g_batchMode == ProcessMode::CopyAndRename) {
        RelistKeptFiles();  // copies into the input folder are files of it now
        for (HWND list : {g_app.listOriginal, g_app.listNew}) {
            if (list) InvalidateRect(list, nullptr, FALSE);
        }
        UpdateControlStates();
        return;
    }
    CarryDatesTaken();  // the renamed files keep their dates: the rescan need not read them again
    RescanKeeping(CollectFailures(g_app.files), summary);
}

void EndUndo(const ProcessJob& job)
{
    // A stopped undo leaves the files it never reached to a later undo, in their batch order.
    const int notProcessed = NotReached(job);
    g_lastBatch.assign(job.undo.rbegin(), job.undo.rbegin() + notProcessed);
    KeepLastBatch(job);
    g_undoRows.clear();
    // The folder the batch created goes too once nothing is left in it; a folder with anything
    // in it stays (the removal fails). A stopped undo leaves it to the undo of the rest.
    if (notProcessed == 0) {
        if (!g_createdFolder.empty()) RemoveDirectoryW(g_createdFolder.c_str());
        g_createdFolder.clear();
    }
    int undone = 0;
    for (const ProgressRecord& outcome : job.outcomes) undone += outcome.succeeded ? 1 : 0;
    const int total = static_cast<int>(job.outcomes.size());
    const int left = total - undone - notProcessed;
    const std::wstring summary =
        notProcessed ? UndoStoppedText(undone, left, notProcessed, total) : UndoFinishedText(undone, left, total);
    SetStatusText(summary);
    if (left > 0) {
        Ask(L"Some files were left as they are: putting them back would overwrite or lose data, or they are in use.",
            MB_ICONWARNING);
    }
    const RowMarks kept = CollectKept(job);
    if (g_batchMode != ProcessMode::CopyAndRename) {
        RescanKeeping(kept, summary);
        return;
    }
    // The rows no longer say Done for copies that are gone: a deleted copy leaves the list
    // (if it was listed), and the rest is planned again.
    std::unordered_set<std::wstring> deleted;
    for (size_t i = 0; i < job.undo.size() && i < job.outcomes.size(); ++i) {
        if (job.outcomes[i].succeeded) deleted.insert(FoldedText(job.undo[i].target));
    }
    std::erase_if(g_app.files, [&](const FileEntry& row) { return deleted.count(FoldedText(row.sourcePath)) > 0; });
    RelistKeptFiles();
    RefreshPreview();
    RestoreMarks(kept);
    SetStatusText(summary);  // the plan wrote its counts over the summary
}

}  // namespace

void StartProcessing()
{
    if (g_app.busy || g_app.files.empty()) return;
    const HWND focus = GetFocus();
    ReadControlsIntoSettings();
    PlanPreview(g_app.files, g_app.settings, TargetsExist);
    const ProcessMode mode = g_app.settings.mode;
    std::wstring created;
    if (mode != ProcessMode::RenameInPlace && !EnsureOutputDirectory(g_app.settings.outputDir, created)) return;
    if (!ConfirmBatch(mode)) return;
    auto job = std::make_shared<ProcessJob>();
    job->rows = g_app.files;
    if (PlansWithinBatch(MakePlanInput(g_app.settings)) && !OrderJob(*job)) return;
    g_focusBefore = focus;
    g_createdFolder = created;
    LaunchWorker(std::move(job), mode);
}

void StartUndo()
{
    if (!CanUndoLastBatch()) return;  // nothing to undo, however the command came
    const ProcessMode mode = g_lastBatch.front().mode;
    const HWND focus = GetFocus();
    if (Ask(UndoPromptText(mode, g_lastBatch.size()).c_str(), MB_ICONQUESTION | MB_YESNO) != IDYES) return;
    g_focusBefore = focus;
    auto job = std::make_shared<ProcessJob>();
    job->undo.assign(g_lastBatch.rbegin(), g_lastBatch.rend());  // the last file first
    if (g_lastWithin && !OrderJob(*job)) return;
    g_undoRows = RowsShowing(job->undo);
    LaunchWorker(std::move(job), mode);
}

void AskToStopBatch()
{
    if (!g_batch || g_batch->stop.load()) return;
    // The worker finishes the file in hand and waits for the answer: the batch must not run on
    // under a question about it.
    const std::shared_ptr<ProcessJob> asked = g_batch;
    asked->hold.store(true, std::memory_order_release);
    g_stopAsked = true;
    const int answer = Ask(L"Stop after the current file? Files already processed stay as they are.",
                           MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON2);
    g_stopAsked = false;
    // A batch that ended while the question was open (its last file was in hand) has ended
    // normally and closed the question: the answer is moot.
    if (answer == IDYES && !asked->ended.load(std::memory_order_acquire))
        asked->stop.store(true, std::memory_order_release);
    asked->hold.store(false, std::memory_order_release);
    asked->hold.notify_all();
    OnFinished();  // the batch may have ended behind the question
}

bool CanUndoLastBatch()
{
    return !g_app.busy && !g_lastBatch.empty();
}

void RestoreLastBatch()
{
    JournalContents contents;
    if (g_app.busy || !ReadJournal(JournalPath(), contents) || contents.running) return;
    g_lastBatch = std::move(contents.last.records);
    g_lastWithin = contents.last.withinBatch;
}

std::wstring RecoverInterruptedBatch()
{
    JournalLock lock;  // held elsewhere: that batch is alive, not interrupted
    JournalContents contents;
    if (!lock.Take(JournalPath()) || !ReadJournal(JournalPath(), contents) || !contents.running) return {};
    const bool finish = Ask(kInterruptedQuestion, MB_ICONQUESTION | MB_YESNO) == IDYES;
    const RecoveryResult result = RecoverBatch(contents.batch, finish, JournalPath());
    const std::wstring left = LeftAloneText(result);
    if (!left.empty()) Ask(left.c_str(), MB_ICONWARNING);
    return RecoveryStatusText(result);
}

void ForgetBatches()
{
    if (g_batch) {  // a worker held by the question must not wait for good
        g_batch->hold.store(false, std::memory_order_release);
        g_batch->hold.notify_all();
    }
    g_batch.reset();
    g_batchApplied = 0;
    g_countLater = false;  // the window's timers went with it
    g_stopAsked = false;
    g_lastBatch.clear();
    g_lastWithin = false;
    g_undoRows.clear();
    g_createdFolder.clear();
}

void OnProgress(size_t lastRow)
{
    if (!g_batch) return;
    ApplyOutcomes(lastRow + 1);
    ShowTaskbarProgress(g_batchApplied, g_batch->outcomes.size(), g_batchFailed);
    // The status bar paints itself at once on every new text; a text that the next queued
    // progress message replaces straight away, or that comes within a frame of the last one
    // while the worker runs on, is only remembered, not painted.
    const std::wstring text = ProgressText(static_cast<int>(lastRow), g_batch->outcomes.size());
    const ULONGLONG now = GetTickCount64();
    const bool workerRuns = !g_batch->ended.load(std::memory_order_acquire);
    MSG next;
    if ((workerRuns && now - g_countPaintedAt < kCountFrameMs) ||
        PeekMessageW(&next, g_app.mainWindow, WM_APP_PROGRESS, WM_APP_PROGRESS, PM_NOREMOVE)) {
        g_app.statusBarText = text;
        // Painted at the end of the frame if no newer count paints first (a long copy may follow).
        if (!g_countLater && g_app.mainWindow) {
            const ULONGLONG since = now - g_countPaintedAt;
            const UINT wait = since < kCountFrameMs ? static_cast<UINT>(kCountFrameMs - since) : 1;
            g_countLater = SetTimer(g_app.mainWindow, kCountTimer, wait, PaintRememberedCount) != 0;
        }
    } else {
        StopCountTimer();
        SetStatusText(text);
        g_countPaintedAt = now;
    }
}

void OnFinished()
{
    if (!g_batch || !g_batch->ended.load(std::memory_order_acquire)) return;
    if (g_stopAsked) {  // the question asks about nothing now; the batch ends once it is closed
        EndOwnedDialog(g_app.mainWindow, IDNO);
        return;
    }
    StopCountTimer();
    ApplyOutcomes(g_batch->outcomes.size());
    // The job, with every row's outcome, is complete here; the window lets go of it.
    const std::shared_ptr<ProcessJob> job = std::move(g_batch);
    g_app.busy = false;
    EndTaskbarProgress();
    DropFolderSnapshots();  // the batch changed the folders
    if (job->undo.empty()) {
        EndBatch(*job);
    } else {
        EndUndo(*job);
    }
    if (job->ordered) job->ordered->lock.Release();  // on the thread that took it
    FocusAfterBatch(g_focusBefore);
}
