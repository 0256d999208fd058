// In the background the window holds no watch on the shown folder: the next plan asks the file
// system again and sees what changed meanwhile.
#include <atomic>

#include "files/folder_snapshot.h"
#include "tests/app/process_fixture.h"

namespace {

std::atomic<int> g_asked{0};  // listings and single-name questions the planner put to the system
bool CountedExists(const std::wstring& path)
{
    ++g_asked;
    return FileSystemPathExists(path);
}
bool CountedListing(const std::wstring& folder, FolderNames& names)
{
    ++g_asked;
    return ListFolderNames(folder, names);
}
std::atomic<int> g_watches{0};
HANDLE WINAPI CountedWatch(LPCWSTR folder, BOOL subtree, DWORD filter)
{
    ++g_watches;
    return FindFirstChangeNotificationW(folder, subtree, filter);
}

}  // namespace

class FolderWatchTest : public ProcessFixture {
protected:
    void TearDown() override
    {
        SetExistenceCalls(ExistenceCalls{});
        ProcessFixture::TearDown();
    }
    // A plan, as a keystroke in a rule starts it; how often it asked the file system.
    int Plan()
    {
        g_asked = 0;
        Type(g_app.searchEdit, (plans_++ % 2) ? L"" : L"zz");
        return g_asked;
    }
    int plans_ = 0;
};

TEST_F(FolderWatchTest, LeavingTheWindowReleasesTheFolderAndTheNextPlanSeesChanges)
{
    SetExistenceCalls(ExistenceCalls{CountedExists, CountedListing});
    const struct {
        const char* how;
        void (*leave)(HWND);
        void (*back)(HWND);
    } cases[] = {
        {"another program activated", [](HWND w) { SendMessageW(w, WM_ACTIVATEAPP, FALSE, 0); },
         [](HWND w) { SendMessageW(w, WM_ACTIVATEAPP, TRUE, 0); }},
        {"minimised", [](HWND w) { ShowWindow(w, SW_MINIMIZE); }, [](HWND w) { ShowWindow(w, SW_RESTORE); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        Refresh();
        EXPECT_EQ(Plan(), 0) << "the scan's listing answers while the folder is watched";
        c.leave(window_);
        c.back(window_);
        EXPECT_GT(Plan(), 0) << "the watch was released, so the plan asks again";

        c.leave(window_);
        input_.Write(L"001a.txt", "made meanwhile");
        c.back(window_);
        Plan();
        EXPECT_EQ(Cell(g_app.listNew, 0, 2), L"Already exists");
        EXPECT_EQ(Cell(g_app.listNew, 1, 2), L"Ready");
        DeleteFileW((input_ / L"001a.txt").c_str());
    }
}

TEST_F(FolderWatchTest, ABatchThatEndsInTheBackgroundTakesNoWatchUntilTheWindowIsBack)
{
    TempDir in;  // enough rows for the plan to list the folder rather than ask per row
    for (int i = 0; i < 20; ++i) in.Write(L"f" + std::to_wstring(100 + i) + L".txt", "x");
    SetInputDir(in.path());
    SetExistenceCalls(ExistenceCalls{CountedExists, CountedListing, CountedWatch});
    const std::vector<HeldPost> held = ProcessHeld();
    SendMessageW(window_, WM_ACTIVATEAPP, FALSE, 0);  // the user is in another program
    g_watches = 0;
    DeliverAll(held);  // the end and its rescan
    EXPECT_EQ(Cell(g_app.listOriginal, 0, 0), L"001f100.txt");
    EXPECT_EQ(g_watches, 0);

    in.Write(L"001001f100.txt", "made meanwhile");
    SendMessageW(window_, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_GT(g_watches, 0);
    EXPECT_EQ(Plan(), 0) << "listed again on activation";
    EXPECT_EQ(Cell(g_app.listNew, 0, 2), L"Already exists");
}
