#pragma once
// Values between the main window's controls and the settings; enabling; the live preview.
#include <windows.h>

#include <string>

void ReadControlsIntoSettings();
void WriteSettingsToControls();
void UpdateControlStates();
// File > Undo Last Batch and Remove From List: gray when they have nothing to do.
void UpdateFileMenu();
void RefreshPreview();
// True while the program itself writes the controls (their notifications are its own).
bool UpdatingControls();
void UpdateStatusCounts();

// A directory edit's text: trimmed, and without one pair of double quotes around it.
std::wstring ReadFolderEdit(HWND edit);
// The counts line of the status bar, e.g. "Files: 6  |  Ready: 3  |  Unchanged: 1  |  Conflicts: 2".
std::wstring StatusCountsText(size_t total, int ready, int unchanged, int conflicts);
// A number edit's text: wcstol base 10; `fallback` when no digit was read.
int ParseNumberText(const std::wstring& text, int fallback);
