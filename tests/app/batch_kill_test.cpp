// The built program killed in the middle of a batch of renames within the batch (no clean-up of
// any kind), at 20 points; each next start finishes or rolls back the batch, as answered, so that
// every file exists exactly once, under its old or its new name, and no temporary name is left.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "settings/settings_file.h"
#include "settings/settings_io.h"
#include "tests/app/program_run.h"

namespace {

std::wstring Numbered(int n, const wchar_t* ext)
{
    wchar_t name[32];
    swprintf(name, 32, L"%04d%ls", n, ext);
    return name;
}

// Old name -> new name of every listed file, by position (a row's new name is its position, with
// `pad` digits and its extension lower-cased), and how many of them move.
struct Batch {
    int pad = 4;
    std::map<std::wstring, std::wstring> renames;
    int moving = 0;
};

// A chain blocked by a folder, a shift, changes of case.
Batch ChainsAndCase()
{
    Batch batch;
    for (int p = 1; p <= 10; ++p) batch.renames[Numbered(p - 1, L".blk")] = Numbered(p - 1, L".blk");  // blocked
    for (int p = 11; p <= 70; ++p) batch.renames[Numbered(p - 1, L".sft")] = Numbered(p, L".sft");
    for (int p = 71; p <= 110; ++p) batch.renames[Numbered(p, L".JPG")] = Numbered(p, L".jpg");
    batch.moving = 100;
    return batch;
}

// Cycles: "1.cyc" to "60.cyc" are listed in name order (1, 10, 11, ..., 19, 2, 20, ...), so
// renumbering them by position permutes the names.
Batch Cycles()
{
    Batch batch;
    batch.pad = 1;
    std::vector<std::wstring> names;
    for (int n = 1; n <= 60; ++n) names.push_back(std::to_wstring(n) + L".cyc");
    std::sort(names.begin(), names.end());
    for (size_t p = 0; p < names.size(); ++p) {
        batch.renames[names[p]] = std::to_wstring(p + 1) + L".cyc";
        batch.moving += names[p] != batch.renames[names[p]];
    }
    return batch;
}

// Every file of the folder by exact name, with its bytes.
std::map<std::wstring, std::string> Files(const TempDir& dir)
{
    std::map<std::wstring, std::string> files;
    for (const std::wstring& name : FileNames(dir)) files[name] = TempDir::ReadFileBytes(dir / name);
    return files;
}

// How many files have left their source: those the journal says have ('T' or 'F'), and the
// changes of case, which only their names on disk tell (temporary, or lower-case now); -1 when
// the journal is not a running batch's (yet, or any more).
int Moved(const std::wstring& journal, const TempDir& dir)
{
    std::string text;
    if (!ReadWholeFile(journal, text) || text.find("\"running\"") == std::string::npos) return -1;
    const size_t at = text.rfind("\"at\": \"");
    if (at == std::string::npos) return -1;
    int moved = 0;
    for (size_t i = at + 7; i < text.size() && text[i] != '"'; ++i) moved += text[i] != 'S';
    for (const std::wstring& name : FileNames(dir))
        moved += name.rfind(L"~op-", 0) == 0 || name.find(L".jpg") != std::wstring::npos;
    return moved;
}

HWND WaitForBox(DWORD pid, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        if (HWND box = FindTopWindow(pid, L"#32770", true)) return box;
        Sleep(20);
    }
    return nullptr;
}

void Answer(HWND box, int button)
{
    SendMessageTimeoutW(GetDlgItem(box, button), BM_CLICK, 0, 0, SMTO_BLOCK, 5000, nullptr);
}

}  // namespace

TEST_F(ProgramRun, KilledMidBatchEachNextStartFinishesOrRollsBack)
{
    TempDir input(L"op-exe-kill");
    const std::wstring journal = folder_ / L"batch-journal.json";
    AppSettings settings = DefaultSettings();
    settings.inputDir = input.path();
    settings.renameWithinBatch = true;
    settings.rules.prefix = {SequenceType::Numbers, 1, 1, 4, L""};
    settings.rules.replaceEntireName = true;
    settings.rules.extMode = ExtMode::Lowercase;
    const Batch batches[] = {ChainsAndCase(), Cycles()};
    for (int point = 0; point < 20; ++point) {
        const Batch& batch = batches[point % 2];
        const auto& renames = batch.renames;
        settings.rules.prefix.pad = batch.pad;
        const bool finish = point / 2 % 2 == 0;
        SCOPED_TRACE("kill point " + std::to_string(point) + (point % 2 ? ", cycles" : ", chains and case") +
                     (finish ? ", finished" : ", rolled back"));
        TempDir::RemoveTree(input.path());
        CreateDirectoryW(input.path().c_str(), nullptr);
        input.MakeDir(L"0010.blk");  // not a listed file, but its name is taken
        for (const auto& [from, to] : renames) input.Write(from, std::string(from.begin(), from.end()));
        ASSERT_TRUE(WriteSettingsFile(settings_, settings));

        PROCESS_INFORMATION first = Start();
        HWND window = WaitForMainWindow(first.dwProcessId, 20000);
        ASSERT_NE(window, nullptr);
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(1080, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, 1080)));
        HWND confirm = WaitForBox(first.dwProcessId, 10000);
        ASSERT_NE(confirm, nullptr) << "no confirmation";
        Answer(confirm, IDYES);
        const int killAt = 1 + point / 2 * (batch.moving - 5) / 10;  // files that have left their name
        for (int waited = 0; Moved(journal, input) < killAt && waited < 20000; ++waited) Sleep(1);
        TerminateProcess(first.hProcess, 9);
        WaitForSingleObject(first.hProcess, 10000);
        ASSERT_GE(Moved(journal, input), 0) << "the batch ended before the kill";

        PROCESS_INFORMATION next = Start();
        HWND question = WaitForBox(next.dwProcessId, 20000);
        ASSERT_NE(question, nullptr) << "the next start did not ask";
        EXPECT_EQ(MessageBoxText(question), L"The last batch was interrupted. Finish it?");
        Answer(question, finish ? IDYES : IDNO);
        window = WaitForMainWindow(next.dwProcessId, 20000);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(StatusBarText(window).rfind(
                      finish ? L"The interrupted batch was finished" : L"The interrupted batch was rolled back", 0),
                  0u)
            << StatusBarText(window);
        EXPECT_EQ(CloseNormally(next, window), 0u);

        std::map<std::wstring, std::string> expected;
        for (const auto& [from, to] : renames) expected[finish ? to : from] = std::string(from.begin(), from.end());
        EXPECT_TRUE(Files(input) == expected) << "a file is missing, doubled, or under a temporary name";
        EXPECT_EQ(TempDir::Exists(journal), finish) << "a finished batch is kept for Undo, a rolled back one is not";
        DeleteFileW(journal.c_str());
    }
}
