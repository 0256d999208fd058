// Processing through the real main window: the Process command, its checks and prompts (the
// test answers the message boxes), the worker's messages, the summary and the rescan.
#include "files/worker.h"

#include <atomic>

#include "app/commands.h"
#include "tests/app/process_fixture.h"

namespace {

const std::wstring kCaption = L"Orvane Pallisto";
const std::wstring kFailedBox =
    L"Some files could not be processed (they may be open or locked). Those items are marked Failed in the preview "
    L"list.";

std::vector<std::wstring> Texts(const std::vector<SeenBox>& boxes)
{
    std::vector<std::wstring> texts;
    for (const SeenBox& box : boxes) texts.push_back(box.text);
    return texts;
}

// Holds the worker at its first post until the gate opens, so a test can act mid-batch.
HANDLE g_gate = nullptr;
BOOL WINAPI GatedPost(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WaitForSingleObject(g_gate, 15000);
    return PostMessageW(window, message, wParam, lParam);
}

}  // namespace

class ProcessTest : public ProcessFixture {
protected:
    void SetSearch(const wchar_t* search, const wchar_t* replace)
    {
        Type(g_app.searchEdit, search);
        Type(g_app.replaceEdit, replace);
    }
    void NoPrefix()
    {
        Choose(g_app.prefixTypeCombo, 0);
        ASSERT_EQ(g_app.settings.rules.prefix.type, SequenceType::None);
    }
};

TEST_F(ProcessTest, RenameInPlaceRenamesOnDiskAndKeepsTheSummaryOverTheRescan)
{
    const auto boxes = RunProcess({IDYES});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, kCaption);
    EXPECT_EQ(boxes[0].text, L"Process 3 file(s) (rename)?");
    EXPECT_TRUE(boxes[0].hasYesNo);

    EXPECT_EQ(TempDir::ReadFileBytes(input_ / L"001a.txt"), "alpha");
    EXPECT_EQ(TempDir::ReadFileBytes(input_ / L"002b.txt"), "bravo");
    EXPECT_EQ(TempDir::ReadFileBytes(input_ / L"003c.txt"), "charlie");
    EXPECT_FALSE(TempDir::Exists(input_ / L"a.txt"));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"001a.txt", L"002b.txt", L"003c.txt"}));  // rescanned
    const std::wstring summary = L"Finished. Renamed/copied: 3  |  Skipped: 0  |  Errors: 0  |  Total: 3";
    EXPECT_EQ(StatusText(), summary);
    EXPECT_EQ(g_app.statusBarText, summary);
    EXPECT_TRUE(IsWindowEnabled(g_app.processButton));
    EXPECT_TRUE(IsWindowEnabled(g_app.inputEdit));
}

TEST_F(ProcessTest, DecliningThePromptTouchesNothing)
{
    const auto boxes = RunProcess({IDNO});
    EXPECT_EQ(Texts(boxes), (std::vector<std::wstring>{L"Process 3 file(s) (rename)?"}));
    EXPECT_TRUE(TempDir::Exists(input_ / L"a.txt"));
    EXPECT_FALSE(TempDir::Exists(input_ / L"001a.txt"));
    EXPECT_EQ(g_app.files[0].status, ItemStatus::Ready);
}

TEST_F(ProcessTest, CopyKeepsSourcesAndTheRowsResults)
{
    TempDir out;
    UseOutput(g_app.modeCopy, ProcessMode::CopyAndRename, out.path());
    const auto boxes = RunProcess({IDYES});
    EXPECT_EQ(Texts(boxes), (std::vector<std::wstring>{L"Process 3 file(s) (copy and rename)?"}));
    EXPECT_EQ(TempDir::ReadFileBytes(out / L"001a.txt"), "alpha");
    EXPECT_EQ(TempDir::ReadFileBytes(out / L"003c.txt"), "charlie");
    EXPECT_EQ(TempDir::ReadFileBytes(input_ / L"a.txt"), "alpha");
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"a.txt", L"b.txt", L"c.txt"}));  // no rescan
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(g_app.files[row].status, ItemStatus::Done);
        EXPECT_EQ(Cell(g_app.listNew, row, 2), L"Done");
        EXPECT_EQ(Cell(g_app.listOriginal, row, 0), g_app.files[row].name);  // copies leave the names
    }
    EXPECT_EQ(StatusText(), L"Finished. Renamed/copied: 3  |  Skipped: 0  |  Errors: 0  |  Total: 3");
}

