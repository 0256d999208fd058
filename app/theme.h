#pragma once
// The UI font and the dark and light themes.
#include <windows.h>

#include <vector>

void CreateUiFont();
void ApplyTheme();
void ApplyControlTheme(HWND control);
void ApplyListViewColors(HWND list);
// WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN and WM_CTLCOLORSTATIC of the main window.
LRESULT OnControlColor(UINT message, HDC dc, HWND control);

// The colours of one theme. The light theme follows the system colours, read when asked.
struct ThemeColors {
    COLORREF windowBackground;  // main window, static texts, check boxes, radio buttons
    COLORREF editBackground;    // edits and list boxes
    COLORREF controlText;
    COLORREF listBackground;
    COLORREF listText;
    COLORREF statusBarBackground;
    COLORREF captionColor;  // title bar, builds 22000 and later
    COLORREF captionText;
    COLORREF selectedRowBackground;
    // Row texts by status; other statuses use listText.
    COLORREF unchangedText;
    COLORREF conflictText;  // duplicate, invalid name, failed
    COLORREF existsText;    // the target exists
    COLORREF doneText;
    COLORREF accent;  // a hot or dragged splitter, the drag ghost's frame, the drop marker
    COLORREF splitterBackground;
    COLORREF splitterHotBackground;
    COLORREF splitterLine;
    COLORREF splitterGrip;
    COLORREF ghostBackground;
    COLORREF disabledText;  // labels of disabled check boxes and radio buttons
};
ThemeColors GetThemeColors(bool dark);

// Extended styles of both list views: grid lines only in the light theme.
DWORD ListViewExtendedStyle(bool dark);

// lfHeight of the UI font; a setting that is not positive counts as 9 pt.
int UiFontHeight(int points, int dpi);
// "Segoe UI Variable Text" when installed, otherwise "Segoe UI".
const wchar_t* DetectUiFontFace();
bool IsFontFamilyInstalled(const wchar_t* face);

// First build whose window manager takes caption colours, corners and backdrops.
constexpr DWORD kFirstCaptionColorBuild = 22000;

// One window-manager attribute of the frame and the 4-byte value it is given.
struct FrameAttribute {
    DWORD attribute;
    DWORD value;
};
// The frame's attributes in the order they are set: dark mode (20, then 19 for early Windows 10),
// and from build 22000 on the corners, backdrop, caption and text colours and the default border.
std::vector<FrameAttribute> FrameAttributes(bool dark, unsigned long build);
