// The program without a window: the built exe run with options and redirected output, as a
// script runs it, next to a running instance's mutex and a settings file it must leave alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/planner.h"
#include "files/batch_journal.h"
#include "settings/rules_file.h"
#include "settings/settings_file.h"
#include "tests/support/exif_file.h"
#include "tests/support/run_exe.h"
#include "tests/support/temp_dir.h"

namespace {

class CommandLineRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CopyFileW(BuiltExePath().c_str(), exe_.c_str(), FALSE)) << "missing built exe";
        // A running window's mutex: the command line must not hand over to it.
        instance_ = CreateMutexW(nullptr, TRUE, L"Local\\Orvane.Pallisto.SingleInstance");
        TempDir::WriteFileBytes(settings_, kSettingsText);
        AppSettings rules = DefaultSettings();
        rules.rules.search = L"IMG_";
        rules.rules.replace = L"pic_";
        rules.fileFilter = L"*.jpg; *.txt";
        ASSERT_TRUE(WriteRulesFile(rules_, rules));
        input_.Write(L"IMG_1.jpg", "one");
        input_.Write(L"IMG_2.jpg", "two");
        input_.Write(L"notes.txt", "notes");
        input_.Write(L"\u00e9t\u00e9.txt", "summer");
        input_.Write(L"skipped.png", "not a row");
    }
    void TearDown() override
    {
        EXPECT_EQ(TempDir::ReadFileBytes(settings_), kSettingsText) << "settings.json is neither read nor written";
        if (instance_) CloseHandle(instance_);
    }
    ExeRun Run(const std::wstring& arguments) { return RunExe(exe_, arguments, work_.path(), work_); }
    std::wstring Quoted(const std::wstring& path) const { return L"\"" + path + L"\""; }
    std::wstring Preview() const { return L"--rules " + Quoted(rules_) + L" " + Quoted(input_.path()); }

    // Rules that would show in every line if the program read the settings file.
    const std::string kSettingsText = "{\n  \"search\": \"o\",\n  \"replace\": \"0\"\n}\n";
    TempDir home_{L"op-cli-exe"};
    TempDir work_{L"op-cli-work"};
    TempDir input_{L"op-cli-input"};
    std::wstring exe_ = home_ / L"OrvanePallisto.exe";
    std::wstring settings_ = home_ / L"settings.json";
    std::wstring rules_ = work_ / L"photos.oprules";
    HANDLE instance_ = nullptr;
};

TEST_F(CommandLineRun, WrongArgumentsSayWhyOnOneLineAndChangeNothing)
{
    TempDir::WriteFileBytes(work_ / L"broken.oprules", "{\"fontPt\": 12}");
    struct Case {
        std::wstring arguments;
        const char* says;  // part of the one error line
    };
    const std::wstring rules = L"--rules " + Quoted(rules_) + L" ";
    const Case cases[] = {
        {L"--rules", "--rules needs a value"},
        {rules, "folder to work in is missing"},
        {rules + L"--mode copy " + Quoted(input_.path()), "need --output DIR"},
        {rules + L"--mode sideways " + Quoted(input_.path()), "--mode takes rename, copy or move"},
        {rules + L"--output out " + Quoted(input_.path()), "--output is for --mode copy or move"},
        {rules + L"--frobnicate " + Quoted(input_.path()), "Unknown option --frobnicate"},
        {rules + Quoted(input_.path()) + L" second", "Only one folder"},
        {L"--rules missing.oprules --apply " + Quoted(input_.path()), "missing.oprules: Rules file not found."},
        {L"--rules broken.oprules --apply " + Quoted(input_.path()),
         "broken.oprules: This file is not a rules file: it holds none of the rules."},
        {rules + L"--apply " + Quoted(input_ / L"gone"), "gone: Input directory not found."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.arguments));
        const ExeRun run = Run(c.arguments);
        EXPECT_EQ(run.exitCode, 1u);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("\r\n"), run.err.size() - 2) << "one line: " << run.err;
    }
    EXPECT_TRUE(TempDir::Exists(input_ / L"IMG_1.jpg"));
    const ExeRun help = Run(L"--help");
    EXPECT_EQ(help.exitCode, 0u);
    EXPECT_EQ(help.out.rfind("Usage: OrvanePallisto.exe --rules FILE", 0), 0u) << help.out;
}

