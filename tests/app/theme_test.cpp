// Theme and fonts: the arithmetic, then the real main window in both themes and all sizes.
#include "app/theme.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "app/theme_hooks.h"
#include "settings/settings_file.h"
#include "tests/app/window_fixture.h"

namespace {

TEST(UiFontHeight, PointsScaledByDpi)
{
    struct Case {
        int points, dpi, height;
    };
    const Case cases[] = {
        {9, 96, -12},   {12, 96, -16}, {15, 96, -20},  {9, 144, -18}, {12, 144, -24},
        {15, 144, -30}, {9, 120, -15}, {12, 192, -32}, {0, 96, -12},  {-5, 144, -18},  // not positive: 9 pt
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UiFontHeight(c.points, c.dpi), c.height) << c.points << " pt at " << c.dpi;
    }
}

TEST(ListViewExtendedStyle, GridLinesOnlyInTheLightTheme)
{
    EXPECT_EQ(ListViewExtendedStyle(true), 0x14020u);
    EXPECT_EQ(ListViewExtendedStyle(false), 0x14021u);
}

TEST(FrameAttributes, DarkModeAlwaysCaptionColoursFromBuild22000)
{
    using A = std::vector<std::pair<DWORD, DWORD>>;
    const A darkOnly = {{20, 1}, {19, 1}};
    const A lightOnly = {{20, 0}, {19, 0}};
    const A darkFull = {{20, 1}, {19, 1}, {33, 2}, {38, 2}, {35, 0x202020}, {36, 0xFFFFFF}, {34, 0xFFFFFFFE}};
    const A lightFull = {{20, 0}, {19, 0}, {33, 2}, {38, 2}, {35, 0xF3F3F3}, {36, 0}, {34, 0xFFFFFFFE}};
    struct Case {
        bool dark;
        unsigned long build;
        A expected;
    };
    const Case cases[] = {
        {true, 0, darkOnly},  // build unknown
        {true, 7601, darkOnly},  {false, 7601, lightOnly},  {true, 18362, darkOnly},   {true, 21999, darkOnly},
        {true, 22000, darkFull}, {false, 22000, lightFull}, {false, 22621, lightFull},
    };
    for (const Case& c : cases) {
        A got;
        for (const FrameAttribute& a : FrameAttributes(c.dark, c.build)) got.push_back({a.attribute, a.value});
        EXPECT_EQ(got, c.expected) << (c.dark ? "dark " : "light ") << c.build;
    }
}

// --- The real main window ----------------------------------------------------------------

class ThemeWindow : public FilesWindowTest {
protected:
    void PrepareFiles() override
    {
        input_.Write(L"one.txt", "1");
        input_.Write(L"two.txt", "2");
    }
    void SetTheme(bool dark)
    {
        g_app.settings.darkTheme = dark;
        CreateUiFont();
        ApplyTheme();
    }
    static LOGFONTW FontOf(HFONT font)
    {
        LOGFONTW info = {};
        GetObjectW(font, sizeof(info), &info);
        return info;
    }
    static COLORREF BrushColour(LRESULT brush)
    {
        LOGBRUSH info = {};
        GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof(info), &info);
        return info.lbColor;
    }
};

TEST_F(ThemeWindow, FontFollowsPointsAndDpiAndReachesEveryChild)
{
    const std::wstring face =
        IsFontFamilyInstalled(L"Segoe UI Variable Text") ? L"Segoe UI Variable Text" : L"Segoe UI";
    g_app.dpi = 144;
    g_app.settings.fontPt = 12;
    CreateUiFont();
    ASSERT_NE(g_app.uiFont, nullptr);
    const LOGFONTW font = FontOf(g_app.uiFont);
    EXPECT_EQ(font.lfHeight, -24);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(font.lfQuality, CLEARTYPE_QUALITY);
    EXPECT_EQ(std::wstring(font.lfFaceName), face);
    const HWND children[] = {g_app.inputEdit, g_app.prefixTypeCombo, g_app.modeCopy, g_app.listOriginal,
                             g_app.listNew,   g_app.processButton,   g_app.statusBar};
    for (HWND child : children) {
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), g_app.uiFont);
    }
}

TEST_F(ThemeWindow, FontSizeCommandsAndDpiChangeRebuildTheFont)
{
    struct Case {
        int command, height;
    };
    const Case cases[] = {{40019, -20}, {40018, -16}, {40017, -12}};
    for (const Case& c : cases) {
        Command(c.command);
        EXPECT_EQ(FontOf(g_app.uiFont).lfHeight, c.height) << c.command;
    }
    RECT suggested = {0, 0, 1500, 1140};
    SendMessageW(g_app.mainWindow, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(FontOf(g_app.uiFont).lfHeight, -18);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(g_app.searchEdit, WM_GETFONT, 0, 0)), g_app.uiFont);
}

