#pragma once
// The UI font and the dark and light themes.
#include <windows.h>

void CreateUiFont();
void ApplyTheme();
void ApplyControlTheme(HWND control);
void ApplyListViewColors(HWND list);
// WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN and WM_CTLCOLORSTATIC of the main window.
LRESULT OnControlColor(UINT message, HDC dc, HWND control);
