#pragma once
// The real main window over a real temporary input folder, numbering its rows with a
// three-digit prefix so every file gets a new name; with the steps of a batch: choosing the mode
// and the output folder, pressing Process with the boxes answered, or holding the worker's
// messages back so that a test acts while the batch is still running.
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "files/worker.h"
#include "tests/support/file_rows.h"
#include "tests/support/main_window_fixture.h"

// A message the worker posted, kept until the test hands it to the window.
struct HeldPost {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

namespace detail {
inline std::mutex g_heldLock;
inline std::vector<HeldPost> g_held;
inline BOOL WINAPI HoldingPost(HWND, UINT message, WPARAM wParam, LPARAM lParam)
{
    const std::lock_guard<std::mutex> lock(g_heldLock);
    g_held.push_back({message, wParam, lParam});
    return TRUE;
}
inline std::vector<HeldPost> Held()
{
    const std::lock_guard<std::mutex> lock(g_heldLock);
    return g_held;
}
}  // namespace detail

class FilesWindowTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        PrepareFiles();
        OpenMainWindow();
    }
    void FixtureSettings(AppSettings& settings) override
    {
        settings.autoSave = false;
        settings.inputDir = input_.path();
        settings.rules.prefix.type = SequenceType::Numbers;
        settings.rules.prefix.pad = 3;
        settings.rules.prefix.sep = L"";
    }

    // The input folder's files before the window scans it at creation.
    virtual void PrepareFiles() {}

    void Refresh() { Command(40001); }
    void SetInputDir(const std::wstring& path)
    {
        Type(g_app.inputEdit, path.c_str());
        Refresh();
    }
    void Process() { Command(1080, BN_CLICKED, g_app.processButton); }

    static std::vector<std::wstring> Names() { return ::Names(g_app.files); }

    void SelectMode(HWND radio, ProcessMode mode)
    {
        Click(radio);
        ASSERT_EQ(g_app.settings.mode, mode);
    }
    // Copy or move into `folder` instead of the input folder.
    void UseOutput(HWND radio, ProcessMode mode, const std::wstring& folder)
    {
        SelectMode(radio, mode);
        if (IsChecked(g_app.sameAsInputCheck)) Click(g_app.sameAsInputCheck);
        Type(g_app.outputEdit, folder.c_str());
        ASSERT_EQ(g_app.settings.outputDir, folder);
        ASSERT_FALSE(g_app.settings.sameAsInput);
    }
    // Sends a command with the boxes it opens answered in order; waits until nothing runs. A box
    // is answered inside the message that opened it, so what is queued afterwards is the last.
    std::vector<SeenBox> RunAnswered(int command, std::vector<int> answers)
    {
        BoxAnswerer answerer(std::move(answers));
        Command(command, BN_CLICKED, command == 1080 ? g_app.processButton : nullptr);
        EXPECT_TRUE(WaitIdle());
        Pump();
        return answerer.Seen();
    }
    // Presses Process with the boxes answered in order; waits for the batch to end.
    std::vector<SeenBox> RunProcess(std::vector<int> answers) { return RunAnswered(1080, std::move(answers)); }

    // Runs a batch (its prompt answered Yes) with the worker's messages held back; returns them
    // once the worker has ended, the window still busy with the batch.
    std::vector<HeldPost> ProcessHeld()
    {
        {
            const std::lock_guard<std::mutex> lock(detail::g_heldLock);
            detail::g_held.clear();
        }
        const PostMessageFn previous = SetWorkerPostFunction(detail::HoldingPost);
        {
            BoxAnswerer answerer({IDYES});
            Process();
        }
        const auto ended = [] {
            const std::vector<HeldPost> held = detail::Held();
            return !held.empty() && held.back().message == WM_APP_FINISHED;
        };
        EXPECT_TRUE(PumpUntil(ended, 5000));
        SetWorkerPostFunction(previous);
        EXPECT_FALSE(Enabled(g_app.processButton)) << "the batch did not start";
        return detail::Held();
    }
    void Deliver(const HeldPost& post) { SendMessageW(window_, post.message, post.wParam, post.lParam); }
    // Hands the window every held message (its boxes answered with OK/No) and waits for the end.
    void DeliverAll(const std::vector<HeldPost>& held)
    {
        BoxAnswerer answerer;
        for (const HeldPost& post : held) Deliver(post);
        EXPECT_TRUE(WaitIdle());
    }

    TempDir input_;
};
