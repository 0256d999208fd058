// Menu commands, their check marks, the presets, the reset, the busy refusals, the About box
// and the menu and accelerator resources, driven through the real main window.
#include "tests/app/process_fixture.h"

#include "app/commands.h"
#include "app/controls.h"
#include "resources/resource.h"

namespace {

using CommandsTest = ShownMainWindowFixture;

bool MenuChecked(HWND window, UINT id)
{
    return (GetMenuState(GetMenu(window), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// The position of the item with `id` in `menu`, or -1.
std::wstring MenuText(HMENU menu, UINT item, UINT flag)
{
    wchar_t text[128] = {};
    GetMenuStringW(menu, item, text, 128, flag);
    return text;
}

TEST_F(CommandsTest, MenuResourceHasEveryItemWithItsText)
{
    struct Row {
        UINT id;
        const wchar_t* text;
    } rows[] = {
        {IDM_REFRESH, L"&Refresh Directory\tF5"},
        {IDM_CLEAR_LIST, L"&Clear List"},
        {IDM_LOAD_RULES, L"&Load Rules...\tCtrl+O"},
        {IDM_SAVE_RULES, L"&Save Rules As...\tCtrl+S"},
        {IDM_UNDO_LAST_BATCH, L"&Undo Last Batch"},
        {IDM_REMOVE_FROM_LIST, L"&Remove From List\tDel"},
        {IDM_STOP_BATCH, L"S&top Batch\tEsc"},
        {IDM_EXIT, L"E&xit"},
        {IDM_AUTO_SAVE, L"&Auto-save state"},
        {IDM_DARK_THEME, L"&Dark theme"},
        {IDM_RENAME_WITHIN_BATCH, L"Allow renames &within the batch"},
        {IDM_FONT_9, L"&Default (9 pt)"},
        {IDM_FONT_12, L"&Large (12 pt)"},
        {IDM_FONT_15, L"&Extra large (15 pt)"},
        {IDM_PRESET_NUMBERS3, L"Sequential (001, 002, ...)"},
        {IDM_PRESET_NUMBERS2, L"Sequential (01, 02, ...)"},
        {IDM_PRESET_LETTERS, L"Alphabetical prefix (A - name)"},
        {IDM_PRESET_NONE, L"None (search/replace only)"},
        {IDM_RESET_SETTINGS, L"&Reset to default settings"},
        {IDM_ABOUT, L"&About Orvane Pallisto..."},
    };
    HMENU menu = GetMenu(window_);
    ASSERT_NE(menu, nullptr);
    for (const Row& row : rows) EXPECT_EQ(MenuText(menu, row.id, MF_BYCOMMAND), row.text) << row.id;

    ASSERT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_EQ(MenuText(menu, 0, MF_BYPOSITION), L"&File");
    EXPECT_EQ(MenuText(menu, 1, MF_BYPOSITION), L"&Settings");
    EXPECT_EQ(MenuText(menu, 2, MF_BYPOSITION), L"&Help");
    HMENU file = GetSubMenu(menu, 0);
    HMENU settings = GetSubMenu(menu, 1);
    const UINT order[] = {IDM_REFRESH,
                          IDM_CLEAR_LIST,
                          IDM_LOAD_RULES,
                          IDM_SAVE_RULES,
                          IDM_UNDO_LAST_BATCH,
                          IDM_REMOVE_FROM_LIST,
                          IDM_STOP_BATCH,
                          0,
                          IDM_EXIT};
    ASSERT_EQ(GetMenuItemCount(file), 9);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(GetMenuItemID(file, i), order[i]) << i;
    ASSERT_EQ(GetMenuItemCount(settings), 7);
    EXPECT_EQ(GetMenuItemID(settings, 2), static_cast<UINT>(IDM_RENAME_WITHIN_BATCH)) << "after Dark theme";
    EXPECT_EQ(MenuText(settings, 3, MF_BYPOSITION), L"F&ont size");
    EXPECT_EQ(MenuText(settings, 4, MF_BYPOSITION), L"Default naming &format");
    EXPECT_EQ(GetMenuItemID(settings, 5), 0u) << "separator before Reset";
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(menu, 2)), 1);
}

TEST_F(CommandsTest, AcceleratorTableHasF5AndTheRulesFiles)
{
    HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_ACCELERATORS));
    ASSERT_NE(table, nullptr);
    ACCEL entries[4] = {};
    ASSERT_EQ(CopyAcceleratorTableW(table, entries, 4), 3);
    const ACCEL expected[] = {{FVIRTKEY, VK_F5, IDM_REFRESH},
                              {FVIRTKEY | FCONTROL, 'O', IDM_LOAD_RULES},
                              {FVIRTKEY | FCONTROL, 'S', IDM_SAVE_RULES}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(entries[i].key, expected[i].key) << i;
        EXPECT_EQ(entries[i].cmd, expected[i].cmd) << i;
        EXPECT_EQ(entries[i].fVirt & (FVIRTKEY | FSHIFT | FCONTROL | FALT), expected[i].fVirt) << i;
    }
}

