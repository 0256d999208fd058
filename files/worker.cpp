// The worker thread and its file operations; it never touches the window or the file list.
#include "files/worker.h"

#include <process.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <memory>

#include "engine/path.h"
#include "engine/wide_char.h"

namespace {

PostMessageFn g_post = PostMessageW;

constexpr wchar_t kLockedPrefix[] = L"Locked or in use \u2014 skipped. ";

bool IsLockError(DWORD code)
{
    return code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION;
}

CopyStepHook g_copyHook = nullptr;

// Removes a file this batch made (a partial copy, or a copy whose source stayed): a copy of a
// read-only file is read-only too, which a plain DeleteFileW refuses.
void RemoveMadeFile(const wchar_t* path)
{
    if (DeleteFileW(path)) return;
    HANDLE file = OpenToDispose(path);
    if (file == INVALID_HANDLE_VALUE) return;
    BY_HANDLE_FILE_INFORMATION info;
    DWORD error = ERROR_SUCCESS;
    if (GetFileInformationByHandle(file, &info)) DisposeOfOpenFile(file, path, info.dwFileAttributes, error);
    CloseHandle(file);
}

// A name in the target folder that no finished file has: a copy lives there until it is whole.
std::wstring PartialName(const wchar_t* destination, unsigned attempt)
{
    static LONG counter = 0;
    std::wstring folder(destination);
    folder.resize(folder.find_last_of(L'\\') + 1);
    wchar_t name[64];
    swprintf(name, 64, L"~%lx-%lx-%u.partial", GetCurrentProcessId(), InterlockedIncrement(&counter), attempt);
    return folder + name;
}

// Copies into a partial file, then gives it the final name (never replacing one), so a
// batch stopped half-way never leaves a cut-off file under a finished name. Whatever fails,
// the partial file goes again.
bool CopyComplete(const wchar_t* source, const wchar_t* destination, DWORD& error)
{
    if (GetFileAttributesW(destination) != INVALID_FILE_ATTRIBUTES) {  // taken: spare the copy
        error = ERROR_FILE_EXISTS;
        return false;
    }
    std::wstring partial;
    for (unsigned attempt = 0;; ++attempt) {
        partial = PartialName(destination, attempt);
        if (CopyFileW(source, partial.c_str(), TRUE)) break;
        error = GetLastError();
        const bool taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
        if (!taken) RemoveMadeFile(partial.c_str());  // in case the copy failed after creating it
        if (!taken || attempt == 8) return false;
    }
    if (g_copyHook) g_copyHook(partial, destination);
    if (MoveFileW(partial.c_str(), destination)) return true;
    error = GetLastError();
    // A plain copy onto a taken name says "file exists"; keep that text.
    if (error == ERROR_ALREADY_EXISTS) error = ERROR_FILE_EXISTS;
    RemoveMadeFile(partial.c_str());
    return false;
}

// Copy, then delete the source; if the source stays, the copy is removed again so the file
// is never left in two places.
bool CopyThenDelete(const wchar_t* source, const wchar_t* destination, DWORD& error)
{
    if (!CopyComplete(source, destination, error)) return false;
    if (DeleteFileW(source)) return true;
    // Keep the reason the source stayed: the rollback's own success may reset last-error.
    error = GetLastError();
    RemoveMadeFile(destination);
    return false;
}

// One row's file operation; on failure `error` is the code of the call that decided it.
bool RunFileOperation(const wchar_t* source, const wchar_t* destination, ProcessMode mode, DWORD& error)
{
    switch (mode) {
    case ProcessMode::CopyAndRename: return CopyComplete(source, destination, error);  // never overwrites
    case ProcessMode::MoveAndRename:
        if (MoveFileW(source, destination)) return true;
        return CopyThenDelete(source, destination, error);  // e.g. another volume
    default:
        if (MoveFileW(source, destination)) return true;  // never replaces an existing file
        break;
    }
    error = GetLastError();
    return false;
}

void SetText(ProgressRecord& record, const std::wstring& text)
{
    record.text.assign(text, 0, 255);
}

}  // namespace

