// The scan, the column sort and clearing, through the real main window and its list views.
#include "app/file_list.h"
#include "app/row_drag.h"
#include "files/file_order.h"

#include "tests/app/window_fixture.h"

namespace {

UINT RowState(HWND list, int row)
{
    return static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED | LVIS_FOCUSED));
}

}  // namespace

class ScanTest : public FilesWindowTest {
protected:
    // A header click as the list view reports it to its parent.
    static void ClickColumn(HWND list, int column) { NotifyList(list, LVN_COLUMNCLICK, -1, column); }
    void PrepareFiles() override
    {
        input_.Write(L"file10.txt", std::string(300, 'x'));
        input_.Write(L"File2.txt", std::string(2048, 'x'));
        input_.Write(L"file1.txt", std::string(10, 'x'));
        input_.Write(L"notes", "");
        input_.Write(L"hidden.jpg", std::string(300, 'h'), FILE_ATTRIBUTE_HIDDEN);
        input_.MakeDir(L"subfolder");
        input_.MakeDir(L"folder.txt");
    }
};

TEST_F(ScanTest, CreationListsFilesInNameOrderWithTheArrowOnName)
{
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"file1.txt", L"file10.txt", L"File2.txt", L"hidden.jpg", L"notes"}));
    EXPECT_EQ(ItemCount(g_app.listOriginal), 5);
    EXPECT_EQ(ItemCount(g_app.listNew), 5);
    EXPECT_EQ(HeaderFormat(0), HDF_SORTUP);
    EXPECT_EQ(HeaderFormat(1), 0);
    EXPECT_EQ(StatusText(), L"Files: 5  |  Ready: 5  |  Unchanged: 0  |  Conflicts: 0");
    EXPECT_EQ(g_app.statusBarText, StatusText());
}

TEST_F(ScanTest, CellsShowNamesSizesExtensionsAndThePlan)
{
    const struct {
        HWND list;
        int row, column;
        std::wstring text;
    } cases[] = {
        {g_app.listOriginal, 0, 0, L"file1.txt"},
        {g_app.listOriginal, 0, 1, L"10 B"},
        {g_app.listOriginal, 2, 1, L"2.0 KB"},
        {g_app.listOriginal, 2, 2, L".txt"},
        {g_app.listOriginal, 4, 2, L"(none)"},
        {g_app.listNew, 0, 0, L"001file1.txt"},
        {g_app.listNew, 0, 1, input_ / L"001file1.txt"},
        {g_app.listNew, 4, 0, L"005notes"},
        {g_app.listNew, 4, 2, L"Ready"},
        {g_app.listNew, 5, 0, L""},  // past the end
    };
    for (const auto& c : cases) EXPECT_EQ(Cell(c.list, c.row, c.column), c.text) << c.row << "," << c.column;
}

TEST_F(ScanTest, FailuresEmptyTheListWithTheirTexts)
{
    const std::wstring file = input_ / L"notes";
    const struct {
        std::wstring path;
        const wchar_t* text;
    } cases[] = {
        {input_ / L"missing", L"Input directory not found."},
        {L"   ", L"Input directory not found."},
        {file, L"Unable to read the input directory."},
    };
    for (const auto& c : cases) {
        SetInputDir(input_.path());
        ASSERT_EQ(g_app.files.size(), 5u);
        SetInputDir(c.path);
        EXPECT_TRUE(g_app.files.empty()) << c.path;
        EXPECT_EQ(ItemCount(g_app.listOriginal), 0);
        EXPECT_EQ(ItemCount(g_app.listNew), 0);
        EXPECT_EQ(StatusText(), c.text);
        EXPECT_EQ(g_app.statusBarText, c.text);
        EXPECT_EQ(HeaderFormat(0), 0);
        EXPECT_FALSE(IsWindowEnabled(g_app.processButton));
    }
}

TEST_F(ScanTest, TypingRescansOnlyWhenTheInputEditLosesTheFocus)
{
    TempDir other;
    other.Write(L"only.txt", "o");
    Type(g_app.inputEdit, other.path().c_str());
    EXPECT_EQ(g_app.files.size(), 5u);
    Command(1002, EN_KILLFOCUS, g_app.inputEdit);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"only.txt"}));
    EXPECT_EQ(g_app.settings.inputDir, other.path());
}

TEST_F(ScanTest, TrailingBackslashGivesTheSameSourcePaths)
{
    std::vector<std::wstring> plain;
    for (const FileEntry& row : g_app.files) plain.push_back(row.sourcePath);
    SetInputDir(input_.path() + L"\\");
    std::vector<std::wstring> slashed;
    for (const FileEntry& row : g_app.files) slashed.push_back(row.sourcePath);
    EXPECT_EQ(plain, slashed);
    EXPECT_EQ(plain.size(), 5u);
}

