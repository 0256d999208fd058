#pragma once
// Processing a planned batch on a worker thread.
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/planner.h"
#include "files/batch_moves.h"
#include "files/undo.h"

constexpr UINT WM_APP_PROGRESS = WM_APP + 1;
constexpr UINT WM_APP_FINISHED = WM_APP + 2;

// What one row of a batch (or one file of an undo) ended with. The job keeps one per row, in
// row order; the window applies them as the progress messages say they are written.
struct ProgressRecord {
    int index = 0;
    bool succeeded = false;
    ItemStatus status = ItemStatus::Failed;
    std::wstring text;  // at most 255 units
    FileStamp copy;     // a Done copy as the worker left it
};

// One batch, shared by the main thread and the worker (each holds a std::shared_ptr, so it
// lives until both are done with it). The worker reads the rows, the mode and the window, and
// writes outcome i before it publishes `completed` = i + 1 and posts (a progress message says
// "rows up to i are done"; quick rows share one a frame); the main thread reads only
// outcomes below `completed`. Once `ended` is set no outcome changes any more; a job stopped on
// the way (`stop`, set by the main thread) ends with `completed` below its length. While `hold`
// is set (the stop question is open) the worker finishes the file in hand, reports it, and
// starts no other until the main thread clears it and notifies.
// An undo is a job with `undo` filled (in the order to undo) and no rows: outcome i is record i's.
struct ProcessJob {
    FileList rows;
    UndoList undo;
    ProcessMode mode = ProcessMode::RenameInPlace;
    HWND window = nullptr;
    std::vector<ProgressRecord> outcomes;  // sized to the rows before the worker starts
    std::atomic<size_t> completed{0};
    std::atomic<bool> ended{false};
    std::atomic<bool> stop{false};  // end after the file in hand
    std::atomic<bool> hold{false};  // start no further file (std::atomic wait/notify)
    // Renames within the batch: the moves in the order they run (the rows, or the undo records,
    // are already in that order, the moving ones first) with their journal; a stop waits for the
    // end of a unit. For a batch, listRow[i] is the row of the list that row i came from.
    std::shared_ptr<OrderedMoves> ordered;
    std::vector<size_t> listRow;
};

// The number of outcomes the job produces.
size_t JobLength(const ProcessJob& job);
// Starts the worker on `job`; the thread handle (the caller closes it), or null on failure.
HANDLE StartWorkerThread(const std::shared_ptr<ProcessJob>& job);

// The worker's side, usable without the main window.
unsigned __stdcall WorkerMain(void* job);  // takes ownership of a heap std::shared_ptr<ProcessJob>
// The worker's loop on the calling thread, over outcomes already sized to the job: `report(i)`
// says that rows up to i are done (quick rows share one report a frame; a long file is never
// started with results unreported). Ends after the last row, or after the file in hand once
// `stop` is set; `ended` is the caller's to set.
using JobReport = std::function<void(size_t lastRow)>;
void RunProcessJob(ProcessJob& job, const JobReport& report);
bool ProcessOneFile(const FileEntry& row, ProcessMode mode, std::wstring& errorText);
std::wstring DescribeLastError();
std::wstring DescribeError(DWORD code);
// Opens a file this program made to delete it: DELETE without sharing, so nobody writes,
// renames or replaces it while it is held. No FILE_WRITE_ATTRIBUTES: Wine refuses that on a
// read-only file to a user who is not root.
HANDLE OpenToDispose(const std::wstring& path);
// Marks the file `file` holds (opened by OpenToDispose at `path`) for deletion, lifting its
// read-only attribute first by path (the held handle keeps the path naming that file) and
// putting it back if the deletion is still refused.
bool DisposeOfOpenFile(HANDLE file, const std::wstring& path, DWORD attributes, DWORD& error);
// The result of one row of the job.
ProgressRecord ProcessRow(const FileEntry& row, int index, ProcessMode mode);

// Called between the copy into a partial file and its rename to the final name, so that a test
// can look at the folder in that moment (or take the final name first).
using CopyStepHook = void (*)(const std::wstring& partialPath, const std::wstring& finalPath);
CopyStepHook SetCopyStepHook(CopyStepHook hook);  // returns the previous hook

// How the worker posts to the window; replaceable so that a failing post can be tested.
using PostMessageFn = BOOL(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
PostMessageFn SetWorkerPostFunction(PostMessageFn post);  // returns the previous function
// Posts, retrying after a short sleep while the post fails and the window still exists.
bool PostToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Texts of the processing flow.
const wchar_t* ModePromptWord(ProcessMode mode);
std::wstring ConfirmationText(int ready, int conflicts, ProcessMode mode);
std::wstring ProgressText(int index, size_t total);
std::wstring FinishedText(int done, int skipped, int failed, size_t total);
std::wstring StoppedText(int done, int skipped, int failed, int notProcessed, size_t total);
