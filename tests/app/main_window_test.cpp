// The main window procedure driven with real messages: creation, closing, the size and column
// saves, the minimum size and the release of resources.
#include "tests/app/window_fixture.h"

#include "app/layout.h"
#include "resources/resource.h"
#include "tests/app/drag_overlays.h"

namespace {

using MainWindowTest = ShownMainWindowFixture;

TEST_F(MainWindowTest, CreationAttachesMenuIconsAndCountsLine)
{
    EXPECT_EQ(g_app.mainWindow, window_);
    EXPECT_EQ(g_app.dpi, 96);
    EXPECT_NE(GetMenu(window_), nullptr);
    EXPECT_NE(SendMessageW(window_, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(window_, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(Text(window_), L"Orvane Pallisto");
    EXPECT_EQ(g_app.statusBarText, L"Files: 0  |  Ready: 0  |  Unchanged: 0  |  Conflicts: 0");
    EXPECT_FALSE(SettingsFileExists()) << "creating the window saves nothing";
}

bool MenuChecked(HWND window, UINT id)
{
    return (GetMenuState(GetMenu(window), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// The loaded settings reach the controls and the menu marks at creation, and nothing is saved.
TEST_F(MainWindowTest, CreationShowsTheLoadedSettings)
{
    struct Row {
        bool autoSave, dark;
        int fontPt;
        int prefixType;
        ProcessMode mode;
        const wchar_t* search;
        UINT fontItem;
    } rows[] = {
        {false, true, 12, 1, ProcessMode::CopyAndRename, L"IMG_", IDM_FONT_12},
        {true, false, 15, 2, ProcessMode::MoveAndRename, L"", IDM_FONT_15},
        {true, true, 9, 0, ProcessMode::RenameInPlace, L"x", IDM_FONT_9},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fontPt);
        DestroyMainWindowForTest();
        DeleteSettingsFile();
        g_app.settings = DefaultSettings();
        g_app.settings.autoSave = row.autoSave;
        g_app.settings.darkTheme = row.dark;
        g_app.settings.fontPt = row.fontPt;
        g_app.settings.rules.prefix.type = static_cast<SequenceType>(row.prefixType);
        g_app.settings.mode = row.mode;
        g_app.settings.rules.search = row.search;
        ASSERT_TRUE(ReopenMainWindow());
        EXPECT_EQ(MenuChecked(window_, IDM_AUTO_SAVE), row.autoSave);
        EXPECT_EQ(MenuChecked(window_, IDM_DARK_THEME), row.dark);
        for (UINT id : {IDM_FONT_9, IDM_FONT_12, IDM_FONT_15})
            EXPECT_EQ(MenuChecked(window_, id), id == row.fontItem) << id;
        EXPECT_EQ(Selection(g_app.prefixTypeCombo), row.prefixType);
        EXPECT_EQ(Text(g_app.searchEdit), row.search);
        HWND modes[] = {g_app.modeRename, g_app.modeCopy, g_app.modeMove};
        for (int i = 0; i < 3; ++i) EXPECT_EQ(IsChecked(modes[i]), i == static_cast<int>(row.mode)) << i;
        EXPECT_NE(g_app.uiFont, nullptr);
        EXPECT_FALSE(SettingsFileExists());
    }
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct IconGroupHeader {
    WORD reserved, type, count;
    IconGroupEntry entries[1];
};
#pragma pack(pop)

TEST_F(MainWindowTest, IconGroupHoldsSevenTrueColourSizes)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(IDI_APP_ICON), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    ASSERT_NE(found, nullptr);
    const auto* group = static_cast<const IconGroupHeader*>(LockResource(LoadResource(module, found)));
    ASSERT_EQ(group->count, 7);
    const int sizes[] = {16, 24, 32, 48, 64, 128, 256};
    for (int i = 0; i < 7; ++i) {
        const IconGroupEntry& entry = group->entries[i];
        EXPECT_EQ(entry.width == 0 ? 256 : entry.width, sizes[i]);
        EXPECT_EQ(entry.bitCount, 32);
        HICON icon = static_cast<HICON>(
            LoadImageW(module, MAKEINTRESOURCEW(IDI_APP_ICON), IMAGE_ICON, sizes[i], sizes[i], LR_DEFAULTCOLOR));
        EXPECT_NE(icon, nullptr) << sizes[i];
        if (icon) DestroyIcon(icon);
    }
}

// The manifest asks only for asInvoker (and, by choice, common controls 6): DPI awareness is
// set by the entry point at run time, not declared, and no processor is named.
TEST_F(MainWindowTest, ManifestRequestsAsInvokerAndDeclaresNoDpiAwareness)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    std::string text(static_cast<const char*>(LockResource(LoadResource(module, found))),
                     SizeofResource(module, found));
    struct Row {
        const char* fragment;
        bool present;
    } rows[] = {
        {"level=\"asInvoker\"", true},
        {"uiAccess=\"false\"", true},
        {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", true},
        {"dpiAware", false},  // also catches dpiAwareness
        {"requireAdministrator", false},
        {"\"amd64\"", false},  // the same resource serves 32- and 64-bit builds
    };
    for (const Row& row : rows) EXPECT_EQ(text.find(row.fragment) != std::string::npos, row.present) << row.fragment;
}

TEST_F(MainWindowTest, CloseSavesFortyFiveLinesAndDestroys)
{
    for (bool autoSave : {true, false}) {
        SCOPED_TRACE(autoSave);
        if (!g_app.mainWindow) {
            g_app.settings = DefaultSettings();
            ASSERT_TRUE(ReopenMainWindow());
        }
        DeleteSettingsFile();
        g_app.settings.autoSave = autoSave;
        Type(g_app.searchEdit, L"holiday");
        SendMessageW(window_, WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsWindow(window_));
        EXPECT_EQ(g_app.mainWindow, nullptr);
        ASSERT_TRUE(SettingsFileExists());
        EXPECT_EQ(CountLines(TempDir::ReadFileBytes(settingsPath_)), 45);
        AppSettings saved = SavedSettings();
        EXPECT_EQ(saved.rules.search, L"holiday") << "the close collects the controls";
        EXPECT_EQ(saved.autoSave, autoSave);
        EXPECT_TRUE(saved.hasWindowPos);
        Pump();
    }
}

// Exit closes as the close box does; refused during a batch (see the processing tests).
TEST_F(MainWindowTest, ExitClosesAndSaves)
{
    Command(IDM_EXIT);
    Pump();  // Exit posts WM_CLOSE
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_TRUE(SettingsFileExists());
}

TEST_F(MainWindowTest, SizeChangesSaveOnlyOutsideMovesOnceReady)
{
    struct Row {
        bool ready;
        bool inSizeMove;
        WPARAM sizeType;
        bool saves;
    } rows[] = {
        {true, false, SIZE_RESTORED, true},   {true, false, SIZE_MAXIMIZED, true}, {true, false, SIZE_MINIMIZED, false},
        {false, false, SIZE_RESTORED, false}, {true, true, SIZE_RESTORED, false},  {true, true, SIZE_MAXIMIZED, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.ready << row.inSizeMove << row.sizeType);
        DeleteSettingsFile();
        g_app.windowReady = row.ready;
        if (row.inSizeMove) SendMessageW(window_, WM_ENTERSIZEMOVE, 0, 0);
        SendMessageW(window_, WM_SIZE, row.sizeType, MAKELPARAM(1000, 700));
        EXPECT_EQ(SettingsFileExists(), row.saves);
        if (row.inSizeMove) SendMessageW(window_, WM_EXITSIZEMOVE, 0, 0);
    }
}

TEST_F(MainWindowTest, EndOfMoveSavesOnce)
{
    SendMessageW(window_, WM_ENTERSIZEMOVE, 0, 0);
    SetWindowPos(window_, nullptr, 40, 30, 1200, 800, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_FALSE(SettingsFileExists()) << "no save during the move";
    SendMessageW(window_, WM_EXITSIZEMOVE, 0, 0);
    ASSERT_TRUE(SettingsFileExists());
    AppSettings saved = SavedSettings();
    EXPECT_EQ(saved.winW, 1200);
    EXPECT_EQ(saved.winH, 800);
}

TEST_F(MainWindowTest, ColumnResizeEndSavesWidthsEvenWithAutoSaveOff)
{
    g_app.settings.autoSave = false;
    ListView_SetColumnWidth(g_app.listNew, 1, 77);
    NMHEADERW header = {};
    header.hdr.hwndFrom = ListView_GetHeader(g_app.listNew);
    header.hdr.idFrom = 0;
    header.hdr.code = HDN_ENDTRACKW;
    SendMessageW(window_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    ASSERT_TRUE(SettingsFileExists());
    EXPECT_EQ(SavedSettings().colNew1, 77);
}

// A real drag of a header divider: the header tells its list, the list tells the main window.
TEST_F(MainWindowTest, DraggedColumnDividerIsSavedAtRelease)
{
    g_app.settings.autoSave = false;
    for (HWND list : {g_app.listOriginal, g_app.listNew}) {
        DeleteSettingsFile();
        HWND header = ListView_GetHeader(list);
        RECT item = {};
        ASSERT_TRUE(SendMessageW(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item)));
        const int before = ListView_GetColumnWidth(list, 1);
        const int y = (item.top + item.bottom) / 2;
        SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(item.right - 1, y));
        SendMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(item.right + 20, y));
        EXPECT_FALSE(SettingsFileExists()) << "nothing is saved while the divider moves";
        SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(item.right + 20, y));
        const int after = ListView_GetColumnWidth(list, 1);
        EXPECT_EQ(after, before + 21);
        ASSERT_TRUE(SettingsFileExists());
        AppSettings saved = SavedSettings();
        EXPECT_EQ(list == g_app.listOriginal ? saved.colOrig1 : saved.colNew1, after);
    }
}

TEST_F(MainWindowTest, MinimumTrackSizeFollowsFontSize)
{
    struct Row {
        int fontPt;
        LONG width, height;
    } rows[] = {{9, 980, 760}, {12, 1100, 840}, {15, 1100, 920}};
    for (const Row& row : rows) {
        g_app.settings.fontPt = row.fontPt;
        MINMAXINFO info = {};
        SendMessageW(window_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(info.ptMinTrackSize.x, row.width) << row.fontPt;
        EXPECT_EQ(info.ptMinTrackSize.y, row.height) << row.fontPt;
    }
}

// The client area is painted with the theme's background brush, or the window colour before
// the theme made one.
TEST_F(MainWindowTest, EraseFillsWithBackgroundBrushOrWindowColour)
{
    HBRUSH themeBrush = g_app.backgroundBrush;
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    struct Row {
        HBRUSH brush;
        COLORREF expected;
    } rows[] = {{red, RGB(255, 0, 0)}, {nullptr, GetSysColor(COLOR_WINDOW)}};
    HDC screen = GetDC(window_);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 64, 64);
    HGDIOBJ old = SelectObject(memory, bitmap);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.brush != nullptr);
        SetPixel(memory, 5, 5, RGB(1, 2, 3));
        g_app.backgroundBrush = row.brush;
        EXPECT_EQ(SendMessageW(window_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0), 1);
        EXPECT_EQ(GetPixel(memory, 5, 5), row.expected);
    }
    g_app.backgroundBrush = themeBrush;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window_, screen);
    DeleteObject(red);
}

TEST_F(MainWindowTest, DpiChangeTakesNewDpiAndSuggestedRectangle)
{
    RECT suggested = {50, 60, 50 + 1500, 60 + 1000};  // the 144 DPI minimum, cut to the test display
    SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(g_app.dpi, 144);
    RECT actual;
    GetWindowRect(window_, &actual);
    EXPECT_EQ(actual.left, 50);
    EXPECT_EQ(actual.top, 60);
    EXPECT_EQ(actual.right - actual.left, 1500);
    EXPECT_EQ(actual.bottom - actual.top, 1000);
}

TEST_F(MainWindowTest, DestroyReleasesResourcesAndPostsQuit)
{
    ASSERT_NE(g_app.listOriginal, nullptr);
    DestroyWindow(window_);
    EXPECT_EQ(g_app.uiFont, nullptr);
    EXPECT_EQ(g_app.backgroundBrush, nullptr);
    EXPECT_EQ(g_app.editBrush, nullptr);
    EXPECT_EQ(g_app.mainWindow, nullptr);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
    SaveSettings(true);
    EXPECT_FALSE(SettingsFileExists()) << "nothing is saved once the window is gone";
}

class MainWindowWithInputTest : public FilesWindowTest {
protected:
    void PrepareFiles() override
    {
        for (const wchar_t* name : {L"b.txt", L"a.txt", L"c.jpg"}) input_.Write(name, "");
    }
    void SetUp() override
    {
        FilesWindowTest::SetUp();
        if (!HasFatalFailure()) ShowReady();
    }
};

TEST_F(MainWindowWithInputTest, CreationScansTheSavedInputDirectory)
{
    ASSERT_EQ(g_app.files.size(), 3u);
    EXPECT_EQ(g_app.files[0].name, L"a.txt");
    EXPECT_EQ(Text(g_app.inputEdit), input_.path());
}

TEST_F(MainWindowWithInputTest, ColumnClicksSortOnlyTheOriginalListWhenIdle)
{
    struct Row {
        bool fromOriginal, busy, dragging;
        int column;
        int sortColumnAfter;
    } rows[] = {
        {false, false, false, 1, 0},  // the new-names list has no sort
        {true, true, false, 1, 0},    // refused during a batch
        {true, false, true, 1, 0},    // refused during a row drag
        {true, false, false, 1, 1},  {true, false, false, 2, 2},
    };
    ASSERT_EQ(HeaderFormat(0), HDF_SORTUP) << "the scan sorts by name";
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.fromOriginal << row.busy << row.dragging << row.column);
        std::vector<HeldPost> held;
        if (row.busy) held = ProcessHeld();
        if (row.dragging) {
            NotifyList(g_app.listOriginal, LVN_BEGINDRAG, 0, 0);
            ASSERT_TRUE(DragShown());
        }
        NotifyList(row.fromOriginal ? g_app.listOriginal : g_app.listNew, LVN_COLUMNCLICK, -1, row.column);
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(HeaderFormat(column) != 0, column == row.sortColumnAfter) << "arrow on column " << column;
        DeliverAll(held);
        CancelRowDrag();
    }
}

