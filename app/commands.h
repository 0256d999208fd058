#pragma once
// Menu and control commands of the main window.
#include <windows.h>
#include <shellapi.h>
#include <shobjidl.h>

#include <string>

#include "resources/resource.h"

void HandleCommand(int id, int code, HWND control);
void UpdateMenuChecks();
// The shell's folder picker, opened at `path` when that folder exists; true with the chosen
// path when the user picked a folder.
bool BrowseForFolder(std::wstring& path);
// Shows a file dialog over the main window with these options added; true with the chosen
// file-system path.
bool RunFileDialog(IFileDialog* dialog, FILEOPENDIALOGOPTIONS add, std::wstring& path);
// A file dialog starts in `folder` when that folder exists.
void OpenAtFolder(IFileDialog* dialog, const std::wstring& folder);
// A folder stands for itself, a file for its folder (a path that does not exist is kept as it is).
std::wstring FolderOfPath(const std::wstring& path);
// WM_DROPFILES: the first item dropped (a folder, or a file's folder) becomes the input
// directory, as after Browse; ignored during a batch. Releases the drop either way.
void OnDropFiles(HDROP drop);
// WM_COPYDATA from a second start: dwData kOpenFolderCopyData and a null-terminated UTF-16
// folder (or file) path, taken as a dropped one. Refused (false) when malformed or during a
// batch. A path that does not exist leaves the folder and the list as they are and says so on
// the status bar. While a box or dialog is open over the window the latest path is kept and
// opened once the window is enabled again, unless a batch started meanwhile.
constexpr ULONG_PTR kOpenFolderCopyData = 0x4F504631;  // "OPF1"
constexpr size_t kMaxHandedOverPath = 32768;           // units, the terminator included
bool OnOpenFolderMessage(const COPYDATASTRUCT* data);
// WM_ENABLE: the box or dialog over the window closed; a kept path is opened once the code that
// showed it has run (a batch it started drops the path), or when the next box closes.
void OnWindowEnabled();
void OpenHandedOverFolder();
// A batch or an undo starts: a folder still waiting is dropped.
void ForgetHandedOverFolder();
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