TEST_F(ScanTest, OnlySubFoldersGiveAnEmptyListWithTheArrow)
{
    TempDir folders;
    folders.MakeDir(L"a");
    SetInputDir(folders.path());
    EXPECT_TRUE(g_app.files.empty());
    EXPECT_EQ(HeaderFormat(0), HDF_SORTUP);
    EXPECT_EQ(StatusText(), L"Files: 0  |  Ready: 0  |  Unchanged: 0  |  Conflicts: 0");
}

TEST_F(ScanTest, SizeSortTogglesAndTheNumberingFollows)
{
    ClickColumn(g_app.listOriginal, 1);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"notes", L"file1.txt", L"file10.txt", L"hidden.jpg", L"File2.txt"}));
    EXPECT_EQ(HeaderFormat(0), 0);
    EXPECT_EQ(HeaderFormat(1), HDF_SORTUP);
    EXPECT_EQ(g_app.files[0].newName, L"001notes");
    EXPECT_EQ(Cell(g_app.listNew, 0, 0), L"001notes");

    ClickColumn(g_app.listOriginal, 1);
    // Stable: file10.txt and hidden.jpg have the same size and keep their order.
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"File2.txt", L"file10.txt", L"hidden.jpg", L"file1.txt", L"notes"}));
    EXPECT_EQ(HeaderFormat(1), HDF_SORTDOWN);
    EXPECT_EQ(g_app.files[0].newName, L"001File2.txt");
}

TEST_F(ScanTest, ExtensionSortKeepsThePreviousOrderInsideEachExtension)
{
    ClickColumn(g_app.listOriginal, 1);  // size order first
    ClickColumn(g_app.listOriginal, 2);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"notes", L"hidden.jpg", L"file1.txt", L"file10.txt", L"File2.txt"}));
    EXPECT_EQ(HeaderFormat(2), HDF_SORTUP);
    EXPECT_EQ(HeaderFormat(1), 0);
}

TEST_F(ScanTest, SortIsRefusedWhenItMustNotRun)
{
    const std::vector<HeldPost> held = ProcessHeld();
    ClickColumn(g_app.listOriginal, 1);
    EXPECT_EQ(HeaderFormat(0), HDF_SORTUP) << "no sort during a batch";
    EXPECT_EQ(Cell(g_app.listOriginal, 0, 0), L"file1.txt");
    DeliverAll(held);
    const std::vector<std::wstring> before = Names();
    BeginRowDrag(0, POINT{0, 0});
    SortByColumn(1);
    CancelRowDrag();
    ClickColumn(g_app.listNew, 1);  // the new-names list has no sorting
    SortByColumn(4);
    SortByColumn(-1);
    EXPECT_EQ(Names(), before);
    EXPECT_EQ(HeaderFormat(0), HDF_SORTUP);
    EXPECT_EQ(HeaderFormat(1), 0);

    Command(40002);  // Clear List
    ClickColumn(g_app.listOriginal, 1);
    EXPECT_EQ(HeaderFormat(0), 0);
    EXPECT_EQ(HeaderFormat(1), 0);
}

TEST_F(ScanTest, ClearListEmptiesBothListsAndRemovesTheArrow)
{
    Command(40002);
    EXPECT_TRUE(g_app.files.empty());
    EXPECT_EQ(ItemCount(g_app.listOriginal), 0);
    EXPECT_EQ(ItemCount(g_app.listNew), 0);
    EXPECT_EQ(HeaderFormat(0), 0);
    EXPECT_FALSE(IsWindowEnabled(g_app.processButton));
    EXPECT_EQ(StatusText(), L"Files: 0  |  Ready: 0  |  Unchanged: 0  |  Conflicts: 0");
    EXPECT_EQ(g_app.settings.inputDir, input_.path());  // the directories stay
    Refresh();
    EXPECT_EQ(g_app.files.size(), 5u);
}

TEST_F(ScanTest, RescanRestoresNameOrderAndClearsTheSelection)
{
    ClickColumn(g_app.listOriginal, 1);
    LVITEMW select = {};
    select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    select.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(g_app.listOriginal, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&select));
    ASSERT_EQ(RowState(g_app.listNew, 2), static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED));

    input_.Write(L"a new file", "n");
    Refresh();
    EXPECT_EQ(Names().front(), L"a new file");
    EXPECT_EQ(HeaderFormat(0), HDF_SORTUP);
    for (HWND list : {g_app.listOriginal, g_app.listNew}) {
        EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
        for (int row = 0; row < 6; ++row) EXPECT_EQ(RowState(list, row), 0u) << row;
    }
}