TEST_F(ThemeWindow, ColourMessagesGiveTheThemeColoursAndBrushes)
{
    struct Case {
        UINT message;
        bool dark;
        COLORREF text, background;
        int mode;
    };
    const COLORREF window = GetSysColor(COLOR_WINDOW), windowText = GetSysColor(COLOR_WINDOWTEXT);
    const Case cases[] = {
        {WM_CTLCOLOREDIT, true, RGB(255, 255, 255), RGB(45, 45, 45), OPAQUE},
        {WM_CTLCOLORLISTBOX, true, RGB(255, 255, 255), RGB(45, 45, 45), OPAQUE},
        {WM_CTLCOLORSTATIC, true, RGB(255, 255, 255), RGB(32, 32, 32), TRANSPARENT},
        {WM_CTLCOLORBTN, true, RGB(255, 255, 255), RGB(32, 32, 32), TRANSPARENT},
        {WM_CTLCOLOREDIT, false, windowText, window, OPAQUE},
        {WM_CTLCOLORLISTBOX, false, windowText, window, OPAQUE},
        {WM_CTLCOLORSTATIC, false, windowText, window, TRANSPARENT},
        {WM_CTLCOLORBTN, false, windowText, window, TRANSPARENT},
    };
    for (const Case& c : cases) {
        SetTheme(c.dark);
        HDC dc = GetDC(g_app.inputEdit);
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkColor(dc, RGB(4, 5, 6));
        const LRESULT brush = SendMessageW(g_app.mainWindow, c.message, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(g_app.inputEdit));
        EXPECT_EQ(GetTextColor(dc), c.text) << c.message << (c.dark ? " dark" : " light");
        EXPECT_EQ(GetBkColor(dc), c.background) << c.message;
        EXPECT_EQ(GetBkMode(dc), c.mode) << c.message;
        EXPECT_EQ(BrushColour(brush), c.background) << c.message;
        const bool editLike = c.message == WM_CTLCOLOREDIT || c.message == WM_CTLCOLORLISTBOX;
        EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), editLike ? g_app.editBrush : g_app.backgroundBrush);
        ReleaseDC(g_app.inputEdit, dc);
    }
}

TEST_F(ThemeWindow, ColourMessagesFallBackToTheSystemBrushWithoutThemeBrushes)
{
    DeleteObject(g_app.backgroundBrush);
    DeleteObject(g_app.editBrush);
    g_app.backgroundBrush = g_app.editBrush = nullptr;
    HDC dc = GetDC(g_app.inputEdit);
    for (UINT message : {WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC}) {
        EXPECT_EQ(reinterpret_cast<HBRUSH>(SendMessageW(g_app.mainWindow, message, reinterpret_cast<WPARAM>(dc),
                                                        reinterpret_cast<LPARAM>(g_app.inputEdit))),
                  GetSysColorBrush(COLOR_WINDOW));
    }
    ReleaseDC(g_app.inputEdit, dc);
}

TEST_F(ThemeWindow, ListViewsTakeTheThemeColoursAndGridLines)
{
    for (bool dark : {true, false, true}) {
        SetTheme(dark);
        const COLORREF background = dark ? RGB(32, 32, 32) : GetSysColor(COLOR_WINDOW);
        const COLORREF text = dark ? RGB(255, 255, 255) : GetSysColor(COLOR_WINDOWTEXT);
        for (HWND list : {g_app.listOriginal, g_app.listNew}) {
            EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0)), background) << dark;
            EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0)), background);
            EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0)), text);
            const DWORD styles = static_cast<DWORD>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
            EXPECT_EQ(styles, dark ? 0x14020u : 0x14021u) << dark;
        }
    }
}

TEST_F(ThemeWindow, ThemeCommandKeepsTheStatusTextAndSaves)
{
    ASSERT_FALSE(g_app.statusBarText.empty());
    const std::wstring before = g_app.statusBarText;
    for (bool dark : {true, false}) {
        Command(40016);
        EXPECT_EQ(g_app.settings.darkTheme, dark);
        wchar_t text[512] = {};
        SendMessageW(g_app.statusBar, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(std::wstring(text), before);
        EXPECT_EQ(BrushColour(reinterpret_cast<LRESULT>(g_app.backgroundBrush)),
                  dark ? RGB(32, 32, 32) : GetSysColor(COLOR_WINDOW));
        AppSettings saved = DefaultSettings();
        ASSERT_TRUE(LoadSettings(settingsPath_, saved));
        EXPECT_EQ(saved.darkTheme, dark);
        EXPECT_EQ(g_app.files.size(), 2u);  // the list stays
    }
}

TEST_F(ThemeWindow, ApplyThemeRewritesTheRememberedStatusText)
{
    g_app.statusBarText = L"2 files";
    SendMessageW(g_app.statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"something else"));
    SetTheme(true);
    wchar_t text[512] = {};
    SendMessageW(g_app.statusBar, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"2 files");
}

