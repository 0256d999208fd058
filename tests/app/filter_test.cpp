// The name filter, Remove From List and the two new settings keys, through the real window.
#include "app/binding.h"
#include "app/cell_tips.h"
#include "app/controls.h"
#include "app/layout.h"
#include "app/main_window.h"
#include "files/name_filter.h"
#include "tests/app/process_fixture.h"

#include <algorithm>
#include <map>

namespace {

constexpr int kRemoveFromList = 40005;

// The filter's documented rules, through NormalizeFileFilter and MatchesFileFilter. The last
// rows are patterns a backtracking matcher takes minutes over: they must answer at once.
TEST(FileFilter, SyntaxTable)
{
    struct Row {
        const wchar_t* filter;
        std::wstring name;
        bool matches;
    };
    const std::wstring as(300, L'a');
    const Row rows[] = {
        {L"", L"anything.txt", true},
        {L"  ;  ", L"anything.txt", true},
        {L"*.jpg", L"photo.jpg", true},
        {L"*.jpg", L"PHOTO.JPG", true},
        {L"*.jpg", L"photo.jpeg", false},
        {L"*.jpg", L"photo.jpg.txt", false},
        {L"*.jpg", L".jpg", true},
        {L"*.jpg;*.jpeg", L"photo.jpeg", true},
        {L" *.png ;  IMG_* ", L"IMG_0001.raw", true},
        {L" *.png ;  IMG_* ", L"img_0001.raw", true},
        {L" *.png ;  IMG_* ", L"DSC_0001.raw", false},
        {L"my photo*", L"my photo 1.jpg", true},
        {L"my photo*", L"myphoto 1.jpg", false},
        {L"IMG_????.jpg", L"IMG_1234.jpg", true},
        {L"IMG_????.jpg", L"IMG_123.jpg", false},
        {L"IMG_????.jpg", L"IMG_12345.jpg", false},
        {L"IMG", L"IMG_1234.jpg", false},
        {L"a*b*c", L"abc", true},
        {L"a*b*c", L"aXbYbZc", true},
        {L"a*b*c", L"aXbYcZ", false},
        {L"*a", L"banana", true},
        {L"**.txt", L"x.txt", true},
        {L"*", L"README", true},
        {L"*.*", L"README", true},
        {L"*.*; *.jpg", L"README", true},
        {L"*.jpg ; *.*", L"README", true},
        {L"*.*.*", L"README.txt", false},
        {L"*.*", L"archive.tar.gz", true},
        {L"*.gz", L"archive.tar.gz", true},
        {L"*.tar", L"archive.tar.gz", false},
        {L"README", L"readme", true},
        {L".*", L".gitignore", true},
        {L"a.b.?", L"a.b.c", true},
        {L"\u00c9T\u00c9*", L"\u00e9t\u00e9.txt", true},
        {L"?.txt", L"\U0001F600.txt", true},
        {L"??.txt", L"\U0001F600.txt", false},
        {L"*?.txt", L"\U0001F600.txt", true},
        {L"x\U0001F600*", L"X\U0001F600y", true},
        {L"*?*?*?*?*?*?*?*?*?*?*?*?x", as, false},
        {L"*?*?*?*?*?*?*?*?*?*?*?*?x", as + L"x", true},
        {L"*?*?*?*?*?*?*?*?*?*?*?*?*?*?*?*?x", as, false},
        {L"*a*a*a*a*.png", std::wstring(200, L'a'), false},
        {L"*a*a*a*a*.png", as + L".jpg", false},
        {L"*a*a*a*a*.png", L"a" + as + L".png", true},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(MatchesFileFilter(r.name.c_str(), NormalizeFileFilter(r.filter)), r.matches)
            << r.filter << L" / " << r.name.substr(0, 40);
    }
}

// At the default size the filter ends the mode row and the box ends the search row; the rows'
// own controls stay where they are (the layout tests pin those).
TEST(FilterLayout, NewControlsEndTheirRows)
{
    LayoutInput in;
    in.clientW = 1164;
    in.clientH = 700;
    in.statusH = 22;
    std::map<int, Placement> at;
    for (const Placement& p : ComputeLayout(in)) at[p.id] = p;
    const Placement& move = at[kIdModeMove];
    const Placement& label = at[kIdFilterLabel];
    EXPECT_EQ(label.y, move.y);
    EXPECT_EQ(label.x, move.x + move.w + 8);
    EXPECT_EQ(at[kIdFilter].y, move.y);
    EXPECT_EQ(at[kIdFilter].x, label.x + label.w);
    EXPECT_EQ(at[kIdFilter].w, 260);
    const Placement& remove = at[kIdRemoveChars];
    const Placement& box = at[kIdSearchRegex];
    EXPECT_EQ(box.y, remove.y);
    EXPECT_EQ(box.x, remove.x + remove.w + 8);
    EXPECT_LE(box.x + box.w, in.clientW - 12);
}

// Four files; the filter lets only the photos through and leaves "a.txt" hidden on disk.
class FilterWindowTest : public ProcessFixture {
protected:
    void PrepareFiles() override
    {
        input_.Write(L"a.jpg", "a photo");
        input_.Write(L"a.txt", "a note");
        input_.Write(L"b.jpg", "b photo");
        input_.Write(L"c.JPG", "c photo");
    }
    void PrepareSettings(AppSettings& settings) override { settings.fileFilter = L"*.jpg"; }