TEST_F(MainWindowWithInputTest, RowDragStartsOnlyFromTheOriginalListWhenIdle)
{
    struct Row {
        bool fromOriginal, busy;
        int item;
        bool starts;
    } rows[] = {
        {false, false, 1, false},
        {true, true, 1, false},
        {true, false, -1, false},
        {true, false, 1, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.fromOriginal << row.busy << row.item);
        std::vector<HeldPost> held;
        if (row.busy) held = ProcessHeld();
        NotifyList(row.fromOriginal ? g_app.listOriginal : g_app.listNew, LVN_BEGINDRAG, row.item, 0);
        EXPECT_EQ(DragShown(), row.starts);
        DeliverAll(held);
    }
    EXPECT_EQ(Text(DragGhost()), g_app.files[1].name);
}

// The drag overlays are top-level windows of their own: closing mid-drag must not leave them.
TEST_F(MainWindowWithInputTest, DestroyDuringARowDragRemovesTheOverlays)
{
    NotifyList(g_app.listOriginal, LVN_BEGINDRAG, 0, 0);
    ASSERT_TRUE(DragShown());
    HWND ghost = DragGhost(), marker = DropMarker();
    ASSERT_TRUE(IsWindow(ghost));
    ASSERT_TRUE(IsWindow(marker));
    DestroyWindow(window_);
    EXPECT_FALSE(IsWindow(ghost));
    EXPECT_FALSE(IsWindow(marker));
}

