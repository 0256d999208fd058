// Getting a folder into the input directory the Windows way: dropped from Explorer, pasted with
// Explorer's quotes, or picked in a dialog that opens where the edit already points.
#include "tests/app/process_fixture.h"

#include <shlobj.h>

#include <cstring>
#include <vector>

#include "app/controls.h"
#include "resources/resource.h"

namespace {

class FolderInputTest : public ProcessFixture {
protected:
    // Beside the input folder: two files, and a subfolder with one file.
    void SetUp() override
    {
        ProcessFixture::SetUp();
        if (HasFatalFailure()) return;
        ShowReady();
        for (const wchar_t* name : {L"a.txt", L"b.txt"}) dir_.Write(name, "");
        TempDir::WriteFileBytes(dir_.MakeDir(L"inner") + L"\\c.txt", "");
    }

    // The HDROP Explorer hands over: DROPFILES, then wide paths each ended by a NUL, then a NUL.
    // The window owns it once sent and releases it with DragFinish.
    void Drop(const std::vector<std::wstring>& paths)
    {
        std::wstring list;
        for (const std::wstring& path : paths) list.append(path).push_back(L'\0');
        list.push_back(L'\0');
        HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
        auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
        header->pFiles = sizeof(DROPFILES);
        header->fWide = TRUE;
        std::memcpy(header + 1, list.data(), list.size() * sizeof(wchar_t));
        GlobalUnlock(memory);
        SendMessageW(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    }

    TempDir dir_{L"op-folder-input"};
};

TEST_F(FolderInputTest, DroppedItemSetsTheInputDirectoryAsBrowseDoes)
{
    EXPECT_TRUE(GetWindowLongPtrW(window_, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) << "Explorer drops only where accepted";
    const std::wstring inner = dir_ / L"inner";
    struct Row {
        const char* what;
        std::vector<std::wstring> dropped;
        std::wstring input;  // the edit afterwards
        size_t files;
    } rows[] = {
        {"folder", {dir_.path()}, dir_.path(), 2},
        {"file: its folder", {inner + L"\\c.txt"}, inner, 1},
        {"several: the first", {dir_ / L"b.txt", inner}, dir_.path(), 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Type(g_app.inputEdit, L"C:\\before");
        Type(g_app.outputEdit, L"C:\\before");
        Command(IDM_CLEAR_LIST);
        g_app.settings.autoSave = false;  // a drop saves regardless, as a pick does
        DeleteSettingsFile();
        Drop(row.dropped);
        EXPECT_EQ(Text(g_app.inputEdit), row.input);
        EXPECT_EQ(Text(g_app.outputEdit), row.input) << "Rename in Place: the output follows";
        EXPECT_EQ(ItemCount(g_app.listOriginal), static_cast<int>(row.files));
        EXPECT_EQ(SavedSettings().inputDir, row.input);
    }
}

TEST_F(FolderInputTest, DropDuringABatchIsRefused)
{
    const std::vector<HeldPost> held = ProcessHeld();
    DeleteSettingsFile();
    Drop({dir_.path()});
    EXPECT_EQ(Text(g_app.inputEdit), input_.path());
    EXPECT_EQ(Cell(g_app.listOriginal, 0, 0), L"a.txt");
    EXPECT_FALSE(SettingsFileExists());
    DeliverAll(held);
}

// Explorer's "Copy as path" gives "C:\path" with the quotes.
TEST_F(FolderInputTest, QuotedPastedPathsAreReadWithoutTheQuotes)
{
    g_app.settings.autoSave = true;  // so the edits are saved as they are read
    Type(g_app.inputEdit, (L"  \"" + dir_.path() + L"\" ").c_str());
    Command(kIdInputEdit, EN_KILLFOCUS, g_app.inputEdit);
    EXPECT_EQ(ItemCount(g_app.listOriginal), 2);
    EXPECT_EQ(SavedSettings().inputDir, dir_.path());

    Click(g_app.modeCopy);
    SendMessageW(g_app.sameAsInputCheck, BM_SETCHECK, BST_UNCHECKED, 0);
    Command(kIdSameAsInput, BN_CLICKED, g_app.sameAsInputCheck);
    Type(g_app.outputEdit, (L"\"" + dir_.path() + L"\\inner\"").c_str());
    EXPECT_EQ(SavedSettings().outputDir, dir_ / L"inner");
}

// A name typed into the picker is taken from the folder it shows: the edit's folder.
TEST_F(FolderInputTest, FolderPickerOpensAtTheEditsFolder)
{
    Type(g_app.inputEdit, dir_.path().c_str());
    DialogAnswerer pick(IDOK, L"inner");
    Command(kIdInputBrowse, BN_CLICKED, g_app.inputBrowse);
    pick.Finish();
    ASSERT_TRUE(pick.answered()) << "no folder dialog appeared";
    EXPECT_EQ(Text(g_app.inputEdit), dir_ / L"inner");
    EXPECT_EQ(ItemCount(g_app.listOriginal), 1);
}

}  // namespace
