#pragma once
// Progress on the taskbar button (ITaskbarList3), as the shell's own file copy shows it: rows
// done of rows while a batch or an undo runs, the error state once a row failed, nothing
// otherwise. The interface is made once the button exists; where it is missing, nothing shows.
#include <windows.h>
#include <shobjidl.h>

#include <cstddef>

// Registers the shell's "TaskbarButtonCreated" message for `window` (also letting it through
// to an elevated window); the message's number, which MainWindowProc compares against.
UINT WatchForTaskbarButton(HWND window);
UINT TaskbarButtonCreatedMessage();
// The button exists: the interface is made, once.
void OnTaskbarButtonCreated(HWND window);
void ShowTaskbarProgress(size_t done, size_t total, bool failed);
void EndTaskbarProgress();
void ReleaseTaskbar();  // the window is going

// Where the interface comes from (the system's CLSID_TaskbarList unless a test hands in its own
// object); null for "none". Returns the previous factory.
using TaskbarFactory = ITaskbarList3* (*)();
TaskbarFactory SetTaskbarFactory(TaskbarFactory factory);
