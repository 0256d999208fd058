#pragma once
// The real main window over a small input folder of three files, with the steps of a batch:
// choosing the mode and the output folder, and pressing Process with the boxes answered.
#include <utility>
#include <vector>

#include "files/worker.h"
#include "tests/app/window_fixture.h"

class ProcessFixture : public FilesWindowTest {
protected:
    void PrepareFiles() override
    {
        input_.Write(L"a.txt", "alpha");
        input_.Write(L"b.txt", "bravo");
        input_.Write(L"c.txt", "charlie");
    }

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
    // Sends a command with the boxes it opens answered in order; waits until nothing runs.
    std::vector<SeenBox> RunAnswered(int command, std::vector<int> answers)
    {
        BoxAnswerer answerer(std::move(answers));
        Command(command, BN_CLICKED, command == 1080 ? g_app.processButton : nullptr);
        EXPECT_TRUE(WaitIdle());
        PumpUntil([] { return false; }, 100);  // let a last box be answered and seen
        return answerer.Seen();
    }
    // Presses Process with the boxes answered in order; waits for the batch to end.
    std::vector<SeenBox> RunProcess(std::vector<int> answers) { return RunAnswered(1080, std::move(answers)); }
};