TEST_F(CommandsTest, MenuChecksFollowSettings)
{
    struct Row {
        bool autoSave, dark;
        int fontPt;
        UINT fontItem;
    } rows[] = {
        {true, false, 9, IDM_FONT_9},    {false, true, 12, IDM_FONT_12}, {true, true, 13, IDM_FONT_12},
        {false, false, 14, IDM_FONT_12}, {true, false, 15, IDM_FONT_15}, {true, false, 40, IDM_FONT_15},
        {true, false, 11, IDM_FONT_9},   {true, false, 0, IDM_FONT_9},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fontPt);
        g_app.settings.autoSave = row.autoSave;
        g_app.settings.darkTheme = row.dark;
        g_app.settings.fontPt = row.fontPt;
        UpdateMenuChecks();
        EXPECT_EQ(MenuChecked(window_, IDM_AUTO_SAVE), row.autoSave);
        EXPECT_EQ(MenuChecked(window_, IDM_DARK_THEME), row.dark);
        for (UINT id : {IDM_FONT_9, IDM_FONT_12, IDM_FONT_15})
            EXPECT_EQ(MenuChecked(window_, id), id == row.fontItem) << id;
    }
}

TEST_F(CommandsTest, AutoSaveToggleFlipsMarkAndAlwaysSaves)
{
    EXPECT_TRUE(MenuChecked(window_, IDM_AUTO_SAVE));
    Command(IDM_AUTO_SAVE);
    EXPECT_FALSE(g_app.settings.autoSave);
    EXPECT_FALSE(MenuChecked(window_, IDM_AUTO_SAVE));
    ASSERT_TRUE(SettingsFileExists()) << "turning auto-save off is itself saved";
    EXPECT_FALSE(SavedSettings().autoSave);
    DeleteSettingsFile();
    Command(IDM_AUTO_SAVE);
    EXPECT_TRUE(MenuChecked(window_, IDM_AUTO_SAVE));
    EXPECT_TRUE(SavedSettings().autoSave);
}

