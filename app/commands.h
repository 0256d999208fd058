#pragma once
// Menu and control commands of the main window.
#include <windows.h>

#include <string>

#include "resources/resource.h"

void HandleCommand(int id, int code, HWND control);
void UpdateMenuChecks();
// The shell's folder picker; true with the chosen path when the user picked a folder.
bool BrowseForFolder(std::wstring& path);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