TEST_F(ProcessTest, MoveCreatesTheMissingOutputFolderWhenTheUserAgrees)
{
    TempDir parent;
    const std::wstring out = parent / L"made";
    UseOutput(g_app.modeMove, ProcessMode::MoveAndRename, out);
    const auto boxes = RunProcess({IDYES, IDYES});
    EXPECT_EQ(Texts(boxes), (std::vector<std::wstring>{L"The output directory does not exist. Create it?",
                                                       L"Process 3 file(s) (move and rename)?"}));
    EXPECT_TRUE(boxes[0].hasYesNo);
    EXPECT_EQ(TempDir::ReadFileBytes(out + L"\\002b.txt"), "bravo");
    EXPECT_FALSE(TempDir::Exists(input_ / L"b.txt"));
    EXPECT_TRUE(g_app.files.empty());  // the input folder, rescanned, is empty now
    EXPECT_EQ(StatusText(), L"Finished. Renamed/copied: 3  |  Skipped: 0  |  Errors: 0  |  Total: 3");
}

TEST_F(ProcessTest, ARelativeOutputFolderIsAFolderOfTheInputFolder)
{
    const struct {
        HWND radio;
        ProcessMode mode;
        const wchar_t* word;
        bool sourcesStay;
    } cases[] = {
        {g_app.modeCopy, ProcessMode::CopyAndRename, L"copy and rename", true},
        {g_app.modeMove, ProcessMode::MoveAndRename, L"move and rename", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        TempDir in;
        for (const wchar_t* name : {L"a.txt", L"b.txt"}) in.Write(name, "x");
        SetInputDir(in.path());
        UseOutput(c.radio, c.mode, L"sub");
        EXPECT_EQ(Cell(g_app.listNew, 0, 1), in / L"sub\\001a.txt");
        const auto boxes = RunProcess({IDYES, IDYES});
        // Both prompts name the folder in full.
        const std::wstring full = L"\n\n" + (in / L"sub");
        EXPECT_EQ(Texts(boxes), (std::vector<std::wstring>{L"The output directory does not exist. Create it?" + full,
                                                           L"Process 2 file(s) (" + std::wstring(c.word) + L")?" + full}));
        EXPECT_EQ(TempDir::ReadFileBytes(in / L"sub\\001a.txt"), "x");
        EXPECT_EQ(TempDir::ReadFileBytes(in / L"sub\\002b.txt"), "x");
        EXPECT_EQ(TempDir::Exists(in / L"b.txt"), c.sourcesStay);
        EXPECT_EQ(StatusText(), L"Finished. Renamed/copied: 2  |  Skipped: 0  |  Errors: 0  |  Total: 2");
    }
}

TEST_F(ProcessTest, OutputFolderChecks)
{
    TempDir parent;
    const struct {
        std::wstring output;
        std::vector<int> answers;
        std::vector<std::wstring> texts;
    } cases[] = {
        {L"", {}, {L"Choose an output directory, or enable \"Same as input directory\"."}},
        {parent / L"declined", {IDNO}, {L"The output directory does not exist. Create it?"}},
        {parent / L"no\\such\\parent",
         {IDYES},
         {L"The output directory does not exist. Create it?", L"Could not create the output directory."}},
    };
    for (const auto& c : cases) {
        UseOutput(g_app.modeMove, ProcessMode::MoveAndRename, c.output);
        EXPECT_EQ(Texts(RunProcess(c.answers)), c.texts) << c.output;
        if (!c.output.empty()) {
            EXPECT_FALSE(TempDir::Exists(c.output)) << c.output;
        }
        EXPECT_TRUE(TempDir::Exists(input_ / L"a.txt"));
        EXPECT_FALSE(g_app.busy);
    }
}

TEST_F(ProcessTest, NothingReadyIsReportedAndNothingStarts)
{
    NoPrefix();  // every name stays as it is
    const auto boxes = RunProcess({});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"There are no files ready to process. Conflicts and unchanged names are skipped.");
    EXPECT_FALSE(boxes[0].hasYesNo);
    EXPECT_EQ(g_app.files[0].status, ItemStatus::Unchanged);
}