TEST_F(MainWindowWithInputTest, SelectionIsMirroredUnlessAlreadySyncing)
{
    for (bool syncing : {true, false}) {
        SCOPED_TRACE(syncing);
        g_app.syncingSelection = syncing;
        NotifyList(g_app.listOriginal, LVN_ITEMCHANGED, 2, 0, {}, LVIS_SELECTED | LVIS_FOCUSED);
        UINT state = ListView_GetItemState(g_app.listNew, 2, LVIS_SELECTED);
        EXPECT_EQ(state == LVIS_SELECTED, !syncing);
        g_app.syncingSelection = false;
    }
}

}  // namespace

// Closing with the caret in the input edit: the edit loses the focus on the way out, which must
// neither rescan (a slow folder would stall the close) nor save again.
TEST_F(MainWindowWithInputTest, CloseFromTheInputEditDoesNotRescan)
{
    SetForegroundWindow(window_);
    SetFocus(g_app.inputEdit);
    ASSERT_EQ(GetFocus(), g_app.inputEdit);
    input_.Write(L"d.txt", "");
    DeleteSettingsFile();
    SendMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_EQ(g_app.files.size(), 3u) << "no scan during the close";
    EXPECT_TRUE(SettingsFileExists());
}

// Minimised, the client area is 0 x 0: the columns keep their widths, and a close then stores
// none of them.
TEST_F(MainWindowWithInputTest, MinimisingKeepsTheColumnWidths)
{
    g_app.settings.colOrig0 = g_app.settings.colOrig1 = g_app.settings.colOrig2 = 0;  // none stored yet
    LayoutControls();
    const int before = ListView_GetColumnWidth(g_app.listOriginal, 0);
    ShowWindow(window_, SW_MINIMIZE);
    Pump();
    ASSERT_TRUE(IsIconic(window_));
    EXPECT_EQ(ListView_GetColumnWidth(g_app.listOriginal, 0), before);
    SendMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(SavedSettings().colOrig0, 0) << "stored widths stay proportional";
}

// Focus starts on the first control in Tab order and comes back after another window was active.
TEST_F(MainWindowWithInputTest, FocusStartsOnTheFirstControlAndReturnsOnActivation)
{
    // Activation within this thread: other test processes may hold the foreground meanwhile.
    SetActiveWindow(window_);
    Pump();
    EXPECT_EQ(GetFocus(), g_app.modeRename);
    SetFocus(g_app.searchEdit);
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                                 nullptr);
    SetActiveWindow(other);
    Pump();
    ASSERT_NE(GetFocus(), g_app.searchEdit);
    SetActiveWindow(window_);
    Pump();
    EXPECT_EQ(GetFocus(), g_app.searchEdit);
    DestroyWindow(other);
}
