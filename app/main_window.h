#pragma once
// The main window: its classes, its window procedure and the saving of the live state.
#include <windows.h>

#include <string>

extern const wchar_t kMainClassName[];    // "OrvanePallistoWnd"
extern const wchar_t kMainWindowTitle[];  // "Orvane Pallisto"

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the main class and the row-drag overlay class. False when the main class fails.
bool RegisterWindowClasses(HINSTANCE instance);
// Creates the main window (not shown) with the size of the loaded settings; null on failure.
// WM_CREATE builds every control, so tests can drive the real window in-process.
HWND CreateMainWindow(HINSTANCE instance);
// Destroys the main window without the close-time save (tests).
void DestroyMainWindowForTest();

// After a batch or an undo: the focus goes back to `before` when it is enabled again, otherwise
// to the new-names list (when the window is not active, it goes there on activation).
void FocusAfterBatch(HWND before);

// Saving moments. force=false writes only with auto-save on and once the window is ready.
void SaveSettings(bool force);
// Shows the new main window where it was last placed, or with the start-up show command.
void RestoreWindowPlacement(HWND window, int showCommand);
void ResetSettings();
void ApplyNamingPreset(int commandId);  // 40011 .. 40014
// Common tail of the theme, font-size and reset commands: layout, minimum size, redraw, save.
void ApplyAppearanceChange();

// Where the settings are read and written: beside the exe unless a test points it elsewhere.
std::wstring ActiveSettingsPath();
void SetSettingsPathForTest(const std::wstring& path);  // empty: back to beside the exe
