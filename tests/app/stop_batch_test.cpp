// Long batches through the real main window: Esc stops a batch between files (and Undo puts
// back exactly what was done), and the taskbar button shows the progress through a stand-in
// for ITaskbarList3.
#include <atomic>
#include <string>
#include <thread>

#include "app/startup.h"
#include "app/taskbar.h"
#include "resources/resource.h"
#include "tests/app/process_fixture.h"

namespace {

// The worker hands each message over with SendMessageW, so the window handles row i before
// the worker goes on; at row `g_gateRow` it first waits for the gate.
// With `g_burst`, the rows before the gate are handed over together, just before it (quick
// rows, then a long file in hand).
std::atomic<long long> g_gateRow{-1};
std::atomic<bool> g_atGate{false};
std::atomic<bool> g_burst{false};
std::vector<WPARAM> g_saved;
HANDLE g_gate = nullptr;
HANDLE g_endHandled = nullptr;  // set once the window has handled the end of the batch
BOOL WINAPI SendInTurn(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_burst && message == WM_APP_PROGRESS && static_cast<long long>(wParam) < g_gateRow) {
        g_saved.push_back(wParam);
        return TRUE;
    }
    if (message == WM_APP_PROGRESS && static_cast<long long>(wParam) == g_gateRow) {
        for (WPARAM row : g_saved) SendMessageW(window, message, row, 0);
        g_saved.clear();
        if (g_burst) SendMessageW(window, message, wParam, lParam);
        g_atGate = true;
        WaitForSingleObject(g_gate, 15000);
        if (g_burst) return TRUE;
    }
    SendMessageW(window, message, wParam, lParam);
    if (message == WM_APP_FINISHED) SetEvent(g_endHandled);
    return TRUE;
}

bool MenuEnabled(UINT id)
{
    return !(GetMenuState(GetMenu(g_app.mainWindow), id, MF_BYCOMMAND) & MF_GRAYED);
}
// During a batch only Stop is offered: Refresh Directory, Clear List and the rules files would do
// nothing or change the rules under it.
bool OnlyStopAvailable()
{
    return MenuEnabled(IDM_STOP_BATCH) && !MenuEnabled(IDM_REFRESH) && !MenuEnabled(IDM_CLEAR_LIST) &&
           !MenuEnabled(IDM_LOAD_RULES) && !MenuEnabled(IDM_SAVE_RULES);
}
bool IdleMenu()
{
    return !MenuEnabled(IDM_STOP_BATCH) && MenuEnabled(IDM_REFRESH) && MenuEnabled(IDM_CLEAR_LIST) &&
           MenuEnabled(IDM_LOAD_RULES) && MenuEnabled(IDM_SAVE_RULES);
}

const std::wstring kStopPrompt = L"Stop after the current file? Files already processed stay as they are.";

}  // namespace

class StopBatchTest : public ProcessFixture {
protected:
    void SetUp() override
    {
        ProcessFixture::SetUp();
        g_gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        g_endHandled = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        previous_ = SetWorkerPostFunction(SendInTurn);
    }
    void TearDown() override
    {
        SetEvent(g_gate);
        SetWorkerPostFunction(previous_);
        CloseHandle(g_gate);
        CloseHandle(g_endHandled);
        g_gateRow = -1;
        g_burst = false;
        g_saved.clear();
        ProcessFixture::TearDown();
    }
    // Esc as the loop receives it, aimed at `target` (a control or the window itself).
    bool PressEscape(HWND target, UINT message = WM_KEYDOWN)
    {
        MSG key = {};
        key.hwnd = target;
        key.message = message;
        key.wParam = VK_ESCAPE;
        key.lParam = 1;
        return TranslateMainWindowMessage(window_, nullptr, &key);
    }
    // Starts a batch whose worker waits before handing over row `row`; the boxes are answered
    // in order by `answerer`.
    void StartHeldAt(int row)
    {
        g_gateRow = row;
        g_atGate = false;
        ResetEvent(g_endHandled);
        ResetEvent(g_gate);
        Process();
        ASSERT_TRUE(PumpUntil([] { return g_atGate.load(); }, 5000));
    }
    // What the window shows of a batch: the status bar, every row's status, the input folder.
    static std::wstring Snapshot(const std::wstring& folder)
    {
        std::wstring seen = StatusText();
        for (int row = 0; row < 3; ++row) seen += L"|" + Cell(g_app.listNew, row, 2);
        for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt", L"001a.txt", L"002b.txt", L"003c.txt"})
            seen += TempDir::Exists(folder + L"\\" + name) ? L"|+" : L"|-";
        return seen;
    }
    PostMessageFn previous_ = nullptr;
};

