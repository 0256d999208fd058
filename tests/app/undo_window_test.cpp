// Undo Last Batch through the real main window over small real folders: the files go back,
// nothing another file or the user's change holds is touched, and the menu item is available
// exactly while there is something to undo and nothing runs.
#include <algorithm>
#include <atomic>

#include "resources/resource.h"
#include "tests/app/process_fixture.h"

namespace {

bool UndoAvailable()
{
    return !(GetMenuState(GetMenu(g_app.mainWindow), IDM_UNDO_LAST_BATCH, MF_BYCOMMAND) & MF_GRAYED);
}

std::atomic<bool> g_availableWhileBusy{true};
void WatchMenu(const std::wstring&, const std::wstring&)
{
    g_availableWhileBusy = UndoAvailable();
}

}  // namespace

class UndoTest : public ProcessFixture {
protected:
    std::vector<SeenBox> Undo(std::vector<int> answers) { return RunAnswered(IDM_UNDO_LAST_BATCH, std::move(answers)); }
};

TEST_F(UndoTest, PutsTheLastBatchBackAndLeavesWhatItMayNotTouch)
{
    const std::vector<std::string> abc = {"a.txt=alpha", "b.txt=bravo", "c.txt=charlie"};
    const std::wstring back = L"Undo the last batch? 3 file(s) will be put back.";
    const struct {
        ProcessMode mode;
        const wchar_t* change;    // after the batch, a file (in the folder written to) written anew
        const wchar_t* holdOpen;  // in the output folder, held by a reader during the undo
        const wchar_t* readOnly;  // in the input folder, read-only before the batch
        std::wstring prompt;
        int kept;
        std::vector<std::string> input, output;
        std::vector<std::wstring> cells;  // the Status column afterwards
    } cases[] = {
        {ProcessMode::RenameInPlace, L"", L"", L"", back, 0, abc, {}, {L"Ready", L"Ready", L"Ready"}},
        {ProcessMode::RenameInPlace,
         L"b.txt",
         L"",
         L"",
         back,
         1,
         {"002b.txt=bravo", abc[0], "b.txt=BRAVO", abc[2]},
         {},
         {DescribeError(ERROR_ALREADY_EXISTS), L"Ready", L"Ready", L"Ready"}},
        // The same length as before: only the copy's time tells it was changed. The copy of a
        // read-only file is read-only as well, and still goes.
        {ProcessMode::CopyAndRename,
         L"002b.txt",
         L"",
         L"a.txt",
         L"Undo the last batch? 3 copied file(s) will be deleted.",
         1,
         abc,
         {"002b.txt=BRAVO"},
         {L"Ready", L"Skipped", L"Ready"}},
        // Held, the file cannot leave the output folder; no copy of it is left at home. Its
        // attempt to copy back lets the test look at the menu while the undo runs.
        {ProcessMode::MoveAndRename,
         L"",
         L"002b.txt",
         L"",
         back,
         1,
         {abc[0], abc[2]},
         {"002b.txt=bravo"},
         {L"Ready", L"Ready"}},
    };
    EXPECT_FALSE(UndoAvailable());
    const CopyStepHook previous = SetCopyStepHook(WatchMenu);
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        TempDir in, out;
        for (const std::string& file : abc) in.Write(std::wstring(file.begin(), file.begin() + 5), file.substr(6));
        if (*c.readOnly) SetFileAttributesW((in / c.readOnly).c_str(), FILE_ATTRIBUTE_READONLY);
        SetInputDir(in.path());
        HWND radios[] = {g_app.modeRename, g_app.modeCopy, g_app.modeMove};
        const bool toOutput = c.mode != ProcessMode::RenameInPlace;
        if (toOutput) {
            UseOutput(radios[static_cast<int>(c.mode)], c.mode, out.path());
        } else {
            SelectMode(radios[0], c.mode);
        }
        RunProcess({IDYES});
        if (*c.change) TempDir::WriteFileBytes((toOutput ? out : in) / c.change, "BRAVO");
        // Neither a scan, nor Clear List, nor a rule change forgets the batch; declining keeps it.
        Command(IDM_CLEAR_LIST);
        Refresh();
        Type(g_app.searchEdit, L"zz");
        EXPECT_EQ(Undo({IDNO}).size(), 1u);
        Type(g_app.searchEdit, L"");
        ASSERT_TRUE(UndoAvailable());

        std::vector<SeenBox> boxes;
        g_availableWhileBusy = true;
        {
            HeldOpen reader(out / c.holdOpen, FILE_SHARE_READ);
            boxes = Undo({IDYES});
        }
        if (*c.holdOpen) {
            EXPECT_FALSE(g_availableWhileBusy);
        }
        ASSERT_EQ(boxes.size(), c.kept ? 2u : 1u);
        EXPECT_EQ(boxes[0].text, c.prompt);
        EXPECT_TRUE(boxes[0].hasYesNo);
        if (c.kept) {
            EXPECT_EQ(boxes[1].text, L"Some files were left as they are: putting them back would overwrite or lose "
                                     L"data, or they are in use.");
        }
        EXPECT_EQ(Contents(in), c.input);
        EXPECT_EQ(Contents(out), c.output);
        wchar_t summary[128];
        swprintf(summary, 128, L"Undo finished. Undone: %d  |  Kept: %d  |  Total: 3", 3 - c.kept, c.kept);
        EXPECT_EQ(StatusText(), summary);
        for (int row = 0; row < static_cast<int>(c.cells.size()); ++row)
            EXPECT_EQ(Cell(g_app.listNew, row, 2), c.cells[row]) << row;
        EXPECT_EQ(ItemCount(g_app.listNew), static_cast<int>(c.cells.size()));

        // Nothing is left to undo, however the command arrives.
        EXPECT_FALSE(UndoAvailable());
        EXPECT_TRUE(Undo({IDYES}).empty());
    }
    SetCopyStepHook(previous);
}