TEST_F(ProcessTest, ConflictsAreCountedSkippedAndKeepTheirStatus)
{
    TempDir out;
    out.Write(L"003c.txt", "old bytes");
    UseOutput(g_app.modeCopy, ProcessMode::CopyAndRename, out.path());
    const auto boxes = RunProcess({IDYES});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"1 file(s) have conflicts and will be skipped. Continue with 2 ready file(s)?");
    EXPECT_EQ(g_app.files[2].status, ItemStatus::TargetExists);
    EXPECT_EQ(Cell(g_app.listNew, 2, 2), g_app.files[2].statusText);
    EXPECT_FALSE(g_app.files[2].statusText.empty());
    EXPECT_EQ(TempDir::ReadFileBytes(out / L"003c.txt"), "old bytes");
    EXPECT_EQ(TempDir::ReadFileBytes(out / L"001a.txt"), "alpha");
    EXPECT_EQ(StatusText(), L"Finished. Renamed/copied: 2  |  Skipped: 1  |  Errors: 0  |  Total: 3");
}

TEST_F(ProcessTest, UnchangedRowsEndSkippedWithTheirOwnText)
{
    SelectMode(g_app.modeCopy, ProcessMode::CopyAndRename);  // into the input folder itself
    NoPrefix();
    SetSearch(L"b", L"x");
    const auto boxes = RunProcess({IDYES});
    EXPECT_EQ(Texts(boxes), (std::vector<std::wstring>{L"Process 1 file(s) (copy and rename)?"}));
    EXPECT_EQ(TempDir::ReadFileBytes(input_ / L"x.txt"), "bravo");
    EXPECT_EQ(g_app.files[0].status, ItemStatus::Skipped);
    EXPECT_EQ(Cell(g_app.listNew, 0, 2), L"Unchanged");
    EXPECT_EQ(g_app.files[1].status, ItemStatus::Done);
    EXPECT_EQ(StatusText(), L"Finished. Renamed/copied: 1  |  Skipped: 2  |  Errors: 0  |  Total: 3");
}

TEST_F(ProcessTest, LockedAndVanishedSourcesFailButTheBatchGoesOn)
{
    TempDir out;
    UseOutput(g_app.modeCopy, ProcessMode::CopyAndRename, out.path());
    HeldOpen lock(input_ / L"a.txt");
    DeleteFileW((input_ / L"c.txt").c_str());  // gone since it was planned
    const auto boxes = RunProcess({IDYES});
    EXPECT_EQ(Texts(boxes), (std::vector<std::wstring>{L"Process 3 file(s) (copy and rename)?", kFailedBox}));
    EXPECT_EQ(g_app.files[0].status, ItemStatus::Failed);
    EXPECT_EQ(g_app.files[0].statusText.compare(0, kLocked.size(), kLocked), 0) << g_app.files[0].statusText;
    EXPECT_EQ(g_app.files[1].status, ItemStatus::Done);
    EXPECT_EQ(g_app.files[2].status, ItemStatus::Failed);
    EXPECT_EQ(g_app.files[2].statusText, DescribeError(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Cell(g_app.listNew, 2, 2), DescribeError(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(TempDir::ReadFileBytes(out / L"002b.txt"), "bravo");
    EXPECT_FALSE(TempDir::Exists(out / L"001a.txt"));
    EXPECT_EQ(StatusText(), L"Finished. Renamed/copied: 1  |  Skipped: 0  |  Errors: 2  |  Total: 3");
}

TEST_F(ProcessTest, LockedSourceInRenameModeStaysAndTheRestIsRenamed)
{
    HeldOpen lock(input_ / L"b.txt");
    const auto boxes = RunProcess({IDYES});
    EXPECT_EQ(Texts(boxes), (std::vector<std::wstring>{L"Process 3 file(s) (rename)?", kFailedBox}));
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"001a.txt", L"003c.txt", L"b.txt"}));
    EXPECT_EQ(StatusText(), L"Finished. Renamed/copied: 2  |  Skipped: 0  |  Errors: 1  |  Total: 3");
    // After the rescan the file that failed is still marked, with its reason, until the next plan.
    EXPECT_EQ(g_app.files[2].status, ItemStatus::Failed);
    EXPECT_EQ(Cell(g_app.listNew, 2, 2).compare(0, kLocked.size(), kLocked), 0) << Cell(g_app.listNew, 2, 2);
    Refresh();
    EXPECT_EQ(Cell(g_app.listNew, 2, 2), L"Ready");
}

