// The UI font and the dark and light themes: brushes, window frame, visual styles, colours.
#include "app/theme.h"

#include <commctrl.h>
#include <dwmapi.h>
#include <uxtheme.h>

#include <cwchar>

#include "app/app_state.h"
#include "app/startup.h"
#include "app/theme_hooks.h"
#include "app/win_util.h"

// Start-up fills these in when the system has them; null means "skip the call".
SetAppThemeModeFn SetAppThemeMode = nullptr;
AllowAppDarkThemeFn AllowAppDarkTheme = nullptr;
AllowWindowDarkThemeFn AllowWindowDarkTheme = nullptr;
RefreshThemeColorPolicyFn RefreshThemeColorPolicy = nullptr;
RefreshMenuThemeFn RefreshMenuTheme = nullptr;

namespace {

// Window-manager attribute numbers; older SDK headers lack some of them.
constexpr DWORD kDwmImmersiveDarkMode = 20;
constexpr DWORD kDwmImmersiveDarkModeOld = 19;  // the same attribute on early Windows 10 builds
constexpr DWORD kDwmCornerPreference = 33;
constexpr DWORD kDwmBorderColor = 34;
constexpr DWORD kDwmCaptionColor = 35;
constexpr DWORD kDwmTextColor = 36;
constexpr DWORD kDwmSystemBackdropType = 38;
constexpr DWORD kCornerRound = 2;
constexpr DWORD kBackdropMainWindow = 2;
constexpr DWORD kDwmColorDefault = 0xFFFFFFFE;

constexpr COLORREF kDarkBackground = RGB(32, 32, 32);
constexpr COLORREF kDarkEdit = RGB(45, 45, 45);
constexpr COLORREF kWhite = RGB(255, 255, 255);

constexpr wchar_t kVariableFace[] = L"Segoe UI Variable Text";
constexpr wchar_t kFallbackFace[] = L"Segoe UI";

int CALLBACK StopAtFirstFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

constexpr UINT_PTR kSubclassChoiceButton = 4;

bool IsChoiceButton(HWND control)
{
    const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON;
}

// A disabled check box or radio button in the dark theme: the system would emboss its label in
// white, so the box and the label are drawn here, the label in the theme's disabled colour.
void PaintDisabledChoice(HWND button)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(button, &paint);
    RECT client{};
    GetClientRect(button, &client);
    FillRect(dc, &client, g_app.backgroundBrush ? g_app.backgroundBrush : GetSysColorBrush(COLOR_WINDOW));
    const int box = ScaleDp(13, g_app.dpi);
    const int top = (client.bottom - box) / 2;
    RECT glyph{0, top, box, top + box};
    const LONG type = GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
    UINT state =
        (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK) | DFCS_INACTIVE;
    if (SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED) state |= DFCS_CHECKED;
    DrawFrameControl(dc, &glyph, DFC_BUTTON, state);
    wchar_t text[256] = {};
    GetWindowTextW(button, text, 256);
    const SelectedObject font(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(button, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetThemeColors(true).disabledText);
    RECT label = client;
    label.left = box + ScaleDp(4, g_app.dpi);
    DrawTextW(dc, text, -1, &label, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    EndPaint(button, &paint);
}

LRESULT CALLBACK ChoiceButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    const bool ownPaint = g_app.settings.darkTheme && !IsWindowEnabled(button);
    switch (message) {
    case WM_PAINT:
        if (!ownPaint) break;
        PaintDisabledChoice(button);
        return 0;
    case WM_NCDESTROY: RemoveWindowSubclass(button, ChoiceButtonProc, id); break;
    case WM_ENABLE:
    case WM_SETTEXT:
    case BM_SETCHECK:
    case BM_SETSTATE: {
        // These paint straight away, bypassing WM_PAINT.
        const LRESULT result = DefSubclassProc(button, message, wParam, lParam);
        if (g_app.settings.darkTheme && !IsWindowEnabled(button)) InvalidateRect(button, nullptr, FALSE);
        return result;
    }
    }
    return DefSubclassProc(button, message, wParam, lParam);
}

constexpr UINT_PTR kSubclassLabel = 5;

// How far below its top an edit draws its text (border and formatting rectangle), or -1.
int EditTextTop(HWND edit, int height)
{
    RECT frame{}, format{};
    if (!edit || !GetWindowRect(edit, &frame) || frame.bottom - frame.top != height) return -1;
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    POINT top{0, format.top};
    ClientToScreen(edit, &top);
    return format.bottom > format.top ? top.y - frame.top : -1;
}

// A label draws its text where the edits of its height draw theirs, so a label and the text
// beside it read as one line; the colours are those the window gives every static.
void PaintLabel(HWND label)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(label, &paint);
    RECT client{};
    GetClientRect(label, &client);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(label), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label)));
    FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    wchar_t text[256] = {};
    GetWindowTextW(label, text, 256);
    const SelectedObject font(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    UINT format = DT_SINGLELINE | DT_LEFT;
    const int top = EditTextTop(g_app.searchEdit, client.bottom - client.top);
    if (top >= 0)
        client.top = top;
    else
        format |= DT_VCENTER;
    DrawTextW(dc, text, -1, &client, format);
    EndPaint(label, &paint);
}

