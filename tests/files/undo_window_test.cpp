// Undo Last Batch through the real main window over small real folders: the files go back,
// nothing another file or the user's change holds is overwritten or deleted, and the menu item
// is available exactly while there is something to undo and nothing runs.
#include <algorithm>
#include <atomic>

#include "resources/resource.h"
#include "tests/files/process_fixture.h"

namespace {

const std::wstring kKeptBox =
    L"Some files were left as they are: putting them back would overwrite or lose data, or they are in use.";

bool UndoAvailable()
{
    return !(GetMenuState(GetMenu(g_app.mainWindow), IDM_UNDO_LAST_BATCH, MF_BYCOMMAND) & MF_GRAYED);
}

// "name=bytes" of every file in a folder, sorted.
std::vector<std::string> Contents(const TempDir& folder)
{
    std::vector<std::string> files;
    WIN32_FIND_DATAW data = {};
    HANDLE find = FindFirstFileW((folder / L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return files;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::wstring name = data.cFileName;
        files.push_back(std::string(name.begin(), name.end()) + "=" + TempDir::ReadFileBytes(folder / name));
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(files.begin(), files.end());
    return files;
}

std::atomic<bool> g_availableMidBatch{true};
void WatchMenuMidBatch(const std::wstring&, const std::wstring&) { g_availableMidBatch = UndoAvailable(); }

}  // namespace

class UndoTest : public ProcessFixture {
protected:
    std::vector<SeenBox> Undo(std::vector<int> answers) { return RunAnswered(IDM_UNDO_LAST_BATCH, std::move(answers)); }
    std::vector<std::wstring> StatusCells()
    {
        std::vector<std::wstring> cells;
        for (int row = 0; row < ItemCount(g_app.listNew); ++row) cells.push_back(Cell(g_app.listNew, row, 2));
        return cells;
    }
};

TEST_F(UndoTest, PutsTheLastBatchBackAndLeavesWhatItMayNotTouch)
{
    const std::string abc[] = {"a.txt=alpha", "b.txt=bravo", "c.txt=charlie"};
    const std::wstring taken = DescribeError(ERROR_ALREADY_EXISTS);
    const struct {
        const char* name;
        ProcessMode mode;
        bool toOutput;
        const wchar_t* change;  // after the batch: a name written anew ("" none)
        const wchar_t* holdOpen;   // in the output folder, held by a reader during the undo
        std::wstring prompt;
        std::wstring summary;
        std::vector<std::string> input, output;
        std::vector<std::wstring> cells;  // the Status column afterwards
    } cases[] = {
        {"rename", ProcessMode::RenameInPlace, false, L"", L"",
         L"Undo the last batch? 3 file(s) will be put back.", L"Undone: 3  |  Kept: 0  |  Total: 3",
         {abc[0], abc[1], abc[2]}, {}, {L"Ready", L"Ready", L"Ready"}},
        {"old name taken", ProcessMode::RenameInPlace, false, L"b.txt", L"",
         L"Undo the last batch? 3 file(s) will be put back.", L"Undone: 2  |  Kept: 1  |  Total: 3",
         {"002b.txt=bravo", abc[0], "b.txt=BRAVO", abc[2]}, {}, {taken, L"Ready", L"Ready", L"Ready"}},
        {"copy changed", ProcessMode::CopyAndRename, true, L"002b.txt", L"",
         L"Undo the last batch? 3 copied file(s) will be deleted.", L"Undone: 2  |  Kept: 1  |  Total: 3",
         {abc[0], abc[1], abc[2]}, {"002b.txt=BRAVO"}, {L"Ready", L"Skipped", L"Ready"}},
        {"move, one held", ProcessMode::MoveAndRename, true, L"", L"002b.txt",
         L"Undo the last batch? 3 file(s) will be put back.", L"Undone: 2  |  Kept: 1  |  Total: 3",
         {abc[0], abc[2]}, {"002b.txt=bravo"}, {L"Ready", L"Ready"}},
    };
    EXPECT_FALSE(UndoAvailable());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir in;
        TempDir out;
        for (const std::string& file : abc) in.Write(std::wstring(file.begin(), file.begin() + 5), file.substr(6));
        SetInputDir(in.path());
        if (c.toOutput) {
            UseOutput(c.mode == ProcessMode::CopyAndRename ? g_app.modeCopy : g_app.modeMove, c.mode, out.path());
        } else {
            SelectMode(g_app.modeRename, c.mode);
        }
        RunProcess({IDYES});
        ASSERT_TRUE(UndoAvailable());
        // The length of "bravo": only the copy's time tells it apart.
        if (*c.change) TempDir::WriteFileBytes((c.toOutput ? out : in) / c.change, "BRAVO");
        // Neither a scan, nor Clear List, nor a rule change forgets the batch; declining keeps it.
        Command(40002);
        Refresh();
        Type(g_app.searchEdit, L"zz");
        EXPECT_EQ(Undo({IDNO}).size(), 1u);
        ASSERT_TRUE(UndoAvailable());
        Type(g_app.searchEdit, L"");

        std::vector<SeenBox> boxes;
        {
            HeldOpen reader(out / c.holdOpen, FILE_SHARE_READ);
            boxes = Undo({IDYES});
        }
        ASSERT_GE(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.prompt);
        EXPECT_TRUE(boxes[0].hasYesNo);
        const bool kept = c.summary.find(L"Kept: 0") == std::wstring::npos;
        EXPECT_EQ(boxes.size(), kept ? 2u : 1u);
        if (kept && boxes.size() > 1) {
            EXPECT_EQ(boxes[1].text, kKeptBox);
        }
        EXPECT_EQ(Contents(in), c.input);
        EXPECT_EQ(Contents(out), c.output);
        EXPECT_EQ(StatusText(), L"Undo finished. " + c.summary);
        EXPECT_EQ(StatusCells(), c.cells);
        EXPECT_FALSE(UndoAvailable());

        // Nothing is left to undo, however the command arrives.
        EXPECT_TRUE(Undo({IDYES}).empty());
        EXPECT_EQ(Contents(in), c.input);
    }
}

TEST_F(UndoTest, UnavailableWhileABatchRunsAndANewBatchReplacesTheLast)
{
    TempDir first;
    TempDir second;
    UseOutput(g_app.modeCopy, ProcessMode::CopyAndRename, first.path());
    RunProcess({IDYES});
    ASSERT_TRUE(UndoAvailable());
    Type(g_app.outputEdit, second.path().c_str());
    const CopyStepHook previous = SetCopyStepHook(WatchMenuMidBatch);
    RunProcess({IDYES});
    SetCopyStepHook(previous);
    EXPECT_FALSE(g_availableMidBatch);
    EXPECT_TRUE(UndoAvailable());

    const auto boxes = Undo({IDYES});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"Undo the last batch? 3 copied file(s) will be deleted.");
    EXPECT_TRUE(Contents(second).empty());
    EXPECT_EQ(Contents(first), (std::vector<std::string>{"001a.txt=alpha", "002b.txt=bravo", "003c.txt=charlie"}));
}