HANDLE OpenToDispose(const std::wstring& path)
{
    return CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

bool DisposeOfOpenFile(HANDLE file, const std::wstring& path, DWORD attributes, DWORD& error)
{
    // By path: changing attributes is no data access, so the open without sharing allows it.
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    const DWORD lifted = attributes & ~FILE_ATTRIBUTE_READONLY;
    if (readOnly && !SetFileAttributesW(path.c_str(), lifted ? lifted : FILE_ATTRIBUTE_NORMAL)) {
        error = GetLastError();
        return false;
    }
    FILE_DISPOSITION_INFO dispose = {TRUE};
    if (SetFileInformationByHandle(file, FileDispositionInfo, &dispose, sizeof dispose)) return true;
    error = GetLastError();
    if (readOnly) SetFileAttributesW(path.c_str(), attributes);
    return false;
}

CopyStepHook SetCopyStepHook(CopyStepHook hook)
{
    const CopyStepHook previous = g_copyHook;
    g_copyHook = hook;
    return previous;
}

PostMessageFn SetWorkerPostFunction(PostMessageFn post)
{
    PostMessageFn previous = g_post;
    g_post = post ? post : PostMessageW;
    return previous;
}

bool PostToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A full message queue refuses posts; a lost progress post loses a row's result and a lost
    // finish leaves the window busy for good, so wait for room as long as the window lives.
    while (!g_post(window, message, wParam, lParam)) {
        if (!IsWindow(window)) return false;
        Sleep(5);
    }
    return true;
}

std::wstring DescribeError(DWORD code)
{
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = (length && buffer) ? std::wstring(buffer, length) : std::wstring(L"Unknown error");
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
    return IsLockError(code) ? kLockedPrefix + text : text;
}

std::wstring DescribeLastError()
{
    return DescribeError(GetLastError());
}

bool ProcessOneFile(const FileEntry& row, ProcessMode mode, std::wstring& errorText)
{
    errorText.clear();
    DWORD error = ERROR_SUCCESS;
    // The exact names: a plain path loses a trailing dot or space and may name a device.
    const std::wstring source = ExtendedFilePath(row.sourcePath);
    const std::wstring target = ExtendedFilePath(row.targetPath);
    if (source.empty() || target.empty()) {
        errorText = DescribeError(ERROR_INVALID_NAME);
        return false;
    }
    if (RunFileOperation(source.c_str(), target.c_str(), mode, error)) return true;
    errorText = DescribeError(error);
    return false;
}

ProgressRecord ProcessRow(const FileEntry& row, int index, ProcessMode mode)
{
    ProgressRecord record;
    record.index = index;
    switch (row.status) {
    case ItemStatus::Unchanged:
        record.succeeded = true;
        record.status = ItemStatus::Skipped;
        record.text = L"Unchanged";
        break;
    case ItemStatus::Ready: {
        std::wstring error;
        record.succeeded = ProcessOneFile(row, mode, error);
        record.status = record.succeeded ? ItemStatus::Done : ItemStatus::Failed;
        SetText(record, record.succeeded ? std::wstring(L"Done") : error);
        // What an undo checks before it deletes the copy.
        if (record.succeeded && mode == ProcessMode::CopyAndRename) ReadFileStamp(row.targetPath, record.copy);
        break;
    }
    default:  // conflicts keep their status and text; nothing is touched
        record.status = row.status;
        SetText(record, row.statusText);
        break;
    }
    return record;
}

namespace {

// Undone reads Done; a changed copy Skipped; a failed call the system's reason.
ProgressRecord UndoOutcome(const UndoRecord& record, int index)
{
    ProgressRecord outcome;
    outcome.index = index;
    std::wstring error;
    switch (UndoOneFile(record, error)) {
    case UndoResult::Undone:
        outcome.succeeded = true;
        outcome.status = ItemStatus::Done;
        outcome.text = L"Done";
        break;
    case UndoResult::CopyChanged: outcome.status = ItemStatus::Skipped; break;
    default: SetText(outcome, error); break;
    }
    return outcome;
}

}  // namespace

size_t JobLength(const ProcessJob& job)
{
    return job.undo.empty() ? job.rows.size() : job.undo.size();
}