TEST_F(CommandsTest, RuleEditsSaveOnlyWithAutoSave)
{
    Type(g_app.searchEdit, L"IMG");
    ASSERT_TRUE(SettingsFileExists());
    EXPECT_EQ(SavedSettings().rules.search, L"IMG");

    Command(IDM_AUTO_SAVE);
    DeleteSettingsFile();
    Type(g_app.searchEdit, L"DSC");
    Type(g_app.prefixStartEdit, L"5");
    EXPECT_FALSE(SettingsFileExists()) << "with auto-save off a rule edit writes nothing";
    EXPECT_EQ(g_app.settings.rules.search, L"DSC") << "the preview still follows";

    SendMessageW(window_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(SettingsFileExists()) << "the close still saves";
    EXPECT_EQ(SavedSettings().rules.search, L"DSC");
}

TEST_F(CommandsTest, FontSizeCommandsSaveAndGrowTheWindowToItsMinimum)
{
    SetWindowPos(window_, nullptr, 0, 0, 1000, 770, SWP_NOZORDER | SWP_NOMOVE);
    struct Row {
        int id, fontPt;
        LONG minW, minH;
    } rows[] = {{IDM_FONT_12, 12, 1100, 840}, {IDM_FONT_15, 15, 1100, 920}, {IDM_FONT_9, 9, 1100, 920}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        DeleteSettingsFile();
        Command(row.id);
        EXPECT_EQ(g_app.settings.fontPt, row.fontPt);
        EXPECT_TRUE(MenuChecked(window_, row.id));
        ASSERT_TRUE(SettingsFileExists());
        EXPECT_EQ(SavedSettings().fontPt, row.fontPt);
        RECT rect;
        GetWindowRect(window_, &rect);
        EXPECT_GE(rect.right - rect.left, row.minW);
        EXPECT_GE(rect.bottom - rect.top, row.minH) << "a smaller font keeps the grown window";
    }
}

TEST_F(CommandsTest, DarkThemeToggleKeepsStatusTextAndSaves)
{
    g_app.statusBarText = L"Files: 0  |  Ready: 0  |  Unchanged: 0  |  Conflicts: 0";
    g_app.settings.autoSave = false;  // the theme is saved regardless
    Command(IDM_DARK_THEME);
    EXPECT_TRUE(g_app.settings.darkTheme);
    EXPECT_TRUE(MenuChecked(window_, IDM_DARK_THEME));
    EXPECT_EQ(StatusText(), L"Files: 0  |  Ready: 0  |  Unchanged: 0  |  Conflicts: 0");
    ASSERT_TRUE(SettingsFileExists());
    EXPECT_TRUE(SavedSettings().darkTheme);
    Command(IDM_DARK_THEME);
    EXPECT_FALSE(SavedSettings().darkTheme);
}

TEST_F(CommandsTest, NamingPresetsSetPrefixAndKeepOtherRules)
{
    struct Row {
        int id;
        int prefixType;
        const wchar_t* start;
        const wchar_t* step;
        const wchar_t* pad;
        const wchar_t* prefixSep;
    } rows[] = {
        {IDM_PRESET_NUMBERS3, 1, L"1", L"1", L"3", L""},
        {IDM_PRESET_NUMBERS2, 1, L"1", L"1", L"2", L""},
        {IDM_PRESET_LETTERS, 2, L"1", L"1", L"7", L" - "},  // the pad typed before stays
        {IDM_PRESET_NONE, 0, L"9", L"4", L"7", L" - "},     // start, step and pad untouched with no prefix
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        Type(g_app.prefixStartEdit, L"9");
        Type(g_app.prefixStepEdit, L"4");
        Type(g_app.prefixPadEdit, L"7");
        Type(g_app.prefixSepEdit, L"_");
        Type(g_app.suffixSepEdit, L"#");
        SendMessageW(g_app.suffixTypeCombo, CB_SETCURSEL, 2, 0);
        Type(g_app.suffixStartEdit, L"5");
        Type(g_app.suffixStepEdit, L"6");
        Type(g_app.suffixPadEdit, L"8");
        Type(g_app.searchEdit, L"keep me");
        SendMessageW(g_app.caseCombo, CB_SETCURSEL, 3, 0);
        Command(row.id);
        EXPECT_EQ(Selection(g_app.prefixTypeCombo), row.prefixType);
        EXPECT_EQ(Text(g_app.prefixStartEdit), row.start);
        EXPECT_EQ(Text(g_app.prefixStepEdit), row.step);
        EXPECT_EQ(Text(g_app.prefixPadEdit), row.pad);
        EXPECT_EQ(Text(g_app.prefixSepEdit), row.prefixSep);
        EXPECT_EQ(Selection(g_app.suffixTypeCombo), 0);
        EXPECT_EQ(Text(g_app.suffixSepEdit), L" - ");
        EXPECT_EQ(Text(g_app.suffixStartEdit), L"5") << "the suffix numbers stay";
        EXPECT_EQ(Text(g_app.suffixStepEdit), L"6");
        EXPECT_EQ(Text(g_app.suffixPadEdit), L"8");
        EXPECT_EQ(Text(g_app.searchEdit), L"keep me");
        EXPECT_EQ(Selection(g_app.caseCombo), 3);
        EXPECT_EQ(static_cast<int>(g_app.settings.rules.prefix.type), row.prefixType);
    }
}

TEST_F(CommandsTest, PresetWritesTheFileOnlyWithAutoSave)
{
    g_app.settings.autoSave = false;
    Command(IDM_PRESET_NUMBERS2);
    EXPECT_FALSE(SettingsFileExists());
    g_app.settings.autoSave = true;
    Command(IDM_PRESET_NUMBERS3);
    ASSERT_TRUE(SettingsFileExists());
    EXPECT_EQ(SavedSettings().rules.prefix.pad, 3);
}

TEST_F(CommandsTest, ResetRestoresDefaultsButSavesTheLiveGeometry)
{
    Command(IDM_DARK_THEME);
    Command(IDM_FONT_12);
    Command(IDM_AUTO_SAVE);
    Type(g_app.searchEdit, L"old");
    Type(g_app.inputEdit, L"C:\\nowhere");
    SetWindowPos(window_, nullptr, 33, 44, 1234, 876, SWP_NOZORDER);
    ListView_SetColumnWidth(g_app.listOriginal, 1, 33);  // a user's own width, not yet saved
    DeleteSettingsFile();

    Command(IDM_RESET_SETTINGS);
    EXPECT_TRUE(g_app.settings.autoSave);
    EXPECT_FALSE(g_app.settings.darkTheme);
    EXPECT_EQ(g_app.settings.fontPt, 9);
    EXPECT_EQ(Text(g_app.searchEdit), L"");
    EXPECT_EQ(Text(g_app.inputEdit), L"");
    EXPECT_TRUE(MenuChecked(window_, IDM_AUTO_SAVE));
    EXPECT_TRUE(MenuChecked(window_, IDM_FONT_9));
    EXPECT_EQ(g_app.statusBarText, L"Input directory not found.");

    ASSERT_TRUE(SettingsFileExists());
    AppSettings saved = SavedSettings();
    EXPECT_EQ(saved.rules.search, L"");
    EXPECT_FALSE(saved.darkTheme);
    EXPECT_EQ(saved.fontPt, 9);
    EXPECT_TRUE(saved.hasWindowPos) << "the live placement, not the default";
    EXPECT_EQ(saved.winX, 33);
    EXPECT_EQ(saved.winY, 44);
    EXPECT_EQ(saved.winW, 1234);
    EXPECT_EQ(saved.winH, 876);
    EXPECT_GT(saved.colOrig0, 0) << "proportional widths read back from the lists";
    EXPECT_NE(saved.colOrig1, 33) << "the reset lays the columns out afresh";
    EXPECT_EQ(saved.colOrig1, ListView_GetColumnWidth(g_app.listOriginal, 1));
}

TEST_F(CommandsTest, InputDirectoryIsReadOnLeavingTheEditOrF5)
{
    TempDir dir(L"op-shell-scan");
    const std::wstring& input = dir.path();
    for (const wchar_t* name : {L"one.txt", L"two.txt"}) dir.Write(name, "");
    Type(g_app.inputEdit, input.c_str());
    EXPECT_TRUE(g_app.files.empty()) << "typing alone reads nothing";
    Command(kIdInputEdit, EN_KILLFOCUS, g_app.inputEdit);
    EXPECT_EQ(g_app.files.size(), 2u);

    Command(IDM_CLEAR_LIST);
    EXPECT_TRUE(g_app.files.empty());
    EXPECT_FALSE(IsWindowEnabled(g_app.processButton));
    EXPECT_EQ(Text(g_app.inputEdit), input) << "the directories stay";

    // F5 through the accelerator table, as the message loop translates it.
    HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_ACCELERATORS));
    MSG key = {window_, WM_KEYDOWN, VK_F5, 0x003F0001, 0, {0, 0}};
    EXPECT_NE(TranslateAcceleratorW(window_, table, &key), 0);
    EXPECT_EQ(g_app.files.size(), 2u);
}

