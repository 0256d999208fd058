#pragma once
// Menu and control commands of the main window.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "resources/resource.h"

void HandleCommand(int id, int code, HWND control);
void UpdateMenuChecks();
// The shell's folder picker, opened at `path` when that folder exists; true with the chosen
// path when the user picked a folder.
bool BrowseForFolder(std::wstring& path);
// WM_DROPFILES: the first item dropped (a folder, or a file's folder) becomes the input
// directory, as after Browse; ignored during a batch. Releases the drop either way.
void OnDropFiles(HDROP drop);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
