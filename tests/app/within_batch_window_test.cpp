// "Allow renames within the batch" through the real main window: today's statuses while it is
// off; with it on a shift and a change of case run, the undo works after the window was closed
// and opened again, and an interrupted batch is finished or rolled back at the next start.
#include <algorithm>
#include <thread>

#include "app/processing.h"
#include "files/batch_moves.h"
#include "resources/resource.h"
#include "tests/app/window_fixture.h"

namespace {

const std::vector<std::string> kBefore = {"1.txt=one", "2.txt=two", "3.txt=three", "5.JPG=five"};
const std::vector<std::string> kAfter = {"2.txt=one", "3.txt=two", "4.txt=three", "5.jpg=five"};

}  // namespace

class WithinBatchWindow : public FilesWindowTest {
protected:
    void PrepareFiles() override
    {
        input_.Write(L"1.txt", "one");
        input_.Write(L"2.txt", "two");
        input_.Write(L"3.txt", "three");
        input_.Write(L"5.JPG", "five");
    }
    // Row p (from 1) becomes p + 1 with its extension lower-cased: a shift, and 5.JPG -> 5.jpg.
    void PrepareSettings(AppSettings& settings) override
    {
        settings.rules.prefix.start = 2;
        settings.rules.prefix.pad = 1;
        settings.rules.replaceEntireName = true;
        settings.rules.extMode = ExtMode::Lowercase;
    }
    static std::vector<std::wstring> Statuses()
    {
        std::vector<std::wstring> cells;
        for (int i = 0; i < ItemCount(g_app.listNew); ++i) cells.push_back(Cell(g_app.listNew, i, 2));
        return cells;
    }
    static bool Checked()
    {
        return GetMenuState(GetMenu(g_app.mainWindow), IDM_RENAME_WITHIN_BATCH, MF_BYCOMMAND) & MF_CHECKED;
    }
    std::wstring Journal() const { return JournalPathBeside(settingsPath_); }
};

TEST_F(WithinBatchWindow, OffAsTodayOnRenamesAndUndoesAfterAReopen)
{
    EXPECT_FALSE(Checked());
    EXPECT_EQ(Statuses(), (std::vector<std::wstring>{L"Already exists", L"Already exists", L"Ready", L"Unchanged"}));
    Command(IDM_RENAME_WITHIN_BATCH);
    EXPECT_TRUE(Checked());
    EXPECT_EQ(Statuses(), (std::vector<std::wstring>{L"Ready", L"Ready", L"Ready", L"Ready"}));
    SaveSettings(true);
    EXPECT_TRUE(SavedSettings().renameWithinBatch);

    RunProcess({IDYES});
    EXPECT_EQ(Contents(input_), kAfter);
    EXPECT_EQ(StatusText(), L"Finished. Renamed/copied: 4  |  Skipped: 0  |  Errors: 0  |  Total: 4");
    ASSERT_TRUE(TempDir::Exists(Journal())) << "the record of the batch is kept for Undo";

    DestroyMainWindowForTest();
    ASSERT_TRUE(ReopenMainWindow());
    const std::vector<SeenBox> seen = RunAnswered(IDM_UNDO_LAST_BATCH, {IDYES});
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen[0].text, L"Undo the last batch? 4 file(s) will be put back.");
    EXPECT_EQ(Contents(input_), kBefore);
    EXPECT_FALSE(TempDir::Exists(Journal())) << "nothing left to undo, nothing kept";
}

TEST_F(WithinBatchWindow, AnInterruptedBatchIsFinishedOrRolledBackAtTheNextStart)
{
    const struct {
        int answer;
        std::vector<std::string> files;
        std::wstring status;
    } cases[] = {
        {IDYES, kAfter, L"The interrupted batch was finished: 3 file(s) moved into place."},
        {IDNO, kBefore, L"The interrupted batch was rolled back: 1 file(s) put back."},
    };
    Command(IDM_RENAME_WITHIN_BATCH);
    for (const auto& c : cases) {
        FileList rows = g_app.files;
        OrderedMoves moves;
        std::vector<size_t> listRow;
        ASSERT_TRUE(ArrangeBatch(rows, ProcessMode::RenameInPlace, Journal(), moves, listRow));
        ASSERT_EQ(RunMoveUnit(moves, moves.units[0]), 0u);  // 3.txt -> 4.txt, then the process died
        moves.journal.Close();

        {
            BoxAnswerer answerer({c.answer});
            EXPECT_EQ(RecoverInterruptedBatch(), c.status);
            ASSERT_FALSE(answerer.Seen().empty());
            EXPECT_EQ(answerer.Seen()[0].text, L"The last batch was interrupted. Finish it?");
        }
        EXPECT_EQ(Contents(input_), c.files);
        EXPECT_EQ(RecoverInterruptedBatch(), L"") << "asked once";
        if (c.answer == IDYES) {
            RestoreLastBatch();
            RunAnswered(IDM_UNDO_LAST_BATCH, {IDYES});
            EXPECT_EQ(Contents(input_), kBefore) << "a finished batch can be undone";
        }
        Refresh();
    }
}

// A batch of the command line running on the journal: Process says so and moves nothing, and
// that batch's running journal is not taken for an interrupted one; once it is gone, Process
// leaves its journal to the recovery.
TEST_F(WithinBatchWindow, ABatchRunningElsewhereOnTheJournalIsLeftAlone)
{
    Command(IDM_RENAME_WITHIN_BATCH);
    HANDLE taken = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread other([&] {  // a mutex is its thread's: held on the UI thread, the window could take it again
        HANDLE mutex = CreateMutexW(nullptr, TRUE, JournalMutexName(Journal()).c_str());
        SetEvent(taken);
        WaitForSingleObject(done, INFINITE);
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    });
    WaitForSingleObject(taken, INFINITE);
    const std::vector<SeenBox> seen = RunProcess({IDYES, IDOK});
    const std::string running =
        FormatRunningBatch({L"1-2", ProcessMode::RenameInPlace, {{input_ / L"1.txt", L"", input_ / L"2.txt"}}});
    TempDir::WriteFileBytes(Journal(), running);
    const std::wstring recovered = RecoverInterruptedBatch();
    SetEvent(done);
    other.join();
    CloseHandle(taken);
    CloseHandle(done);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].text, kJournalBusyText);
    EXPECT_EQ(Contents(input_), kBefore);
    EXPECT_EQ(recovered, L"");
    EXPECT_EQ(TempDir::ReadFileBytes(Journal()), running);
    // Once that batch is gone, its journal is an interrupted batch: the next start's to recover.
    const std::vector<SeenBox> interrupted = RunProcess({IDYES, IDOK});
    ASSERT_EQ(interrupted.size(), 2u);
    EXPECT_EQ(interrupted[1].text.rfind(L"The last batch was interrupted", 0), 0u) << interrupted[1].text;
    EXPECT_EQ(Contents(input_), kBefore);
    EXPECT_EQ(TempDir::ReadFileBytes(Journal()), running);
}