TEST_F(CommandsTest, AboutBoxShowsItsTexts)
{
    DialogAnswerer about(IDOK);
    Command(IDM_ABOUT);
    about.Finish();
    ASSERT_TRUE(about.answered());
    EXPECT_EQ(about.caption, L"About Orvane Pallisto");
    auto has = [&](const std::wstring& text) {
        for (const std::wstring& t : about.texts)
            if (t == text) return true;
        return false;
    };
    EXPECT_TRUE(has(L"Orvane Pallisto"));
    EXPECT_TRUE(has(L"Version 1.0.0"));
    EXPECT_TRUE(has(L"OK"));
    EXPECT_TRUE(has(L"A lightweight, portable batch file renaming tool. Preview every change before files are "
                    L"renamed, copied, or moved \u2014 with conflict detection and zero CPU use while idle."));
}

TEST_F(CommandsTest, CancelledFolderPickerChangesNothing)
{
    Type(g_app.inputEdit, L"C:\\before");
    DialogAnswerer cancel(IDCANCEL);
    Command(kIdInputBrowse, BN_CLICKED, g_app.inputBrowse);
    cancel.Finish();
    ASSERT_TRUE(cancel.answered()) << "no folder dialog appeared";
    EXPECT_EQ(Text(g_app.inputEdit), L"C:\\before");
    EXPECT_FALSE(SettingsFileExists());
}