LRESULT CALLBACK LabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    switch (message) {
    case WM_PAINT: PaintLabel(label); return 0;
    case WM_ERASEBKGND: return 1;  // the paint fills the background
    case WM_NCDESTROY: RemoveWindowSubclass(label, LabelProc, id); break;
    }
    return DefSubclassProc(label, message, wParam, lParam);
}

BOOL CALLBACK SendFontToChild(HWND child, LPARAM font)
{
    SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

BOOL CALLBACK ThemeChild(HWND child, LPARAM)
{
    ApplyControlTheme(child);
    return TRUE;
}

void SetDwmValue(HWND window, DWORD attribute, DWORD value)
{
    DwmSetWindowAttribute(window, attribute, &value, sizeof(value));  // best effort
}

void ApplyFrameAttributes(HWND window, bool dark)
{
    for (const FrameAttribute& a : FrameAttributes(dark, GetWindowsBuildNumber()))
        SetDwmValue(window, a.attribute, a.value);
}

void ApplyStatusBarTheme(const ThemeColors& colors)
{
    if (!g_app.statusBar) return;
    SendMessageW(g_app.statusBar, SB_SETBKCOLOR, 0, static_cast<LPARAM>(colors.statusBarBackground));
    SendMessageW(g_app.statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(g_app.statusBarText.c_str()));
}

bool ClassIs(const wchar_t* className, const wchar_t* expected)
{
    return CompareStringOrdinal(className, -1, expected, -1, TRUE) == CSTR_EQUAL;
}

HWND ListHeader(HWND list)
{
    return reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
}

}  // namespace

ThemeColors GetThemeColors(bool dark)
{
    ThemeColors c{};
    c.accent = GetSysColor(COLOR_HOTLIGHT);
    if (dark) {
        c.windowBackground = c.listBackground = c.statusBarBackground = c.captionColor = kDarkBackground;
        c.editBackground = kDarkEdit;
        c.controlText = c.listText = c.captionText = c.splitterGrip = kWhite;
        c.selectedRowBackground = RGB(52, 52, 52);
        c.unchangedText = RGB(180, 180, 180);
        c.conflictText = RGB(255, 170, 170);
        c.existsText = RGB(255, 210, 150);
        c.doneText = RGB(160, 220, 180);
        c.splitterBackground = RGB(37, 37, 37);
        c.splitterHotBackground = c.splitterLine = RGB(70, 70, 70);
        c.ghostBackground = RGB(48, 48, 48);
        c.disabledText = RGB(128, 128, 128);
        return c;
    }
    c.windowBackground = c.editBackground = c.listBackground = GetSysColor(COLOR_WINDOW);
    c.controlText = c.listText = c.splitterGrip = GetSysColor(COLOR_WINDOWTEXT);
    c.statusBarBackground = c.splitterBackground = GetSysColor(COLOR_BTNFACE);
    c.captionColor = RGB(243, 243, 243);
    c.captionText = RGB(0, 0, 0);
    c.selectedRowBackground = RGB(232, 232, 232);
    c.unchangedText = RGB(96, 96, 96);
    c.conflictText = RGB(176, 0, 32);
    c.existsText = RGB(176, 96, 0);
    c.doneText = RGB(16, 128, 48);
    c.splitterHotBackground = RGB(200, 200, 200);
    c.splitterLine = GetSysColor(COLOR_BTNSHADOW);
    c.ghostBackground = RGB(250, 250, 250);
    c.disabledText = GetSysColor(COLOR_GRAYTEXT);
    return c;
}

std::vector<FrameAttribute> FrameAttributes(bool dark, unsigned long build)
{
    const DWORD on = dark ? TRUE : FALSE;
    std::vector<FrameAttribute> attributes = {{kDwmImmersiveDarkMode, on}, {kDwmImmersiveDarkModeOld, on}};
    if (build < kFirstCaptionColorBuild) return attributes;  // earlier window managers reject the attributes below
    const ThemeColors colors = GetThemeColors(dark);
    attributes.insert(attributes.end(), {{kDwmCornerPreference, kCornerRound},
                                         {kDwmSystemBackdropType, kBackdropMainWindow},
                                         {kDwmCaptionColor, colors.captionColor},
                                         {kDwmTextColor, colors.captionText},
                                         {kDwmBorderColor, kDwmColorDefault}});
    return attributes;
}

DWORD ListViewExtendedStyle(bool dark)
{
    const DWORD always = LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP | LVS_EX_DOUBLEBUFFER;
    return dark ? always : always | LVS_EX_GRIDLINES;
}

int UiFontHeight(int points, int dpi)
{
    return -MulDiv(points > 0 ? points : 9, dpi, 72);
}

