// Placeholder bodies until the themes land.
#include "app/theme.h"

void CreateUiFont() {}
void ApplyTheme() {}
void ApplyControlTheme(HWND) {}
void ApplyListViewColors(HWND) {}
LRESULT OnControlColor(UINT, HDC, HWND) { return 0; }