// Which notifications re-plan the preview: the refresh rewrites the counts line, so a marker
// left in statusBarText survives exactly when nothing was refreshed.
struct Notification {
    int id;
    int code;
    bool refreshes;
};
const Notification kNotifications[] = {
    {kIdPrefixStart, EN_CHANGE, true},    {kIdPrefixStep, EN_CHANGE, true},
    {kIdPrefixPad, EN_CHANGE, true},      {kIdPrefixSep, EN_CHANGE, true},
    {kIdSuffixStart, EN_CHANGE, true},    {kIdSuffixStep, EN_CHANGE, true},
    {kIdSuffixPad, EN_CHANGE, true},      {kIdSuffixSep, EN_CHANGE, true},
    {kIdSearch, EN_CHANGE, true},         {kIdReplace, EN_CHANGE, true},
    {kIdRemoveChars, EN_CHANGE, true},    {kIdNewExt, EN_CHANGE, true},
    {kIdOutputEdit, EN_CHANGE, true},     {kIdReplaceName, EN_CHANGE, true},
    {kIdInputEdit, EN_CHANGE, false},  // read only when it loses the focus
    {kIdSearch, EN_UPDATE, false},        {kIdSearch, EN_SETFOCUS, false},
    {kIdPrefixType, CBN_SELCHANGE, true}, {kIdSuffixType, CBN_SELCHANGE, true},
    {kIdCaseCombo, CBN_SELCHANGE, true},  {kIdExtCombo, CBN_SELCHANGE, true},
    {kIdPrefixType, CBN_DROPDOWN, false}, {kIdCaseCombo, CBN_CLOSEUP, false},
    {kIdSameAsInput, BN_CLICKED, true},   {kIdModeRename, BN_CLICKED, true},
    {kIdModeCopy, BN_CLICKED, true},      {kIdModeMove, BN_CLICKED, true},
    {kIdReplaceEntire, BN_CLICKED, true}, {kIdHeadingRules, 0, false},
    {kIdStatusBar, EN_CHANGE, false},
};

TEST_F(CommandsTest, NotificationsThatRefreshThePreview)
{
    for (const Notification& row : kNotifications) {
        SCOPED_TRACE(testing::Message() << row.id << " code " << row.code);
        g_app.statusBarText = L"marker";
        Command(row.id, row.code, GetDlgItem(window_, row.id));
        EXPECT_EQ(g_app.statusBarText != L"marker", row.refreshes);
    }
}

// A running batch (its worker's messages held back): every input is refused but Exit and About.
class CommandsDuringABatchTest : public ProcessFixture {};