    static UINT RemoveMenuState() { return GetMenuState(GetMenu(g_app.mainWindow), kRemoveFromList, MF_BYCOMMAND); }
    static void SelectFirstRow()
    {
        LVITEMW state = {};
        state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(g_app.listOriginal, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    }
    static void PressDelete(HWND list) { SendMessageW(list, WM_KEYDOWN, VK_DELETE, 0); }
    // The pointer comes to rest on a cell: the text its tip shows then.
    static std::wstring TipAt(HWND list, int row, int column)
    {
        RECT cell = {};
        cell.top = column;
        cell.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
        SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
        SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
        wchar_t text[1024] = {};
        TTTOOLINFOW tool = {};
        tool.cbSize = sizeof(tool);
        tool.hwnd = list;
        tool.uId = reinterpret_cast<UINT_PTR>(list);
        tool.lpszText = text;
        SendMessageW(CellTipWindow(list), TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
        return text;
    }
    static int RowOf(const std::wstring& name)
    {
        const std::vector<std::wstring> names = Names();
        return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
    }
};

TEST_F(FilterWindowTest, FilterChoosesRowsLiveAndCountsTheHiddenFiles)
{
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a.jpg", L"b.jpg", L"c.JPG"}));
    EXPECT_EQ(Cell(g_app.listNew, 1, 0), L"002b.jpg");
    EXPECT_EQ(StatusText(), L"Files: 3  |  Ready: 3  |  Unchanged: 0  |  Conflicts: 0  |  Hidden by filter: 1");

    // Typing chooses again from the last scan: a file made since then is not listed.
    input_.Write(L"d.txt", "new");
    Type(g_app.filterEdit, L" *.txt ; b* ");
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a.txt", L"b.jpg"}));
    EXPECT_EQ(Cell(g_app.listNew, 1, 0), L"002b.jpg");
    EXPECT_EQ(StatusText(), L"Files: 2  |  Ready: 2  |  Unchanged: 0  |  Conflicts: 0  |  Hidden by filter: 2");

    Type(g_app.filterEdit, L"*.png");
    EXPECT_EQ(ItemCount(g_app.listOriginal), 0);
    EXPECT_FALSE(Enabled(g_app.processButton));
    EXPECT_EQ(StatusText(), L"Files: 0  |  Ready: 0  |  Unchanged: 0  |  Conflicts: 0  |  Hidden by filter: 4");

    Type(g_app.filterEdit, L"  ");
    Refresh();
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a.jpg", L"a.txt", L"b.jpg", L"c.JPG", L"d.txt"}));
    EXPECT_EQ(StatusText(), L"Files: 5  |  Ready: 5  |  Unchanged: 0  |  Conflicts: 0");
}

TEST_F(FilterWindowTest, HiddenFileBlocksItsNameAndIsNeverProcessed)
{
    Choose(g_app.prefixTypeCombo, 0);
    Choose(g_app.extCombo, 1);
    Type(g_app.newExtEdit, L"txt");
    EXPECT_EQ(Cell(g_app.listNew, 0, 0), L"a.txt");
    EXPECT_EQ(Cell(g_app.listNew, 0, 2), L"Already exists");
    EXPECT_EQ(Cell(g_app.listNew, 1, 2), L"Ready");

    RunProcess({IDYES});
    EXPECT_EQ(TempDir::ReadFileBytes(input_ / L"a.jpg"), "a photo");
    EXPECT_EQ(TempDir::ReadFileBytes(input_ / L"a.txt"), "a note");
    EXPECT_EQ(TempDir::ReadFileBytes(input_ / L"b.txt"), "b photo");
    EXPECT_EQ(TempDir::ReadFileBytes(input_ / L"c.txt"), "c photo");
}

TEST_F(FilterWindowTest, DeleteTakesRowsOutUntilF5ANewFolderOrClearList)
{
    EXPECT_TRUE(RemoveMenuState() & MF_GRAYED);
    PressDelete(g_app.listOriginal);  // nothing selected: nothing happens
    ASSERT_EQ(Names().size(), 3u);

    SelectFirstRow();
    EXPECT_FALSE(RemoveMenuState() & MF_GRAYED);
    PressDelete(g_app.listNew);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"b.jpg", L"c.JPG"}));
    EXPECT_EQ(Cell(g_app.listNew, 0, 0), L"001b.jpg");
    EXPECT_EQ(StatusText(),
              L"Files: 2  |  Ready: 2  |  Unchanged: 0  |  Conflicts: 0  |  Hidden by filter: 1  |  Removed: 1");
    Command(kRemoveFromList);  // the row that took its place was selected
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"c.JPG"}));
    EXPECT_TRUE(TempDir::Exists(input_ / L"a.jpg"));

    // A change of the filter, or a listing of the same folder, leaves them out.
    for (const wchar_t* filter : {L"*", L"* "}) {
        Type(g_app.filterEdit, filter);
        EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a.txt", L"c.JPG"})) << filter;
        EXPECT_EQ(StatusText(), L"Files: 2  |  Ready: 2  |  Unchanged: 0  |  Conflicts: 0  |  Removed: 2");
    }
    Command(kIdInputEdit, EN_KILLFOCUS, g_app.inputEdit);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a.txt", L"c.JPG"}));

    // F5, another folder, or Clear List bring them back.
    const std::wstring everything = L"Files: 4  |  Ready: 4  |  Unchanged: 0  |  Conflicts: 0";
    Refresh();
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a.jpg", L"a.txt", L"b.jpg", L"c.JPG"}));
    EXPECT_EQ(StatusText(), everything);
    EXPECT_TRUE(RemoveMenuState() & MF_GRAYED);
    TempDir other;
    for (int how = 0; how < 2; ++how) {
        SelectFirstRow();
        Command(kRemoveFromList);
        ASSERT_EQ(Names().size(), 3u) << how;
        if (how == 0) {
            Type(g_app.inputEdit, other.path().c_str());
            Command(kIdInputEdit, EN_KILLFOCUS, g_app.inputEdit);
            EXPECT_EQ(Names().size(), 0u);
            Type(g_app.inputEdit, input_.path().c_str());
        } else {
            Command(40002);  // Clear List
        }
        Command(kIdInputEdit, EN_KILLFOCUS, g_app.inputEdit);
        EXPECT_EQ(Names().size(), 4u) << how;
        EXPECT_EQ(StatusText(), everything) << how;
    }
}