TEST_F(CommandLineRun, PreviewsThenAppliesWithTheWindowsTextsAndExitCodes)
{
    const std::string ready = Utf8(StatusDisplayText(ItemStatus::Ready));
    const std::vector<std::string> preview = {
        "IMG_1.jpg\tpic_1.jpg\t" + ready,
        "IMG_2.jpg\tpic_2.jpg\t" + ready,
        "notes.txt\tnotes.txt\tUnchanged",
        "\xC3\xA9t\xC3\xA9.txt\t\xC3\xA9t\xC3\xA9.txt\tUnchanged",
        "Files: 4  |  Ready: 2  |  Unchanged: 2  |  Conflicts: 0  |  Hidden by filter: 1",
    };
    ExeRun run = Run(Preview());
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.Lines(), preview);
    EXPECT_TRUE(TempDir::Exists(input_ / L"IMG_1.jpg")) << "a dry run changes nothing";

    // A conflict: exit 2 for the preview; applying processes the rest, and a locked file fails.
    const std::wstring taken = input_.MakeDir(L"pic_2.jpg");  // a folder: not a row, but there
    input_.Write(L"pic_2.jpg\\inside.txt", "taken");
    run = Run(Preview());
    EXPECT_EQ(run.exitCode, 2u);
    ASSERT_EQ(run.Lines().size(), 5u) << run.out;
    EXPECT_EQ(run.Lines()[1], "IMG_2.jpg\tpic_2.jpg\tAlready exists");
    {
        HeldOpen locked(input_ / L"IMG_1.jpg");
        run = Run(L"--apply " + Preview());
    }
    EXPECT_EQ(run.exitCode, 3u);
    ASSERT_EQ(run.Lines().size(), 5u) << run.out;
    EXPECT_EQ(run.Lines()[0].rfind("IMG_1.jpg\tpic_1.jpg\tLocked or in use", 0), 0u) << run.Lines()[0];
    EXPECT_EQ(run.Lines()[1], "IMG_2.jpg\tpic_2.jpg\tAlready exists");
    EXPECT_EQ(run.Lines()[4], "Finished. Renamed/copied: 0  |  Skipped: 3  |  Errors: 1  |  Total: 4");
    EXPECT_EQ(TempDir::ReadFileBytes(taken + L"\\inside.txt"), "taken") << "never overwritten";

    // Copies into an output folder named relative to the current folder, made for the batch.
    TempDir::RemoveTree(taken);
    run = Run(L"--mode copy --output out --apply " + Preview());
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(TempDir::ReadFileBytes(work_ / L"out\\pic_2.jpg"), "two");
    EXPECT_TRUE(TempDir::Exists(input_ / L"IMG_2.jpg"));

    run = Run(L"--apply " + Preview());
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    const std::vector<std::string> applied = {
        "IMG_1.jpg\tpic_1.jpg\tDone",
        "IMG_2.jpg\tpic_2.jpg\tDone",
        "notes.txt\tnotes.txt\tUnchanged",
        "\xC3\xA9t\xC3\xA9.txt\t\xC3\xA9t\xC3\xA9.txt\tUnchanged",
        "Finished. Renamed/copied: 2  |  Skipped: 2  |  Errors: 0  |  Total: 4",
    };
    EXPECT_EQ(run.Lines(), applied);
    EXPECT_EQ(TempDir::ReadFileBytes(input_ / L"pic_1.jpg"), "one");
    EXPECT_FALSE(TempDir::Exists(input_ / L"IMG_1.jpg"));
}