TEST_F(CommandsDuringABatchTest, RefuseEverythingButExitAndAbout)
{
    const std::vector<HeldPost> held = ProcessHeld();  // the files are renamed on disk already
    const int refused[] = {IDM_REFRESH,         IDM_CLEAR_LIST,     IDM_AUTO_SAVE,   IDM_PRESET_NUMBERS3,
                           IDM_PRESET_NUMBERS2, IDM_PRESET_LETTERS, IDM_PRESET_NONE, IDM_RESET_SETTINGS,
                           IDM_DARK_THEME,      IDM_FONT_12,        IDM_FONT_15};
    const auto unchanged = [] {
        EXPECT_EQ(ItemCount(g_app.listOriginal), 3);
        EXPECT_EQ(Cell(g_app.listOriginal, 0, 0), L"a.txt") << "rescanned";
        EXPECT_EQ(Cell(g_app.listNew, 0, 0), L"001a.txt");
        EXPECT_FALSE(MenuChecked(g_app.mainWindow, IDM_AUTO_SAVE));
        EXPECT_FALSE(MenuChecked(g_app.mainWindow, IDM_DARK_THEME));
        EXPECT_TRUE(MenuChecked(g_app.mainWindow, IDM_FONT_9));
        EXPECT_EQ(Selection(g_app.prefixTypeCombo), 1);
        EXPECT_EQ(Text(g_app.prefixSepEdit), L"");
    };
    for (int id : refused) {
        SCOPED_TRACE(id);
        Command(id);
        unchanged();
    }
    Command(kIdInputEdit, EN_KILLFOCUS, g_app.inputEdit);
    unchanged();
    for (const Notification& row : kNotifications) {
        SCOPED_TRACE(testing::Message() << row.id << " code " << row.code);
        g_app.statusBarText = L"marker";
        Command(row.id, row.code, GetDlgItem(window_, row.id));
        EXPECT_EQ(g_app.statusBarText, L"marker");
    }
    EXPECT_FALSE(SettingsFileExists());

    DialogAnswerer about(IDOK);
    Command(IDM_ABOUT);
    about.Finish();
    EXPECT_TRUE(about.answered()) << "About still opens during a batch";
    EXPECT_EQ(about.caption, L"About Orvane Pallisto");

    DeliverAll(held);
    EXPECT_EQ(Cell(g_app.listOriginal, 0, 0), L"001a.txt");
}

// Picks a folder in the shell's dialog by typing its path, as a user may.
class FolderPickTest : public CommandsTest {
protected:
    bool Pick(int browseId, HWND browse, const std::wstring& folder)
    {
        DialogAnswerer pick(IDOK, folder);
        Command(browseId, BN_CLICKED, browse);
        pick.Finish();
        return pick.answered();
    }
};

TEST_F(FolderPickTest, PickedInputFolderIsScannedCopiedToOutputAndSaved)
{
    TempDir dir(L"op-shell-pick");
    const std::wstring& input = dir.path();
    for (const wchar_t* name : {L"p1.txt", L"p2.txt", L"p3.txt"}) dir.Write(name, "");
    struct Row {
        int modeId;  // radio checked before browsing
        bool sameAsInput;
        bool outputFollows;
    } rows[] = {
        {kIdModeRename, false, true},  // rename in place follows even when the box is clear
        {kIdModeCopy, true, true},
        {kIdModeCopy, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.modeId << row.sameAsInput);
        g_app.settings.autoSave = false;  // the pick saves regardless
        for (HWND radio : {g_app.modeRename, g_app.modeCopy, g_app.modeMove})
            SendMessageW(radio, BM_SETCHECK, GetDlgCtrlID(radio) == row.modeId ? BST_CHECKED : BST_UNCHECKED, 0);
        SendMessageW(g_app.sameAsInputCheck, BM_SETCHECK, row.sameAsInput ? BST_CHECKED : BST_UNCHECKED, 0);
        Type(g_app.outputEdit, L"C:\\elsewhere");
        g_app.files.clear();
        DeleteSettingsFile();
        ASSERT_TRUE(Pick(kIdInputBrowse, g_app.inputBrowse, input)) << "no folder dialog appeared";
        ASSERT_EQ(Text(g_app.inputEdit), input);
        EXPECT_EQ(Text(g_app.outputEdit) == input, row.outputFollows);
        EXPECT_EQ(g_app.files.size(), 3u);
        ASSERT_TRUE(SettingsFileExists());
        EXPECT_EQ(SavedSettings().inputDir, input);
    }
}

TEST_F(FolderPickTest, PickedOutputFolderIsSaved)
{
    TempDir dir(L"op-shell-out");
    const std::wstring& output = dir.path();
    Click(g_app.modeCopy);
    SendMessageW(g_app.sameAsInputCheck, BM_SETCHECK, BST_UNCHECKED, 0);
    Command(kIdSameAsInput, BN_CLICKED, g_app.sameAsInputCheck);
    g_app.settings.autoSave = false;
    DeleteSettingsFile();
    ASSERT_TRUE(Pick(kIdOutputBrowse, g_app.outputBrowse, output)) << "no folder dialog appeared";
    EXPECT_EQ(Text(g_app.outputEdit), output);
    ASSERT_TRUE(SettingsFileExists());
    EXPECT_EQ(SavedSettings().outputDir, output);
}

}  // namespace