// Copies made into the input folder and deleted again by an undo: a change of the filter lists
// the folder as it is, never a deleted copy.
TEST_F(FilterWindowTest, AfterABatchAndItsUndoTheFilterListsWhatIsOnDisk)
{
    UseOutput(g_app.modeCopy, ProcessMode::CopyAndRename, input_.path());
    RunProcess({IDYES});
    Type(g_app.filterEdit, L"*");
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"001a.jpg", L"002b.jpg", L"003c.JPG", L"a.jpg", L"a.txt", L"b.jpg",
                                                  L"c.JPG"}));
    Refresh();
    RunAnswered(40004, {IDYES});  // Undo Last Batch
    EXPECT_FALSE(TempDir::Exists(input_ / L"001a.jpg"));
    Type(g_app.filterEdit, L"* ");
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a.jpg", L"a.txt", L"b.jpg", L"c.JPG"}));
}

TEST_F(FilterWindowTest, FilterAndRegexBoxAreSavedAndLoaded)
{
    Type(g_app.filterEdit, L"IMG_*; *.raw");
    Click(g_app.searchRegexCheck);
    Type(g_app.searchEdit, L"^(\\w)");
    Type(g_app.replaceEdit, L"[$1]");
    EXPECT_EQ(ItemCount(g_app.listNew), 0);  // nothing matches the filter
    SaveSettings(true);
    const AppSettings saved = SavedSettings();
    EXPECT_EQ(saved.fileFilter, L"IMG_*; *.raw");
    EXPECT_TRUE(saved.rules.searchRegex);

    DestroyMainWindowForTest();
    g_app.settings = saved;
    g_app.settings.fileFilter = L"b*";
    ASSERT_TRUE(ReopenMainWindow());
    EXPECT_EQ(Text(g_app.filterEdit), L"b*");
    EXPECT_TRUE(IsChecked(g_app.searchRegexCheck));
    EXPECT_EQ(Cell(g_app.listNew, 0, 0), L"001[b].jpg");
}