// Stand-ins for the uxtheme entry points, recording what the theme asks of them.
std::vector<std::wstring> g_hookCalls;
std::vector<std::pair<HWND, bool>> g_windowCalls;
int WINAPI RecordMode(int mode)
{
    g_hookCalls.push_back(L"mode " + std::to_wstring(mode));
    return 0;
}
bool WINAPI RecordAllowApp(bool allow)
{
    g_hookCalls.push_back(allow ? L"allow app" : L"deny app");
    return true;
}
bool WINAPI RecordAllowWindow(HWND window, bool allow)
{
    g_windowCalls.push_back({window, allow});
    return true;
}
void WINAPI RecordPolicy()
{
    g_hookCalls.push_back(L"policy");
}
void WINAPI RecordMenu()
{
    g_hookCalls.push_back(L"menu");
}

bool WindowCall(HWND window, bool allow)
{
    for (const auto& call : g_windowCalls) {
        if (call.first == window && call.second == allow) return true;
    }
    return false;
}

TEST_F(ThemeWindow, PresentHooksSetTheModeInOrderAndReachEveryControl)
{
    const auto saved = std::make_tuple(SetAppThemeMode, AllowAppDarkTheme, AllowWindowDarkTheme,
                                       RefreshThemeColorPolicy, RefreshMenuTheme);
    SetAppThemeMode = RecordMode;
    AllowAppDarkTheme = nullptr;
    AllowWindowDarkTheme = RecordAllowWindow;
    RefreshThemeColorPolicy = RecordPolicy;
    RefreshMenuTheme = RecordMenu;
    HWND header = reinterpret_cast<HWND>(SendMessageW(g_app.listNew, LVM_GETHEADER, 0, 0));

    struct Case {
        bool dark;
        bool modeHook;  // false: only the older boolean entry point
        std::vector<std::wstring> calls;
    };
    const Case cases[] = {
        {true, true, {L"mode 2", L"policy", L"menu"}},
        {false, true, {L"mode 3", L"policy", L"menu"}},
        {true, false, {L"allow app", L"policy", L"menu"}},
        {false, false, {L"deny app", L"policy", L"menu"}},
    };
    for (const Case& c : cases) {
        SetAppThemeMode = c.modeHook ? RecordMode : nullptr;
        AllowAppDarkTheme = c.modeHook ? nullptr : RecordAllowApp;
        g_hookCalls.clear();
        g_windowCalls.clear();
        g_app.settings.darkTheme = c.dark;
        ApplyTheme();
        EXPECT_EQ(g_hookCalls, c.calls);
        EXPECT_TRUE(WindowCall(g_app.mainWindow, c.dark));
        EXPECT_TRUE(WindowCall(g_app.searchEdit, c.dark));
        EXPECT_TRUE(WindowCall(g_app.statusBar, c.dark));
        // Headers are allowed the dark look only in the dark theme.
        EXPECT_EQ(WindowCall(header, true), c.dark);
    }
    std::tie(SetAppThemeMode, AllowAppDarkTheme, AllowWindowDarkTheme, RefreshThemeColorPolicy, RefreshMenuTheme) =
        saved;
}

TEST_F(ThemeWindow, ThemeAppliesWithoutTheOptionalHooks)
{
    // Wine resolves none of them; on Windows this clears them for the test.
    const SetAppThemeModeFn savedMode = SetAppThemeMode;
    const AllowWindowDarkThemeFn savedWindow = AllowWindowDarkTheme;
    SetAppThemeMode = nullptr;
    AllowWindowDarkTheme = nullptr;
    SetTheme(true);
    EXPECT_EQ(BrushColour(reinterpret_cast<LRESULT>(g_app.editBrush)), RGB(45, 45, 45));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(g_app.listNew, LVM_GETBKCOLOR, 0, 0)), RGB(32, 32, 32));
    SetAppThemeMode = savedMode;
    AllowWindowDarkTheme = savedWindow;
}

}  // namespace
