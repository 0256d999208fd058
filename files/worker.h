#pragma once
// Processing a planned batch on a worker thread.
#include <windows.h>

#include <string>

#include "engine/planner.h"

constexpr UINT WM_APP_PROGRESS = WM_APP + 1;
constexpr UINT WM_APP_FINISHED = WM_APP + 2;

struct ProgressRecord {
    int index = 0;
    bool succeeded = false;
    ItemStatus status = ItemStatus::Failed;
    wchar_t text[256] = {};
};

// Everything the worker reads: a private copy of the rows, the one mode of the batch, and the
// window that receives the progress. Owned by the worker once its thread has started.
struct ProcessJob {
    FileList rows;
    ProcessMode mode = ProcessMode::RenameInPlace;
    HWND window = nullptr;
};

void StartProcessing();
void OnProgress(ProgressRecord* record);  // takes ownership
void OnFinished();

// The worker's side, usable without the main window.
unsigned __stdcall WorkerMain(void* job);  // takes ownership of a heap ProcessJob
bool ProcessOneFile(const FileEntry& row, ProcessMode mode, std::wstring& errorText);
std::wstring DescribeLastError();
std::wstring DescribeError(DWORD code);
// The result of one row of the job, as it is posted to the window.
ProgressRecord* ProcessRow(const FileEntry& row, int index, ProcessMode mode);

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