TEST_F(StopBatchTest, EscStopsAfterTheFileInHandAndUndoPutsBackExactlyThat)
{
    const struct {
        ProcessMode mode;
        int stopAt;  // rows done when the stop takes effect
        HWND target;
        UINT key;
    } cases[] = {
        {ProcessMode::RenameInPlace, 1, nullptr, WM_SYSKEYDOWN},  // nothing focused: the window gets it
        {ProcessMode::CopyAndRename, 2, g_app.listNew, WM_KEYDOWN},
        {ProcessMode::MoveAndRename, 1, g_app.listOriginal, WM_KEYDOWN},
    };
    const std::wstring names[] = {L"a.txt", L"b.txt", L"c.txt"};
    const HWND radios[] = {g_app.modeRename, g_app.modeCopy, g_app.modeMove};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        TempDir in, out;
        for (const std::wstring& name : names) in.Write(name, "x");
        SetInputDir(in.path());
        if (c.mode == ProcessMode::RenameInPlace) {
            SelectMode(radios[0], c.mode);
        } else {
            UseOutput(radios[static_cast<int>(c.mode)], c.mode, out.path());
        }
        EXPECT_TRUE(IdleMenu());
        {
            BoxAnswerer answerer({IDYES, IDYES});
            PressEscape(window_);  // idle: asks nothing
            StartHeldAt(c.stopAt - 1);
            EXPECT_TRUE(OnlyStopAvailable());
            EXPECT_TRUE(PressEscape(c.target ? c.target : window_, c.key));
            ASSERT_EQ(answerer.Seen().size(), 2u) << "the confirmation, then the question";
            EXPECT_EQ(answerer.Seen()[1].text, kStopPrompt);
            EXPECT_TRUE(answerer.Seen()[1].hasYesNo);
            SetEvent(g_gate);
            EXPECT_TRUE(WaitIdle());
        }
        const TempDir& written = c.mode == ProcessMode::RenameInPlace ? in : out;
        for (int i = 0; i < 3; ++i) {
            const std::wstring renamed = written / (L"00" + std::to_wstring(i + 1) + names[i]);
            EXPECT_EQ(TempDir::Exists(renamed), i < c.stopAt) << i;
            EXPECT_EQ(TempDir::Exists(in / names[i]), i >= c.stopAt || c.mode == ProcessMode::CopyAndRename) << i;
        }
        wchar_t summary[160];
        swprintf(summary, 160,
                 L"Stopped. Renamed/copied: %d  |  Skipped: 0  |  Errors: 0  |  Not processed: %d  |  Total: 3",
                 c.stopAt, 3 - c.stopAt);
        EXPECT_EQ(StatusText(), summary);
        if (c.mode == ProcessMode::CopyAndRename) {  // no rescan: the rows not reached keep their plan
            EXPECT_EQ(Cell(g_app.listNew, 1, 2), L"Done");
            EXPECT_EQ(Cell(g_app.listNew, 2, 2), L"Ready");
        }
        EXPECT_TRUE(IdleMenu());

        const auto boxes = RunAnswered(IDM_UNDO_LAST_BATCH, {IDYES});
        ASSERT_FALSE(boxes.empty());
        EXPECT_NE(boxes[0].text.find(L" " + std::to_wstring(c.stopAt) + L" "), std::wstring::npos) << boxes[0].text;
        for (int i = 0; i < 3; ++i) EXPECT_TRUE(TempDir::Exists(in / names[i])) << i;
        EXPECT_EQ(TempDir::Exists(out / L"001a.txt"), false);
    }
}

