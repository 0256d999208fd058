#pragma once
// Values between the main window's controls and the settings; enabling; the live preview.
#include <windows.h>

#include <string>

void ReadControlsIntoSettings();
void WriteSettingsToControls();
void UpdateControlStates();
// File > Undo Last Batch and Remove From List gray when they have nothing to do; Stop Batch is
// only for a batch, Load Rules and Save Rules As not during one.
void UpdateFileMenu();
void RefreshPreview();
// True while the program itself writes the controls (their notifications are its own).
bool UpdatingControls();
void UpdateStatusCounts();

// A directory edit's text: trimmed, and without one pair of double quotes around it.
std::wstring ReadFolderEdit(HWND edit);
// A number edit's text: wcstol base 10; `fallback` when no digit was read.
int ParseNumberText(const std::wstring& text, int fallback);