namespace {

// Rows that take no time are reported together, at most one message a frame: a message per row
// costs the window more than renaming the file costs the worker.
constexpr ULONGLONG kProgressFrameMs = 100;

// The drive ("C:") or share ("\\server\share") a full path lies on, upper-cased.
std::wstring RootOf(const std::wstring& path)
{
    size_t end = 2;
    if (path.size() > 2 && (path[0] == L'\\' || path[0] == L'/') && (path[1] == L'\\' || path[1] == L'/')) {
        end = path.find_first_of(L"\\/", 2);
        end = end == std::wstring::npos ? path.size() : path.find_first_of(L"\\/", end + 1);
    }
    std::wstring root = path.substr(0, std::min(end, path.size()));
    for (wchar_t& c : root) c = UpperUnit(c);
    return root;
}

// A move within one drive or share is a rename; between them it is a copy.
bool MoveMayCopy(const std::wstring& source, const std::wstring& target)
{
    return RootOf(source) != RootOf(target);
}

// Whether the file operation of outcome i may take long (a copy, or a move that may become one):
// results are never left unreported while such a file is in hand.
bool MayTakeLong(const ProcessJob& job, size_t i)
{
    if (!job.undo.empty()) {
        const UndoRecord& record = job.undo[i];
        return record.mode == ProcessMode::MoveAndRename && MoveMayCopy(record.target, record.source);
    }
    const FileEntry& row = job.rows[i];
    if (row.status != ItemStatus::Ready) return false;
    return job.mode == ProcessMode::CopyAndRename ||
           (job.mode == ProcessMode::MoveAndRename && MoveMayCopy(row.sourcePath, row.targetPath));
}

// The outcome of item i of an ordered job: its unit moved (error ERROR_SUCCESS) or not.
ProgressRecord OrderedOutcome(size_t i, DWORD error)
{
    ProgressRecord outcome;
    outcome.index = static_cast<int>(i);
    outcome.succeeded = error == ERROR_SUCCESS;
    outcome.status = outcome.succeeded ? ItemStatus::Done : ItemStatus::Failed;
    SetText(outcome, outcome.succeeded ? std::wstring(L"Done") : DescribeError(error));
    return outcome;
}

// While the stop question is open the worker starts nothing new. The question shows every row
// done (`done` rows, the last ones perhaps not yet reported) before the worker waits for its answer.
void WaitWhileHeld(ProcessJob& job, size_t done, bool& unreported, const JobReport& report)
{
    if (!job.hold.load(std::memory_order_acquire)) return;
    if (unreported && done > 0) report(done - 1);
    unreported = false;
    job.hold.wait(true, std::memory_order_acquire);
}

// Publishes that `end` rows are done, and reports them at most once per progress frame: at once
// for the last row, after a stop, or when `soon` (the next file may take long).
struct ProgressPublisher {
    ULONGLONG reportedAt = 0;
    bool unreported = false;  // rows done since the last report

    void Publish(ProcessJob& job, size_t end, bool soon, const JobReport& report)
    {
        job.completed.store(end, std::memory_order_release);  // before the report: a late handler loses nothing
        const ULONGLONG now = GetTickCount64();
        unreported = !(end == JobLength(job) || job.stop.load(std::memory_order_acquire) || soon ||
                       now - reportedAt >= kProgressFrameMs);
        if (!unreported) {
            report(end - 1);
            reportedAt = now;
        }
    }
};

// Renames within the batch: unit by unit, a stop honoured only between units (no file is left
// under a temporary name); then the rows that do not move, as any batch reports them.
void RunOrderedJob(ProcessJob& job, const JobReport& report)
{
    OrderedMoves& moves = *job.ordered;
    ProgressPublisher progress;
    for (const MoveUnit& unit : moves.units) {
        WaitWhileHeld(job, unit.first, progress.unreported, report);
        if (job.stop.load(std::memory_order_acquire)) break;
        const size_t strandedBefore = moves.stranded.size();
        const DWORD error = RunMoveUnit(moves, unit);
        for (size_t i = unit.first; i < unit.first + unit.count; ++i) job.outcomes[i] = OrderedOutcome(i, error);
        for (size_t s = strandedBefore; s < moves.stranded.size(); ++s) {
            const StrandedFile& file = moves.stranded[s];
            ProgressRecord& outcome = job.outcomes[file.item];
            SetText(outcome, L"Could not be put back, now " + file.path + L": " + outcome.text);  // the path first
        }
        progress.Publish(job, unit.first + unit.count, false, report);
    }
    moves.journal.Close();  // the end of the batch replaces it with the record of what was done
    for (size_t i = moves.items.size(); i < job.rows.size(); ++i) {
        WaitWhileHeld(job, i, progress.unreported, report);
        if (job.stop.load(std::memory_order_acquire)) break;
        job.outcomes[i] = ProcessRow(job.rows[i], static_cast<int>(i), job.mode);
        progress.Publish(job, i + 1, false, report);
    }
}

}  // namespace

