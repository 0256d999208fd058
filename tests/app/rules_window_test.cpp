// Rules files through the real window and its file dialogs, and the command line over the same
// folder and rules file.
#include <objbase.h>

#include "app/rules_commands.h"
#include "resources/resource.h"
#include "tests/app/window_fixture.h"
#include "tests/support/run_exe.h"

namespace {

// Two photos and a note are rows; a file the filter hides already has the second photo's new name.
class RulesWindowTest : public FilesWindowTest {
protected:
    // The file dialogs need the apartment the program's entry point joins.
    void SetUp() override
    {
        com_ = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        FilesWindowTest::SetUp();
    }
    void TearDown() override
    {
        FilesWindowTest::TearDown();
        if (SUCCEEDED(com_)) CoUninitialize();
    }
    void PrepareFiles() override
    {
        for (const wchar_t* name : {L"IMG_1.jpg", L"IMG_2.jpg", L"notes.txt", L"002pic_2.jpg"}) input_.Write(name, "x");
    }
    // The preview as the window shows it, as lines of the command line's form: original name, new
    // name and status of each row, then the status bar.
    static std::vector<std::string> ShownPreview()
    {
        std::vector<std::string> lines;
        for (int row = 0; row < ItemCount(g_app.listOriginal); ++row) {
            lines.push_back(Utf8(Cell(g_app.listOriginal, row, 0) + L"\t" + Cell(g_app.listNew, row, 0) + L"\t" +
                                 Cell(g_app.listNew, row, 2)));
        }
        lines.push_back(Utf8(StatusText()));
        return lines;
    }
    // A File menu command whose file dialog is answered with `typed` as the file name.
    bool ThroughDialog(int command, const std::wstring& typed)
    {
        DialogAnswerer dialog(IDOK, typed);
        Command(command);
        dialog.Finish();
        return dialog.answered();
    }
    TempDir rulesFolder_{L"op-rules"};
    HRESULT com_ = E_FAIL;
};

TEST_F(RulesWindowTest, SavedRulesGiveTheSamePreviewInAnotherWindowAndOnTheCommandLine)
{
    const auto withinBatchTicked = [] {
        return (GetMenuState(GetMenu(g_app.mainWindow), IDM_RENAME_WITHIN_BATCH, MF_BYCOMMAND) & MF_CHECKED) != 0;
    };
    Command(IDM_RENAME_WITHIN_BATCH);  // saved with the rules, ticked again when they are loaded
    Type(g_app.searchEdit, L"IMG_");
    Type(g_app.replaceEdit, L"pic_");
    Type(g_app.filterEdit, L"IMG_*; notes*");
    const std::vector<std::string> preview = ShownPreview();
    ASSERT_EQ(preview.size(), 4u);
    EXPECT_EQ(preview[1], "IMG_2.jpg\t002pic_2.jpg\tAlready exists");

    const std::wstring rules = rulesFolder_ / L"photos.oprules";
    ASSERT_TRUE(ThroughDialog(IDM_SAVE_RULES, rules)) << "no save dialog appeared";
    const std::string text = TempDir::ReadFileBytes(rules);
    EXPECT_NE(text.find("\"search\": \"IMG_\""), std::string::npos) << text;
    EXPECT_EQ(text.find("inputDir"), std::string::npos) << text;

    const ExeRun run = RunExe(BuiltExePath(), L"--rules \"" + rules + L"\" \"" + input_.path() + L"\"",
                              rulesFolder_.path(), rulesFolder_);
    EXPECT_EQ(run.exitCode, 2u) << "a conflict" << run.err;
    EXPECT_EQ(run.Lines(), preview);

    // Another window over the defaults; its open dialog starts where the rules were saved.
    DestroyMainWindowForTest();
    g_app.settings = DefaultSettings();
    g_app.settings.inputDir = input_.path();
    ASSERT_TRUE(ReopenMainWindow());
    ASSERT_NE(ShownPreview(), preview);
    ASSERT_FALSE(withinBatchTicked());
    ASSERT_TRUE(ThroughDialog(IDM_LOAD_RULES, L"photos.oprules")) << "no open dialog appeared";
    EXPECT_EQ(ShownPreview(), preview);
    EXPECT_TRUE(withinBatchTicked());
    EXPECT_EQ(Text(g_app.searchEdit), L"IMG_");
    EXPECT_EQ(Text(g_app.filterEdit), L"IMG_*; notes*");

    // A file that is not a rules file changes nothing and says why.
    const std::wstring broken = rulesFolder_ / L"broken.oprules";
    TempDir::WriteFileBytes(broken, "{\"search\": \"x\", \"prefixType\": \"numbers\"}");
    BoxAnswerer boxes;
    EXPECT_FALSE(LoadRulesFromFile(broken));
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text,
              L"This file is not a rules file: \"prefixType\" holds a value of another kind than the rule takes.");
    EXPECT_EQ(ShownPreview(), preview);
    EXPECT_EQ(Text(g_app.searchEdit), L"IMG_");
}

}  // namespace