TEST_F(StopBatchTest, AStoppedUndoLeavesTheRestToTheNextUndo)
{
    RunProcess({IDYES});
    {
        BoxAnswerer answerer({IDYES, IDYES});
        g_gateRow = 0;  // the undo goes last file first: c.txt is back when it stops
        g_atGate = false;
        ResetEvent(g_gate);
        Command(IDM_UNDO_LAST_BATCH);
        ASSERT_TRUE(PumpUntil([] { return g_atGate.load(); }, 5000));
        PressEscape(window_);
        SetEvent(g_gate);
        EXPECT_TRUE(WaitIdle());
        EXPECT_EQ(answerer.Seen().back().text, kStopPrompt);
    }
    EXPECT_EQ(StatusText(), L"Undo stopped. Undone: 1  |  Kept: 0  |  Not processed: 2  |  Total: 3");
    EXPECT_TRUE(TempDir::Exists(input_ / L"c.txt"));
    EXPECT_TRUE(TempDir::Exists(input_ / L"002b.txt"));
    const auto boxes = RunAnswered(IDM_UNDO_LAST_BATCH, {IDYES});
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes[0].text, L"Undo the last batch? 2 file(s) will be put back.");
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"}) EXPECT_TRUE(TempDir::Exists(input_ / name)) << name;
}

TEST_F(StopBatchTest, TheQuestionHoldsTheBatchAndYesLeavesEveryRowNotStarted)
{
    const struct {
        bool undo;
        int answer;
        const wchar_t* summary;
    } cases[] = {
        {false, IDYES, L"Stopped. Renamed/copied: 1  |  Skipped: 0  |  Errors: 0  |  Not processed: 2  |  Total: 3"},
        {false, IDNO, L"Finished. Renamed/copied: 3  |  Skipped: 0  |  Errors: 0  |  Total: 3"},
        {true, IDYES, L"Undo stopped. Undone: 1  |  Kept: 0  |  Not processed: 2  |  Total: 3"},
    };
    const std::wstring shown = L"Processing 1 / 3 ...";  // the count once the file in hand is reported
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.undo) + " " + std::to_string(c.answer));
        if (c.undo) RunProcess({IDYES});
        {
            BoxAnswerer confirmation({IDYES});
            g_gateRow = 0;  // the file in hand when the question opens
            g_atGate = false;
            ResetEvent(g_gate);
            Command(c.undo ? IDM_UNDO_LAST_BATCH : 1080, BN_CLICKED, c.undo ? nullptr : g_app.processButton);
            ASSERT_TRUE(PumpUntil([] { return g_atGate.load(); }, 5000));
        }
        std::wstring opened, later;
        std::thread user([&] {
            HWND box = nullptr;
            for (int i = 0; i < 1000 && !(box = FindOwnDialog()); ++i) Sleep(10);
            if (!box) return;
            SetEvent(g_gate);  // the file in hand is finished and reported
            for (int i = 0; i < 500 && StatusText() != shown; ++i) Sleep(10);
            opened = Snapshot(input_.path());
            // Three of the worker's progress frames: nothing may move meanwhile.
            for (int i = 0; i < 30 && (later = Snapshot(input_.path())) == opened; ++i) Sleep(10);
            DWORD_PTR result = 0;
            SendMessageTimeoutW(GetDlgItem(box, c.answer), BM_CLICK, 0, 0, SMTO_BLOCK, 5000, &result);
        });
        PressEscape(window_);
        user.join();
        EXPECT_TRUE(WaitIdle());
        EXPECT_NE(opened.find(shown), std::wstring::npos) << opened;
        EXPECT_EQ(later, opened);
        EXPECT_EQ(StatusText(), c.summary);
    }
}

TEST_F(StopBatchTest, ABatchThatEndsWhileTheQuestionIsOpenEndsNormallyAndClosesIt)
{
    HeldOpen lock(input_ / L"b.txt");  // a failure: the end warns in a box of its own
    {
        BoxAnswerer confirmation({IDYES});
        StartHeldAt(2);
    }
    // The last file is in hand when the user asks; the batch ends behind the question.
    std::wstring question, warning;
    bool closedByItself = false, stacked = true;
    std::thread user([&] {
        HWND box = nullptr;
        for (int i = 0; i < 1000 && !(box = FindOwnDialog()); ++i) Sleep(10);
        if (!box) return;
        question = MessageBoxText(box);
        SetEvent(g_gate);
        for (int i = 0; i < 500 && IsWindow(box); ++i) Sleep(10);
        closedByItself = !IsWindow(box);
        HWND next = nullptr;
        for (int i = 0; i < 500 && (!(next = FindOwnDialog()) || next == box); ++i) Sleep(10);
        stacked = IsWindow(box) != FALSE;
        warning = next ? MessageBoxText(next) : L"";
        DWORD_PTR result = 0;
        for (HWND open : {box, next}) {
            if (open && IsWindow(open))
                SendMessageTimeoutW(GetDlgItem(open, GetDlgItem(open, IDYES) ? IDYES : IDOK), BM_CLICK, 0, 0,
                                    SMTO_BLOCK, 5000, &result);
        }
    });
    PressEscape(window_);
    user.join();
    EXPECT_TRUE(WaitIdle());
    EXPECT_EQ(question, kStopPrompt);
    EXPECT_TRUE(closedByItself);
    EXPECT_FALSE(stacked);
    EXPECT_NE(warning.find(L"could not be processed"), std::wstring::npos) << warning;
    EXPECT_EQ(StatusText(), L"Finished. Renamed/copied: 2  |  Skipped: 0  |  Errors: 1  |  Total: 3");
    EXPECT_TRUE(TempDir::Exists(input_ / L"003c.txt"));
    EXPECT_FALSE(g_app.busy);
}