TEST_F(ProcessTest, ClosingAndCommandsAreRefusedWhileBusy)
{
    g_gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const PostMessageFn previous = SetWorkerPostFunction(GatedPost);
    {
        BoxAnswerer answerer({IDYES});
        Process();
        ASSERT_TRUE(g_app.busy);
        EXPECT_FALSE(IsWindowEnabled(g_app.processButton));
        EXPECT_FALSE(IsWindowEnabled(g_app.inputEdit));

        DeleteSettingsFile();
        SendMessageW(window_, WM_CLOSE, 0, 0);
        Command(40003);  // Exit goes through the same refusal
        PumpUntil([&] { return answerer.Seen().size() >= 3; }, 5000);
        Refresh();       // F5 is ignored
        Command(40002);  // so is Clear List
        EXPECT_TRUE(IsWindow(window_));
        EXPECT_FALSE(SettingsFileExists()) << "a refused close saves nothing";
        EXPECT_TRUE(g_app.busy);
        EXPECT_EQ(g_app.files.size(), 3u);
        EXPECT_EQ(Texts(answerer.Seen()),
                  (std::vector<std::wstring>{L"Process 3 file(s) (rename)?",
                                             L"Please wait for the current operation to finish.",
                                             L"Please wait for the current operation to finish."}));
        SetEvent(g_gate);
        EXPECT_TRUE(WaitIdle());
    }
    SetWorkerPostFunction(previous);
    CloseHandle(g_gate);
    EXPECT_TRUE(TempDir::Exists(input_ / L"003c.txt"));  // the batch went on to its end
    EXPECT_EQ(StatusText(), L"Finished. Renamed/copied: 3  |  Skipped: 0  |  Errors: 0  |  Total: 3");
}

TEST_F(ProcessTest, ProgressShowsEachRowsResultAndMovesADoneRowToItsNewNameUnlessCopying)
{
    const struct {
        ProcessMode mode;
        bool lockB;           // b.txt is held open while the batch runs
        bool onlyA;           // only a.txt gets a new name
        std::wstring name;    // row 1's name once its progress arrived
        std::wstring result;  // the start of its Status cell
    } cases[] = {
        {ProcessMode::RenameInPlace, false, false, L"002b.txt", L"Done"},
        {ProcessMode::MoveAndRename, false, false, L"002b.txt", L"Done"},
        {ProcessMode::CopyAndRename, false, false, L"b.txt", L"Done"},
        {ProcessMode::RenameInPlace, true, false, L"b.txt", kLocked},
        {ProcessMode::RenameInPlace, false, true, L"b.txt", L"Unchanged"},  // last: it changes the rules
    };
    const HWND radios[] = {g_app.modeRename, g_app.modeCopy, g_app.modeMove};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result + L" " + c.name);
        TempDir in, out;
        for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"}) in.Write(name, "x");
        SetInputDir(in.path());
        if (c.mode == ProcessMode::RenameInPlace) {
            SelectMode(radios[0], c.mode);
        } else {
            UseOutput(radios[static_cast<int>(c.mode)], c.mode, out.path());
        }
        if (c.onlyA) {
            NoPrefix();
            SetSearch(L"a", L"x");
        }
        std::vector<HeldPost> held;
        {
            HeldOpen lock(in / (c.lockB ? L"b.txt" : L"none"));
            held = ProcessHeld();
        }
        ASSERT_GE(held.size(), 3u);  // quick renames may share a message
        ASSERT_EQ(held[0].wParam, 0u);
        Deliver(held[0]);
        Deliver({WM_APP_PROGRESS, 1, 0});  // rows up to 1 are done
        EXPECT_EQ(Cell(g_app.listOriginal, 1, 0), c.name);
        const std::wstring result = Cell(g_app.listNew, 1, 2);
        EXPECT_EQ(result.compare(0, c.result.size(), c.result), 0) << result;
        if (c.name == L"002b.txt") {  // the row now stands for the file under its new name
            EXPECT_EQ(g_app.files[1].sourcePath, g_app.files[1].targetPath);
            EXPECT_EQ(g_app.files[1].directory, g_app.files[1].targetDirectory);
        }
        EXPECT_EQ(Cell(g_app.listOriginal, 2, 0), L"c.txt");  // its progress is yet to come
        EXPECT_EQ(StatusText(), L"Processing 2 / 3 ...");
        BoxAnswerer answerer;  // a failure's warning at the end
        for (size_t i = 1; i < held.size(); ++i) Deliver(held[i]);
        EXPECT_TRUE(WaitIdle());
    }
}