// A date taken in the names: read before the preview, with the window's fallback for a photo
// without one.
TEST_F(CommandLineRun, ReadsDatesTakenForTheNames)
{
    input_.Write(L"IMG_1.jpg", MakeJpeg("2024:05:17 13:45:10"));
    AppSettings rules = DefaultSettings();
    rules.rules.prefix.type = SequenceType::DateTaken;
    rules.fileFilter = L"*.jpg";
    ASSERT_TRUE(WriteRulesFile(rules_, rules));
    const ExeRun run = Run(Preview());
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    ASSERT_EQ(run.Lines().size(), 3u) << run.out;
    EXPECT_EQ(run.Lines()[0], "IMG_1.jpg\t2024-05-17 - IMG_1.jpg\tReady");
    const std::string fallback = "\tReady (no date taken: modified date)";
    EXPECT_EQ(run.Lines()[1].rfind("IMG_2.jpg\t", 0), 0u) << run.Lines()[1];
    EXPECT_EQ(run.Lines()[1].find(fallback), run.Lines()[1].size() - fallback.size()) << run.Lines()[1];
    EXPECT_EQ(Run(L"--apply " + Preview()).exitCode, 0u);
    EXPECT_TRUE(TempDir::Exists(input_ / L"2024-05-17 - IMG_1.jpg"));
}

// Renames within the batch from a rules file: the window's ordered moves and journal. The journal
// of a batch interrupted before is what its recovery needs, so the command line leaves it alone.
TEST_F(CommandLineRun, RenamesWithinTheBatchThroughTheJournal)
{
    AppSettings rules = DefaultSettings();
    rules.rules.caseMode = CaseMode::Lower;
    rules.fileFilter = L"*.jpg";
    rules.renameWithinBatch = true;
    ASSERT_TRUE(WriteRulesFile(rules_, rules));
    const std::wstring journal = home_ / L"batch-journal.json";
    {  // a batch running on the journal elsewhere (the window): nothing moves, nothing is written
        HANDLE held = CreateMutexW(nullptr, TRUE, JournalMutexName(journal).c_str());
        const ExeRun busy = Run(L"--apply " + Preview());
        CloseHandle(held);
        EXPECT_EQ(busy.exitCode, 1u) << busy.out;
        EXPECT_EQ(std::count(busy.err.begin(), busy.err.end(), '\n'), 1) << busy.err;
        EXPECT_TRUE(TempDir::Exists(input_ / L"IMG_1.jpg"));
        EXPECT_FALSE(TempDir::Exists(journal));
    }
    const ExeRun run = Run(L"--apply " + Preview());
    EXPECT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_EQ(run.Lines().back(), "Finished. Renamed/copied: 2  |  Skipped: 0  |  Errors: 0  |  Total: 2");
    std::vector<std::wstring> names;  // exact names: only a move through another name changes the case
    WIN32_FIND_DATAW data = {};
    HANDLE find = FindFirstFileW((input_ / L"*").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"img_1.jpg", L"img_2.jpg", L"notes.txt", L"skipped.png",
                                                L"\u00e9t\u00e9.txt"}));
    JournalContents contents;
    ASSERT_TRUE(ReadJournal(journal, contents));
    EXPECT_FALSE(contents.running);
    EXPECT_EQ(contents.last.records.size(), 2u) << "the window's Undo Last Batch can put them back";

    RunningBatch interrupted{L"1-2", ProcessMode::RenameInPlace, {{input_ / L"a.txt", L"", input_ / L"b.txt"}}};
    const std::string text = FormatRunningBatch(interrupted);
    TempDir::WriteFileBytes(journal, text);
    const ExeRun refused = Run(L"--apply " + Preview());
    EXPECT_EQ(refused.exitCode, 1u) << refused.out;
    EXPECT_EQ(TempDir::ReadFileBytes(journal), text);
    EXPECT_TRUE(TempDir::Exists(input_ / L"img_1.jpg"));
}

}  // namespace