TEST_F(StopBatchTest, TheCountReachesTheLastFinishedRowWhileALongFileIsInHand)
{
    TempDir in, out;
    for (int i = 0; i < 21; ++i) in.Write(L"f" + std::to_wstring(100 + i) + L".txt", "x");
    SetInputDir(in.path());
    UseOutput(g_app.modeCopy, ProcessMode::CopyAndRename, out.path());
    g_burst = true;  // twenty quick copies reported at once, then the last copy takes long
    {
        BoxAnswerer confirmation({IDYES});
        StartHeldAt(19);
    }
    EXPECT_TRUE(PumpUntil([] { return StatusText() == L"Processing 20 / 21 ..."; }, 2000)) << StatusText();
    SetEvent(g_gate);
    EXPECT_TRUE(WaitIdle());
}

namespace {

// Records what the window asks of the taskbar button, as "state N" and "value d/t".
class RecordingTaskbar : public ITaskbarList3 {
public:
    std::vector<std::wstring> calls;
    int made = 0;

    HRESULT STDMETHODCALLTYPE SetProgressValue(HWND, ULONGLONG done, ULONGLONG total) override
    {
        calls.push_back(L"value " + std::to_wstring(done) + L"/" + std::to_wstring(total));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetProgressState(HWND, TBPFLAG state) override
    {
        calls.push_back(L"state " + std::to_wstring(static_cast<int>(state)));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE HrInit() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE AddTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ActivateTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE MarkFullscreenWindow(HWND, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RegisterTab(HWND, HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnregisterTab(HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTabOrder(HWND, HWND) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTabActive(HWND, HWND, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ThumbBarAddButtons(HWND, UINT, LPTHUMBBUTTON) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ThumbBarUpdateButtons(HWND, UINT, LPTHUMBBUTTON) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ThumbBarSetImageList(HWND, HIMAGELIST) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOverlayIcon(HWND, HICON, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetThumbnailTooltip(HWND, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetThumbnailClip(HWND, RECT*) override { return E_NOTIMPL; }
};
RecordingTaskbar* g_taskbar = nullptr;

}  // namespace

TEST_F(StopBatchTest, TheTaskbarButtonShowsRowsDoneTurnsRedOnAFailureAndClearsAtTheEnd)
{
    RecordingTaskbar taskbar;
    g_taskbar = &taskbar;
    const TaskbarFactory previous = SetTaskbarFactory([]() -> ITaskbarList3* {
        ++g_taskbar->made;
        return g_taskbar;
    });
    RunProcess({IDNO});  // before the button exists nothing is shown
    EXPECT_EQ(taskbar.made, 0);
    const UINT created = RegisterWindowMessageW(L"TaskbarButtonCreated");
    SendMessageW(window_, created, 0, 0);
    SendMessageW(window_, created, 0, 0);
    EXPECT_EQ(taskbar.made, 1);

    TempDir out;  // copies: each row has its own message
    UseOutput(g_app.modeCopy, ProcessMode::CopyAndRename, out.path());
    HeldOpen lock(input_ / L"b.txt");
    RunProcess({IDYES});
    EXPECT_EQ(taskbar.calls, (std::vector<std::wstring>{L"state 2", L"value 0/3", L"value 1/3", L"state 4",
                                                        L"value 2/3", L"value 3/3", L"state 0"}));
    SetTaskbarFactory(previous);
    g_taskbar = nullptr;
}