TEST_F(ProcessTest, ABurstOfProgressEndsWithTheLastCountShown)
{
    TempDir out;
    UseOutput(g_app.modeCopy, ProcessMode::CopyAndRename, out.path());
    const std::vector<HeldPost> held = ProcessHeld();
    ASSERT_EQ(held.size(), 4u);
    for (size_t i = 0; i < 3; ++i) PostMessageW(window_, held[i].message, held[i].wParam, held[i].lParam);
    EXPECT_TRUE(PumpUntil([] { return Cell(g_app.listNew, 2, 2) == L"Done"; }, 5000));
    EXPECT_EQ(Cell(g_app.listNew, 0, 2), L"Done");
    EXPECT_EQ(StatusText(), L"Processing 3 / 3 ...");
    EXPECT_EQ(g_app.statusBarText, L"Processing 3 / 3 ...");
    Deliver(held[3]);
    EXPECT_TRUE(WaitIdle());
}

// A message the window never dispatches (a modal loop may swallow one) loses nothing: the next
// progress or the end applies every outcome, and a lost end is made up when a box returns.
std::atomic<int> g_postsToDrop{-1};  // the n-th post is dropped (0 = the first)
BOOL WINAPI DroppingPost(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_postsToDrop.fetch_sub(1) == 0) return TRUE;  // "posted", never arrives
    return PostMessageW(window, message, wParam, lParam);
}

TEST_F(ProcessTest, ADroppedMessageStillEndsWithTheExactSummary)
{
    TempDir out;
    UseOutput(g_app.modeCopy, ProcessMode::CopyAndRename, out.path());
    const struct {
        int drop;
        bool closeAfter;  // the end itself was lost: a refused close's box brings it
    } cases[] = {{0, false}, {1, false}, {3, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.drop);
        Refresh();
        for (const wchar_t* name : {L"001a.txt", L"002b.txt", L"003c.txt"}) DeleteFileW((out / name).c_str());
        Type(g_app.outputEdit, out.path().c_str());
        g_postsToDrop = c.drop;
        const PostMessageFn previous = SetWorkerPostFunction(DroppingPost);
        {
            BoxAnswerer answerer({IDYES});
            Process();
            if (c.closeAfter) {
                // The worker has "posted" its end, so everything it really posted is queued.
                ASSERT_TRUE(PumpUntil([] { return g_postsToDrop < 0; }, 5000));
                Pump();
                ASSERT_FALSE(Enabled(g_app.processButton)) << "the end never arrived";
                SendMessageW(window_, WM_CLOSE, 0, 0);
            }
            EXPECT_TRUE(WaitIdle());
        }
        SetWorkerPostFunction(previous);
        EXPECT_EQ(StatusText(), L"Finished. Renamed/copied: 3  |  Skipped: 0  |  Errors: 0  |  Total: 3");
        EXPECT_EQ(Cell(g_app.listNew, 2, 2), L"Done");
        EXPECT_TRUE(IsWindow(window_));
    }
}

// A batch of more rows than arrive in one go: what the window finally shows is exact.
class LongBatchTest : public ProcessTest {
protected:
    static constexpr int kFiles = 12;
    void PrepareFiles() override
    {
        for (int i = 0; i < kFiles; ++i) input_.Write(L"f" + std::to_wstring(100 + i) + L".txt", std::to_string(i));
    }
    void PrepareSettings(AppSettings& settings) override
    {
        settings.winW = 900;
        settings.winH = 900;  // every row in view
    }
    // Remembers, per row of the new-names list, the status it was last painted with.
    static LRESULT CALLBACK WatchPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
    {
        const auto* draw = reinterpret_cast<const NMLVCUSTOMDRAW*>(lParam);
        if (message == WM_NOTIFY && draw->nmcd.hdr.hwndFrom == g_app.listNew && draw->nmcd.hdr.code == NM_CUSTOMDRAW &&
            draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && draw->nmcd.dwItemSpec < g_app.files.size()) {
            painted_[draw->nmcd.dwItemSpec] = g_app.files[draw->nmcd.dwItemSpec].status;
        }
        return DefSubclassProc(window, message, wParam, lParam);
    }
    static inline std::vector<ItemStatus> painted_;
};