// A search pattern that does not compile says why on the status bar too, also with no rows.
TEST_F(FilterWindowTest, StatusBarSaysWhyThePatternIsInvalid)
{
    Click(g_app.searchRegexCheck);
    Type(g_app.searchEdit, L"(IMG");
    const std::wstring reason = Cell(g_app.listNew, 0, 2);
    ASSERT_EQ(reason.rfind(L"Invalid search pattern: ", 0), 0u) << reason;
    const std::wstring counts = L"Files: 3  |  Ready: 0  |  Unchanged: 0  |  Conflicts: 3  |  Hidden by filter: 1";
    EXPECT_EQ(StatusText(), counts + L"  |  " + reason);
    Type(g_app.filterEdit, L"*.png");
    EXPECT_EQ(StatusText(),
              L"Files: 0  |  Ready: 0  |  Unchanged: 0  |  Conflicts: 0  |  Hidden by filter: 4  |  " + reason);
    Type(g_app.searchEdit, L"(IMG)");
    EXPECT_EQ(StatusText(), L"Files: 0  |  Ready: 0  |  Unchanged: 0  |  Conflicts: 0  |  Hidden by filter: 4");
}

// A cell too narrow for its text shows the whole text as its tip, in every column of both lists:
// here a long name, its target path and the invalid pattern's reason. A cell that fits shows
// none (or, at the edge, its own text).
TEST_F(FilterWindowTest, CutCellsShowTheirWholeTextAsATip)
{
    const std::wstring longName = L"a " + std::wstring(150, L'x') + L".jpg";
    input_.Write(longName, "long");
    Refresh();
    Click(g_app.searchRegexCheck);
    Type(g_app.searchEdit, L"(unclosed");
    const int longRow = RowOf(longName), shortRow = RowOf(L"b.jpg");
    ASSERT_LT(longRow, ItemCount(g_app.listNew));
    ASSERT_LT(shortRow, ItemCount(g_app.listNew));
    for (HWND list : {g_app.listOriginal, g_app.listNew}) {
        ASSERT_TRUE(CellTipWindow(list));
        HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        const int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
        for (int row : {longRow, shortRow}) {
            for (int column = 0; column < columns; ++column) {
                const std::wstring tip = TipAt(list, row, column);
                EXPECT_TRUE(tip.empty() || tip == Cell(list, row, column)) << row << L"," << column << L": " << tip;
            }
        }
    }
    EXPECT_EQ(TipAt(g_app.listOriginal, longRow, 0), longName);
    EXPECT_EQ(TipAt(g_app.listOriginal, shortRow, 0), L"");
    EXPECT_EQ(TipAt(g_app.listOriginal, shortRow, 1), L"");
    EXPECT_EQ(TipAt(g_app.listNew, longRow, 0), longName);
    EXPECT_EQ(TipAt(g_app.listNew, longRow, 1), input_ / longName);
    EXPECT_EQ(TipAt(g_app.listNew, shortRow, 2).rfind(L"Invalid search pattern: ", 0), 0u);

    // The pointer rests on the new name while a keystroke changes it: the tip follows.
    ASSERT_EQ(TipAt(g_app.listNew, longRow, 0), longName);
    Type(g_app.searchEdit, L"^a ");
    const std::wstring renamed = Cell(g_app.listNew, longRow, 0);
    EXPECT_NE(renamed, longName);
    EXPECT_EQ(TipAt(g_app.listNew, longRow, 0), renamed);
}

}  // namespace
