// The worker's file operations, error texts and posting, with a plain window of the test's own.
#include "files/worker.h"

#include <gtest/gtest.h>
#include <process.h>

#include <atomic>
#include <utility>
#include <vector>

#include "tests/support/message_pump.h"
#include "tests/support/temp_dir.h"

namespace {

FileEntry Planned(const std::wstring& source, const std::wstring& target, ItemStatus status = ItemStatus::Ready)
{
    FileEntry row;
    row.sourcePath = source;
    row.targetPath = target;
    row.status = status;
    return row;
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

int FileCount(const std::wstring& folder)
{
    int count = 0;
    WIN32_FIND_DATAW data = {};
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do count += (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    while (FindNextFileW(find, &data));
    FindClose(find);
    return count;
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// What a receiving window saw: the rows each progress message reported done, in arrival order,
// then the end; and the outcomes the job holds afterwards.
struct Received {
    std::vector<size_t> progress;
    std::vector<ProgressRecord> outcomes;
    int finished = 0;
    bool finishedAfterAll = true;
};
Received* g_received = nullptr;

LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP_PROGRESS) {
        if (g_received->finished) g_received->finishedAfterAll = false;
        g_received->progress.push_back(wParam);
        return 0;
    }
    if (message == WM_APP_FINISHED) {
        ++g_received->finished;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateReceiver()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ReceiverProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"WorkerTestReceiver";
        registered = RegisterClassW(&wc) != 0;
    }
    return CreateWindowW(L"WorkerTestReceiver", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
}

// Runs a whole job on a real worker thread and pumps until its end arrives (or 20 s pass).
Received RunJob(FileList rows, ProcessMode mode)
{
    Received received;
    g_received = &received;
    HWND window = CreateReceiver();
    auto job = std::make_shared<ProcessJob>();
    job->rows = std::move(rows);
    job->mode = mode;
    job->window = window;
    HANDLE thread = StartWorkerThread(job);
    PumpUntil([&] { return received.finished > 0; });
    WaitForSingleObject(thread, 5000);
    received.outcomes = job->outcomes;
    CloseHandle(thread);
    DestroyWindow(window);
    g_received = nullptr;
    return received;
}

// Post functions a test can swap in; the worker calls them on its own thread.
std::atomic<int> g_postCalls{0};
BOOL WINAPI FailEveryOtherPost(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_postCalls.fetch_add(1) % 2 == 0) return FALSE;  // as a full queue would
    return PostMessageW(window, message, wParam, lParam);
}
BOOL WINAPI FailEveryPost(HWND, UINT, WPARAM, LPARAM)
{
    g_postCalls.fetch_add(1);
    return FALSE;
}

struct PostFunctionScope {
    PostMessageFn previous;
    explicit PostFunctionScope(PostMessageFn post) : previous(SetWorkerPostFunction(post)) { g_postCalls = 0; }
    ~PostFunctionScope() { SetWorkerPostFunction(previous); }
};

}  // namespace

TEST(DescribeError, SystemTextsAndTheLockedPrefix)
{
    const struct {
        DWORD code;
        bool locked;
    } cases[] = {
        {ERROR_FILE_NOT_FOUND, false}, {ERROR_ACCESS_DENIED, true}, {ERROR_SHARING_VIOLATION, true},
        {ERROR_LOCK_VIOLATION, true},  {ERROR_FILE_EXISTS, false},  {ERROR_ALREADY_EXISTS, false},
        {ERROR_PATH_NOT_FOUND, false},
    };
    for (const auto& c : cases) {
        const std::wstring text = DescribeError(c.code);
        EXPECT_EQ(StartsWith(text, kLocked), c.locked) << c.code << L": " << text;
        ASSERT_GT(text.size(), c.locked ? kLocked.size() : 0u) << c.code;
        const wchar_t last = text.back();
        EXPECT_TRUE(last != L'\r' && last != L'\n' && last != L' ') << c.code << L": " << text;
    }
    EXPECT_EQ(DescribeError(0xE0001234u), L"Unknown error");
}

TEST(DescribeLastError, ReadsTheCallingThreadsCode)
{
    SetLastError(ERROR_SHARING_VIOLATION);
    EXPECT_EQ(DescribeLastError(), DescribeError(ERROR_SHARING_VIOLATION));
    SetLastError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(DescribeLastError(), DescribeError(ERROR_FILE_NOT_FOUND));
}

TEST(ProcessOneFile, EachModeMovesOrCopiesTheBytes)
{
    const struct {
        ProcessMode mode;
        bool intoOtherFolder;
        bool sourceStays;
    } cases[] = {
        {ProcessMode::RenameInPlace, false, false},
        {ProcessMode::CopyAndRename, true, true},
        {ProcessMode::CopyAndRename, false, true},
        {ProcessMode::MoveAndRename, true, false},
    };
    for (const auto& c : cases) {
        TempDir in;
        TempDir out;
        const std::wstring source = in.Write(L"a.txt", "contents of a");
        const std::wstring target = (c.intoOtherFolder ? out : in) / L"001 - a.txt";
        std::wstring error = L"stale";
        EXPECT_TRUE(ProcessOneFile(Planned(source, target), c.mode, error)) << static_cast<int>(c.mode);
        EXPECT_EQ(error, L"");
        EXPECT_EQ(TempDir::ReadFileBytes(target), "contents of a");
        EXPECT_EQ(TempDir::Exists(source), c.sourceStays) << static_cast<int>(c.mode);
    }
}

TEST(ProcessOneFile, NeverOverwritesAnExistingDestination)
{
    for (ProcessMode mode : {ProcessMode::RenameInPlace, ProcessMode::CopyAndRename, ProcessMode::MoveAndRename}) {
        TempDir dir;
        const std::wstring source = dir.Write(L"a.txt", "new bytes");
        const std::wstring target = dir.Write(L"b.txt", "old bytes");
        std::wstring error;
        EXPECT_FALSE(ProcessOneFile(Planned(source, target), mode, error)) << static_cast<int>(mode);
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(StartsWith(error, kLocked)) << error;
        EXPECT_EQ(TempDir::ReadFileBytes(target), "old bytes");
        EXPECT_EQ(TempDir::ReadFileBytes(source), "new bytes");
    }
}

TEST(ProcessOneFile, CopyOntoAnExistingFileGivesTheSystemsText)
{
    TempDir dir;
    const std::wstring source = dir.Write(L"a.txt", "a");
    const std::wstring target = dir.Write(L"b.txt", "b");
    std::wstring error;
    ASSERT_FALSE(ProcessOneFile(Planned(source, target), ProcessMode::CopyAndRename, error));
    EXPECT_EQ(error, DescribeError(ERROR_FILE_EXISTS));
}

TEST(ProcessOneFile, LockedSourceFailsWithThePrefixAndStaysPut)
{
    for (ProcessMode mode : {ProcessMode::RenameInPlace, ProcessMode::CopyAndRename, ProcessMode::MoveAndRename}) {
        TempDir in;
        TempDir out;
        const std::wstring source = in.Write(L"a.txt", "locked bytes");
        const std::wstring target = out / L"b.txt";
        HeldOpen lock(source, 0);
        ASSERT_NE(lock.handle, INVALID_HANDLE_VALUE);
        std::wstring error;
        EXPECT_FALSE(ProcessOneFile(Planned(source, target), mode, error)) << static_cast<int>(mode);
        EXPECT_TRUE(StartsWith(error, kLocked)) << error;
        EXPECT_FALSE(TempDir::Exists(target)) << static_cast<int>(mode);
        EXPECT_TRUE(TempDir::Exists(source));
    }
}

TEST(ProcessOneFile, MoveFallbackRemovesTheCopyWhenTheSourceCannotBeDeleted)
{
    // Readers are let in but deletion is not: the move fails, the copy succeeds, the delete
    // of the source fails, and the copy must go again.
    TempDir in;
    TempDir out;
    const std::wstring source = in.Write(L"a.txt", "stay here");
    const std::wstring target = out / L"b.txt";
    HeldOpen reader(source, FILE_SHARE_READ);
    ASSERT_NE(reader.handle, INVALID_HANDLE_VALUE);
    std::wstring error;
    EXPECT_FALSE(ProcessOneFile(Planned(source, target), ProcessMode::MoveAndRename, error));
    EXPECT_FALSE(TempDir::Exists(target));
    EXPECT_EQ(TempDir::ReadFileBytes(source), "stay here");
    // The reason is the failed deletion of the source, not whatever the successful removal of
    // the copy left behind. (Wine keeps last-error across a successful DeleteFileW, so here
    // only Windows could tell the two apart; the text is checked on both.)
    EXPECT_EQ(error, DescribeError(ERROR_SHARING_VIOLATION));
}

TEST(ProcessOneFile, SourceGoneSincePlanningFailsCleanly)
{
    for (ProcessMode mode : {ProcessMode::RenameInPlace, ProcessMode::CopyAndRename, ProcessMode::MoveAndRename}) {
        TempDir dir;
        const std::wstring target = dir / L"b.txt";
        std::wstring error;
        EXPECT_FALSE(ProcessOneFile(Planned(dir / L"gone.txt", target), mode, error));
        EXPECT_EQ(error, DescribeError(ERROR_FILE_NOT_FOUND)) << static_cast<int>(mode);
        EXPECT_FALSE(TempDir::Exists(target));
    }
}

// Names the system would change or take as a device on a plain path: each file is addressed
// by its exact name, and a device name is an ordinary file in the folder.
TEST(ProcessOneFile, NamesAtTheEdgesAreTakenExactly)
{
    const struct {
        const wchar_t* source;
        const wchar_t* target;
        ProcessMode mode;
    } cases[] = {
        {L"a.", L"copy of a-dot", ProcessMode::CopyAndRename},
        {L"a", L"copy of a", ProcessMode::CopyAndRename},
        {L"a ", L"moved a-space", ProcessMode::MoveAndRename},
        {L"a.", L"renamed a-dot", ProcessMode::RenameInPlace},
        {L"a", L"NUL", ProcessMode::CopyAndRename},
        {L"a", L"CON.txt", ProcessMode::MoveAndRename},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::wstring exact = L"\\\\?\\" + dir.path() + L"\\";
        for (const wchar_t* name : {L"a", L"a.", L"a "})
            TempDir::WriteFileBytes(exact + name, "bytes of '" + Narrow(name) + "'");
        std::wstring error;
        EXPECT_TRUE(ProcessOneFile(Planned(dir / c.source, dir / c.target), c.mode, error)) << c.target << error;
        EXPECT_EQ(TempDir::ReadFileBytes(exact + c.target), "bytes of '" + Narrow(c.source) + "'") << c.target;
        for (const wchar_t* name : {L"a", L"a.", L"a "}) {
            const bool gone = name == std::wstring(c.source) && c.mode != ProcessMode::CopyAndRename;
            EXPECT_EQ(TempDir::ReadFileBytes(exact + name), gone ? "<missing>" : "bytes of '" + Narrow(name) + "'")
                << c.target << " / '" << name << "'";
        }
    }
}

// The copy is whole before it has its name; when the last step fails, nothing is left behind.
struct SeenAtRename {
    std::string partialBytes = "<not called>";
    bool finalExisted = false;
};
SeenAtRename g_seen;
bool g_takeTheName = false;
void AtRename(const std::wstring& partial, const std::wstring& final)
{
    g_seen = {TempDir::ReadFileBytes(partial), TempDir::Exists(final)};
    if (g_takeTheName) TempDir::WriteFileBytes(final, "someone else's");
}

TEST(ProcessOneFile, ACopyGetsItsNameOnlyWhenComplete)
{
    for (ProcessMode mode : {ProcessMode::CopyAndRename, ProcessMode::MoveAndRename}) {
        for (bool take : {false, true}) {
            TempDir in;
            TempDir out;
            const std::wstring source = in.Write(L"a.txt", std::string(300000, 'x'));
            HeldOpen reader(source, FILE_SHARE_READ);  // makes the move copy (and, the copy done, fail)
            g_takeTheName = take;
            const CopyStepHook previous = SetCopyStepHook(AtRename);
            std::wstring error;
            const bool done = ProcessOneFile(Planned(source, out / L"b.txt"), mode, error);
            SetCopyStepHook(previous);
            EXPECT_EQ(done, !take && mode == ProcessMode::CopyAndRename);
            EXPECT_EQ(g_seen.partialBytes.size(), 300000u);
            EXPECT_FALSE(g_seen.finalExisted);
            EXPECT_EQ(TempDir::ReadFileBytes(out / L"b.txt"),
                      take ? "someone else's" : (done ? std::string(300000, 'x') : "<missing>"));
            if (take) {
                EXPECT_EQ(error, DescribeError(ERROR_FILE_EXISTS));
            }
            EXPECT_EQ(FileCount(out.path()), take || done ? 1 : 0) << "no partial file is left";
            g_seen = SeenAtRename{};
        }
    }
}

TEST(ProcessRow, StatusesAndTextsByRowStatus)
{
    TempDir dir;
    const std::wstring source = dir.Write(L"a.txt", "a");
    const std::wstring target = dir / L"b.txt";
    FileEntry duplicate = Planned(source, target, ItemStatus::Duplicate);
    duplicate.statusText = L"Duplicate target name";
    FileEntry longText = Planned(source, target, ItemStatus::InvalidName);
    longText.statusText = std::wstring(300, L'x');

    const struct {
        FileEntry row;
        bool succeeded;
        ItemStatus status;
        std::wstring text;
    } cases[] = {
        {Planned(source, target, ItemStatus::Unchanged), true, ItemStatus::Skipped, L"Unchanged"},
        {duplicate, false, ItemStatus::Duplicate, L"Duplicate target name"},
        {Planned(source, target, ItemStatus::TargetExists), false, ItemStatus::TargetExists, L""},
        {longText, false, ItemStatus::InvalidName, std::wstring(255, L'x')},
        {Planned(dir / L"gone.txt", target), false, ItemStatus::Failed, DescribeError(ERROR_FILE_NOT_FOUND)},
    };
    for (const auto& c : cases) {
        const ProgressRecord record = ProcessRow(c.row, 4, ProcessMode::RenameInPlace);
        EXPECT_EQ(record.index, 4);
        EXPECT_EQ(record.succeeded, c.succeeded) << static_cast<int>(c.row.status);
        EXPECT_EQ(record.status, c.status) << static_cast<int>(c.row.status);
        EXPECT_EQ(record.text, c.text) << static_cast<int>(c.row.status);
        EXPECT_TRUE(TempDir::Exists(source)) << "no file is touched for a row that is not Ready";
        EXPECT_FALSE(TempDir::Exists(target));
    }
    const ProgressRecord done = ProcessRow(Planned(source, target), 0, ProcessMode::RenameInPlace);
    EXPECT_TRUE(done.succeeded);
    EXPECT_EQ(done.status, ItemStatus::Done);
    EXPECT_EQ(done.text, L"Done");
    EXPECT_TRUE(TempDir::Exists(target));
}

TEST(WorkerMain, PostsTheRowsDoneInOrderThenTheEnd)
{
    TempDir dir;
    FileList rows;
    const ItemStatus statuses[] = {ItemStatus::Ready, ItemStatus::Unchanged, ItemStatus::Ready, ItemStatus::Duplicate,
                                   ItemStatus::Ready};
    for (int i = 0; i < 5; ++i) {
        const std::wstring name = L"f" + std::to_wstring(i) + L".txt";
        rows.push_back(Planned(dir.Write(name, "x"), dir / (L"new_" + name), statuses[i]));
    }
    HeldOpen lock(rows[2].sourcePath, 0);  // one failure must not stop the batch

    const Received received = RunJob(rows, ProcessMode::RenameInPlace);
    ASSERT_EQ(received.finished, 1);
    EXPECT_TRUE(received.finishedAfterAll);
    // Quick rows share a message; the messages name rows in order, the last row last.
    ASSERT_FALSE(received.progress.empty());
    for (size_t i = 1; i < received.progress.size(); ++i) EXPECT_GT(received.progress[i], received.progress[i - 1]);
    EXPECT_EQ(received.progress.back(), 4u);
    ASSERT_EQ(received.outcomes.size(), 5u);
    const ItemStatus expected[] = {ItemStatus::Done, ItemStatus::Skipped, ItemStatus::Failed, ItemStatus::Duplicate,
                                   ItemStatus::Done};
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(received.outcomes[i].status, expected[i]) << i;
    EXPECT_TRUE(StartsWith(received.outcomes[2].text, kLocked));
    EXPECT_TRUE(TempDir::Exists(dir / L"new_f4.txt"));
    EXPECT_TRUE(TempDir::Exists(dir / L"f1.txt"));
}

TEST(WorkerMain, EmptyJobStillEnds)
{
    const Received received = RunJob(FileList(), ProcessMode::CopyAndRename);
    EXPECT_EQ(received.finished, 1);
    EXPECT_TRUE(received.progress.empty());
}

TEST(WorkerMain, RetriesRefusedPostsSoNoRowIsLost)
{
    PostFunctionScope scope(FailEveryOtherPost);
    TempDir dir;
    FileList rows;
    for (int i = 0; i < 20; ++i) {
        const std::wstring name = L"f" + std::to_wstring(i);
        rows.push_back(Planned(dir.Write(name, "x"), dir / (name + L".new")));
    }
    const Received received = RunJob(rows, ProcessMode::RenameInPlace);
    EXPECT_EQ(received.finished, 1);
    ASSERT_FALSE(received.progress.empty());
    EXPECT_EQ(received.progress.back(), 19u);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(received.outcomes[i].status, ItemStatus::Done) << i;
    // Every post refused once, then delivered.
    EXPECT_EQ(g_postCalls.load(), 2 * static_cast<int>(received.progress.size() + 1));
}

TEST(WorkerMain, GivesUpPostingOnceTheWindowIsGone)
{
    PostFunctionScope scope(FailEveryPost);
    HWND window = CreateReceiver();
    DestroyWindow(window);
    TempDir dir;
    auto job = std::make_shared<ProcessJob>();
    job->rows = {Planned(dir.Write(L"a", "x"), dir / L"b")};
    job->window = window;
    HANDLE thread = StartWorkerThread(job);
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0) << "the worker must not retry forever";
    CloseHandle(thread);
    EXPECT_EQ(g_postCalls.load(), 2);
}