void RunProcessJob(ProcessJob& job, const JobReport& report)
{
    if (job.ordered) {
        RunOrderedJob(job, report);
        return;
    }
    ProgressPublisher progress;
    // A stop or a hold is honoured between files: the file in hand is always finished.
    for (size_t i = 0; i < JobLength(job) && i < job.outcomes.size(); ++i) {
        WaitWhileHeld(job, i, progress.unreported, report);
        if (job.stop.load(std::memory_order_acquire)) break;
        const int index = static_cast<int>(i);
        job.outcomes[i] = job.undo.empty() ? ProcessRow(job.rows[i], index, job.mode) : UndoOutcome(job.undo[i], index);
        progress.Publish(job, i + 1, i + 1 < JobLength(job) && MayTakeLong(job, i + 1), report);
    }
}

unsigned __stdcall WorkerMain(void* parameter)
{
    const std::unique_ptr<std::shared_ptr<ProcessJob>> holder(static_cast<std::shared_ptr<ProcessJob>*>(parameter));
    ProcessJob& job = **holder;
    RunProcessJob(job, [&job](size_t lastRow) { PostToWindow(job.window, WM_APP_PROGRESS, lastRow, 0); });
    job.ended.store(true, std::memory_order_release);
    PostToWindow(job.window, WM_APP_FINISHED, 0, 0);
    return 0;
}

HANDLE StartWorkerThread(const std::shared_ptr<ProcessJob>& job)
{
    job->outcomes.resize(JobLength(*job));
    auto* holder = new std::shared_ptr<ProcessJob>(job);
    const uintptr_t thread = _beginthreadex(nullptr, 0, WorkerMain, holder, 0, nullptr);
    if (!thread) delete holder;
    return reinterpret_cast<HANDLE>(thread);
}

const wchar_t* ModePromptWord(ProcessMode mode)
{
    switch (mode) {
    case ProcessMode::CopyAndRename: return L"copy and rename";
    case ProcessMode::MoveAndRename: return L"move and rename";
    default: return L"rename";
    }
}

std::wstring ConfirmationText(int ready, int conflicts, ProcessMode mode)
{
    wchar_t buffer[256];
    if (conflicts > 0) {
        swprintf(buffer, 256, L"%d file(s) have conflicts and will be skipped. Continue with %d ready file(s)?",
                 conflicts, ready);
    } else {
        swprintf(buffer, 256, L"Process %d file(s) (%ls)?", ready, ModePromptWord(mode));
    }
    return buffer;
}

std::wstring ProgressText(int index, size_t total)
{
    wchar_t buffer[128];
    swprintf(buffer, 128, L"Processing %d / %zu ...", index + 1, total);
    return buffer;
}

std::wstring FinishedText(int done, int skipped, int failed, size_t total)
{
    wchar_t buffer[256];
    swprintf(buffer, 256, L"Finished. Renamed/copied: %d  |  Skipped: %d  |  Errors: %d  |  Total: %zu", done, skipped,
             failed, total);
    return buffer;
}

std::wstring StoppedText(int done, int skipped, int failed, int notProcessed, size_t total)
{
    wchar_t buffer[256];
    swprintf(buffer, 256,
             L"Stopped. Renamed/copied: %d  |  Skipped: %d  |  Errors: %d  |  Not processed: %d  |  Total: %zu", done,
             skipped, failed, notProcessed, total);
    return buffer;
}