TEST_F(LongBatchTest, TheLastRowIsPaintedWithItsResultAndTheSummaryIsExact)
{
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    UpdateWindow(window_);
    ASSERT_GE(SendMessageW(g_app.listNew, LVM_GETCOUNTPERPAGE, 0, 0), kFiles);
    SetWindowSubclass(window_, WatchPaint, 77, 0);
    TempDir out;
    UseOutput(g_app.modeCopy, ProcessMode::CopyAndRename, out.path());
    const std::vector<HeldPost> held = ProcessHeld();
    // Whatever the closed prompt uncovered is painted now, and the list is then left valid; the
    // batch's messages are handed over directly (no X event is read meanwhile), so only the
    // batch itself can make its last row paint again.
    UpdateWindow(g_app.listNew);
    ValidateRect(g_app.listNew, nullptr);
    painted_.assign(kFiles, ItemStatus::Ready);
    for (const HeldPost& post : held) Deliver(post);
    const int last = kFiles - 1;
    RECT lastRow = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(g_app.listNew, LVM_GETITEMRECT, last, reinterpret_cast<LPARAM>(&lastRow));
    RECT pending = {};
    GetUpdateRect(g_app.listNew, &pending, FALSE);
    RECT overlap = {};
    EXPECT_TRUE(IntersectRect(&overlap, &pending, &lastRow) || painted_[last] == ItemStatus::Done)
        << "the last row is neither repainted nor due for it";
    EXPECT_TRUE(WaitIdle());
    EXPECT_TRUE(PumpUntil([] { return GetUpdateRect(g_app.listNew, nullptr, FALSE) == FALSE; }, 2000));
    RemoveWindowSubclass(window_, WatchPaint, 77);

    EXPECT_EQ(g_app.files[last].status, ItemStatus::Done);
    EXPECT_EQ(Cell(g_app.listNew, last, 2), L"Done");
    EXPECT_EQ(painted_[last], ItemStatus::Done);
    EXPECT_EQ(TempDir::ReadFileBytes(out / L"012f111.txt"), "11");
    const std::wstring summary = L"Finished. Renamed/copied: 12  |  Skipped: 0  |  Errors: 0  |  Total: 12";
    EXPECT_EQ(StatusText(), summary);
    EXPECT_EQ(g_app.statusBarText, summary);
}

TEST_F(LongBatchTest, RenamingRescansAndShowsTheSummaryAtTheEnd)
{
    RunProcess({IDYES});
    ASSERT_EQ(g_app.files.size(), static_cast<size_t>(kFiles));
    EXPECT_EQ(g_app.files.back().name, L"012f111.txt");
    EXPECT_EQ(Cell(g_app.listOriginal, kFiles - 1, 0), L"012f111.txt");
    EXPECT_EQ(StatusText(), L"Finished. Renamed/copied: 12  |  Skipped: 0  |  Errors: 0  |  Total: 12");
}

// A second start's folder arrives while a batch runs: refused like every other command.
TEST_F(ProcessTest, AFolderHandedOverDuringABatchIsRefused)
{
    TempDir other;
    other.Write(L"z.txt", "");
    const std::vector<HeldPost> held = ProcessHeld();
    COPYDATASTRUCT data{kOpenFolderCopyData, static_cast<DWORD>((other.path().size() + 1) * sizeof(wchar_t)),
                        const_cast<wchar_t*>(other.path().c_str())};
    EXPECT_EQ(SendMessageW(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), FALSE);
    for (const HeldPost& post : held) Deliver(post);
    EXPECT_TRUE(WaitIdle());
    EXPECT_EQ(Text(g_app.inputEdit), input_.path());
    EXPECT_EQ(Cell(g_app.listOriginal, 0, 0), L"001a.txt");
}