bool IsFontFamilyInstalled(const wchar_t* face)
{
    LOGFONTW probe{};
    probe.lfCharSet = DEFAULT_CHARSET;
    wcsncpy_s(probe.lfFaceName, LF_FACESIZE, face, _TRUNCATE);
    bool found = false;
    EnumFontFamiliesExW(WindowDc(nullptr), &probe, StopAtFirstFamily, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

const wchar_t* DetectUiFontFace()
{
    // Checked on every call, so a face installed while the program runs is used at the next change.
    return IsFontFamilyInstalled(kVariableFace) ? kVariableFace : kFallbackFace;
}

void CreateUiFont()
{
    DeleteGdiObject(g_app.uiFont);
    LOGFONTW font{};
    font.lfHeight = UiFontHeight(g_app.settings.fontPt, g_app.dpi);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    wcsncpy_s(font.lfFaceName, LF_FACESIZE, DetectUiFontFace(), _TRUNCATE);
    g_app.uiFont = CreateFontIndirectW(&font);

    if (!g_app.mainWindow) return;
    SendMessageW(g_app.mainWindow, WM_SETFONT, reinterpret_cast<WPARAM>(g_app.uiFont), TRUE);
    EnumChildWindows(g_app.mainWindow, SendFontToChild, reinterpret_cast<LPARAM>(g_app.uiFont));
}

void ApplyTheme()
{
    const bool dark = g_app.settings.darkTheme;
    const ThemeColors colors = GetThemeColors(dark);
    DeleteGdiObject(g_app.backgroundBrush);
    DeleteGdiObject(g_app.editBrush);
    g_app.backgroundBrush = CreateSolidBrush(colors.windowBackground);
    g_app.editBrush = CreateSolidBrush(colors.editBackground);
    ApplyProcessTheme(dark);  // the app-wide mode, as at start-up

    HWND window = g_app.mainWindow;
    if (!window) return;
    ApplyFrameAttributes(window, dark);
    if (AllowWindowDarkTheme) AllowWindowDarkTheme(window, dark);
    EnumChildWindows(window, ThemeChild, 0);
    ApplyStatusBarTheme(colors);
    ApplyListViewColors(g_app.listOriginal);
    ApplyListViewColors(g_app.listNew);
    InvalidateRect(window, nullptr, TRUE);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void ApplyControlTheme(HWND control)
{
    if (!control) return;
    const bool dark = g_app.settings.darkTheme;
    if (AllowWindowDarkTheme) AllowWindowDarkTheme(control, dark);
    wchar_t className[64] = {};
    GetClassNameW(control, className, 64);
    const bool isList = ClassIs(className, WC_LISTVIEWW);
    if (ClassIs(className, L"Button") && IsChoiceButton(control))
        SetWindowSubclass(control, ChoiceButtonProc, kSubclassChoiceButton, 0);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if (ClassIs(className, L"Static") && (style & SS_TYPEMASK) == SS_LEFT && (style & SS_CENTERIMAGE))
        SetWindowSubclass(control, LabelProc, kSubclassLabel, 0);

    if (!dark) {
        // The list keeps the Explorer look in the light theme; everything else the default.
        SetWindowTheme(control, isList ? L"Explorer" : nullptr, nullptr);
        HWND header = isList ? ListHeader(control) : nullptr;
        if (header) SetWindowTheme(header, L"Explorer", nullptr);
        return;
    }
    if (ClassIs(className, L"Edit") || ClassIs(className, L"ComboBox")) {
        if (FAILED(SetWindowTheme(control, L"DarkMode_CFD", nullptr)))
            SetWindowTheme(control, L"DarkMode_Explorer", nullptr);
    } else {
        SetWindowTheme(control, L"DarkMode_Explorer", nullptr);
    }
    HWND header = isList ? ListHeader(control) : nullptr;
    if (header) {
        if (AllowWindowDarkTheme) AllowWindowDarkTheme(header, true);
        SetWindowTheme(header, L"DarkMode_Explorer", nullptr);
    }
}

void ApplyListViewColors(HWND list)
{
    if (!list) return;
    const bool dark = g_app.settings.darkTheme;
    const ThemeColors colors = GetThemeColors(dark);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(ListViewExtendedStyle(dark)));
    SendMessageW(list, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(colors.listBackground));
    SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(colors.listBackground));
    SendMessageW(list, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(colors.listText));
    if (HWND header = ListHeader(list)) InvalidateRect(header, nullptr, TRUE);
    InvalidateRect(list, nullptr, TRUE);
}

LRESULT OnControlColor(UINT message, HDC dc, HWND)
{
    const ThemeColors colors = GetThemeColors(g_app.settings.darkTheme);
    SetTextColor(dc, colors.controlText);
    SetBkMode(dc, TRANSPARENT);
    HBRUSH brush;
    if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX) {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, colors.editBackground);
        brush = g_app.editBrush;
    } else {
        // Disabled and read-only edits ask here too, so they show the window background.
        SetBkColor(dc, colors.windowBackground);
        brush = g_app.backgroundBrush;
    }
    return reinterpret_cast<LRESULT>(brush ? brush : GetSysColorBrush(COLOR_WINDOW));
}
