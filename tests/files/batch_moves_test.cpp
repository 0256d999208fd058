// Renames within the batch with real files: shifts, swaps, rotations and changes of case run
// through the worker, put back by an undo read from the journal (as after a restart), and
// recovered after an interruption at every unit.
#include "files/batch_moves.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>
#include <memory>
#include <string>
#include <vector>

#include "files/worker.h"
#include "tests/support/file_rows.h"
#include "tests/support/temp_dir.h"

namespace {

enum class Kind { Shift, Swaps, Rotation, CaseOnly, Blocked };
struct Block {
    Kind kind;
    int count;
};

std::wstring Numbered(int n, const wchar_t* ext)
{
    wchar_t name[32];
    swprintf(name, 32, L"%04d%ls", n, ext);
    return name;
}

// The listed files, position by position (a row's new name is its position, 1-based, with its
// extension lower-cased), and the files that exist without being listed.
struct Scenario {
    std::vector<std::wstring> listed;
    std::vector<std::wstring> unlisted;
};

Scenario Build(const std::vector<Block>& blocks)
{
    Scenario s;
    int first = 1;
    for (const Block& block : blocks) {
        const int last = first + block.count - 1;
        for (int p = first; p <= last; ++p) {
            switch (block.kind) {
            case Kind::Shift: s.listed.push_back(Numbered(p - 1, L".sft")); break;
            case Kind::Blocked: s.listed.push_back(Numbered(p - 1, L".blk")); break;
            case Kind::Swaps: s.listed.push_back(Numbered((p - first) % 2 ? p - 1 : p + 1, L".swp")); break;
            case Kind::Rotation: s.listed.push_back(Numbered(p == last ? first : p + 1, L".rot")); break;
            case Kind::CaseOnly: s.listed.push_back(Numbered(p, L".JPG")); break;
            }
        }
        if (block.kind == Kind::Blocked) s.unlisted.push_back(Numbered(last, L".blk"));
        first = last + 1;
    }
    return s;
}

// Every file of the folder by its exact name, with its bytes.
std::map<std::wstring, std::string> Folder(const TempDir& dir)
{
    std::map<std::wstring, std::string> files;
    WIN32_FIND_DATAW data = {};
    HANDLE find = FindFirstFileW((dir / L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files[data.cFileName] = TempDir::ReadFileBytes(dir / data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return files;
}

BOOL WINAPI NoPost(HWND, UINT, WPARAM, LPARAM)
{
    return TRUE;
}

void RunWorker(const std::shared_ptr<ProcessJob>& job)
{
    const PostMessageFn previous = SetWorkerPostFunction(NoPost);
    job->outcomes.resize(JobLength(*job));
    WorkerMain(new std::shared_ptr<ProcessJob>(job));
    SetWorkerPostFunction(previous);
}

class WithinBatchFiles : public ::testing::Test {
protected:
    // Creates the files (each holds its own name) and plans the rows as the preview does.
    FileList Prepare(const Scenario& s)
    {
        FileList rows;
        for (const std::wstring& name : s.listed) {
            dir_.Write(name, std::string(name.begin(), name.end()));
            rows.push_back(FileRow(dir_.path(), name));
        }
        for (const std::wstring& name : s.unlisted) dir_.Write(name, "not listed");
        rules_.prefix = {SequenceType::Numbers, 1, 1, 4, L""};
        rules_.replaceEntireName = true;
        rules_.extMode = ExtMode::Lowercase;
        PlanPreview(rows, PlanInput{ProcessMode::RenameInPlace, true, &dir_.path(), &dir_.path(), &rules_, true});
        return rows;
    }
    // The folder as the preview says the batch leaves it.
    static std::map<std::wstring, std::string> Expected(const FileList& rows, std::map<std::wstring, std::string> files)
    {
        for (const FileEntry& row : rows) {
            if (row.status == ItemStatus::Ready) files.erase(row.name);
        }
        for (const FileEntry& row : rows) {
            if (row.status == ItemStatus::Ready) files[row.newName] = std::string(row.name.begin(), row.name.end());
        }
        return files;
    }

    TempDir dir_{L"op-within"};
    std::wstring journal_ = dir_ / L"batch-journal.json";
    RenameRules rules_;
};

}  // namespace

TEST_F(WithinBatchFiles, EveryFileEndsWhereThePreviewSaidAndTheUndoAfterARestartPutsItBack)
{
    struct Case {
        const char* what;
        std::vector<Block> blocks;
        int blocked;
    };
    const Case cases[] = {
        {"2,000-file shift", {{Kind::Shift, 2000}}, 0},
        {"500 two-file swaps", {{Kind::Swaps, 1000}}, 0},
        {"1,000-file rotation", {{Kind::Rotation, 1000}}, 0},
        {"1,000 case-only renames", {{Kind::CaseOnly, 1000}}, 0},
        {"mixed, with blocked chains",
         {{Kind::Blocked, 7},
          {Kind::Rotation, 9},
          {Kind::Swaps, 10},
          {Kind::Shift, 10},
          {Kind::CaseOnly, 5},
          {Kind::Blocked, 3}},
         10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FileList rows = Prepare(Build(c.blocks));
        const auto before = Folder(dir_);
        const auto expected = Expected(rows, before);
        int blocked = 0;
        for (const FileEntry& row : rows) blocked += row.status == ItemStatus::TargetExists;
        EXPECT_EQ(blocked, c.blocked);

        auto job = std::make_shared<ProcessJob>();
        job->rows = rows;
        job->ordered = std::make_shared<OrderedMoves>();
        ASSERT_TRUE(ArrangeBatch(job->rows, ProcessMode::RenameInPlace, journal_, *job->ordered, job->listRow));
        RunWorker(job);
        LastBatchRecord last{{}, true};
        for (size_t i = 0; i < job->rows.size(); ++i) {
            if (job->outcomes[i].status == ItemStatus::Done)
                last.records.push_back({ProcessMode::RenameInPlace, job->rows[i].sourcePath, job->rows[i].targetPath});
        }
        ASSERT_TRUE(SaveLastBatch(journal_, last));
        auto after = Folder(dir_);
        after.erase(L"batch-journal.json");
        EXPECT_TRUE(after == expected) << "files differ from the preview";

        JournalContents restarted;
        ASSERT_TRUE(ReadJournal(journal_, restarted));
        ASSERT_FALSE(restarted.running);
        auto undo = std::make_shared<ProcessJob>();
        undo->undo = restarted.last.records;
        undo->ordered = std::make_shared<OrderedMoves>();
        ASSERT_TRUE(ArrangeUndo(undo->undo, journal_, *undo->ordered));
        RunWorker(undo);
        SaveLastBatch(journal_, {});
        EXPECT_TRUE(Folder(dir_) == before) << "the undo did not restore the folder exactly";
        TempDir::RemoveTree(dir_.path());
        CreateDirectoryW(dir_.path().c_str(), nullptr);
    }
}

// A batch of a quarter of a million long paths: its journal is larger than any settings file may
// be, and the next start must still find the batch that never ended.
TEST_F(WithinBatchFiles, AHugeBatchsJournalIsFoundAfterACrash)
{
    RunningBatch batch{NewBatchId(), ProcessMode::RenameInPlace, {}};
    const std::wstring folder = L"C:\\" + std::wstring(120, L'd') + L"\\";
    for (int i = 0; i < 250000; ++i) {
        const std::wstring n = std::to_wstring(i);
        batch.rows.push_back({folder + n + L".jpg", {}, folder + L"new " + n + L".jpg", kAtSource});
    }
    ASSERT_TRUE(SaveRunningBatch(journal_, batch));
    ASSERT_GT(TempDir::ReadFileBytes(journal_).size(), 64u << 20);
    JournalLock lock;
    EXPECT_EQ(ClaimJournal(journal_, lock), JournalClaim::Interrupted);
    JournalContents read;
    ASSERT_TRUE(ReadJournal(journal_, read));
    ASSERT_EQ(read.batch.rows.size(), batch.rows.size());
    EXPECT_EQ(read.batch.rows.back().target, batch.rows.back().target);
}

// The record of a plain batch goes into the journal only where no other batch needs it: not over
// a batch that waits for its recovery, nor while another batch holds the journal.
TEST_F(WithinBatchFiles, APlainBatchsRecordNeverReplacesAJournalStillNeeded)
{
    const RunningBatch interrupted{
        NewBatchId(), ProcessMode::RenameInPlace, {{L"C:\\a", L"C:\\~op-1.tmp", L"C:\\b", kAtTemp}}};
    const LastBatchRecord older{{{ProcessMode::RenameInPlace, L"C:\\x", L"C:\\y", {}}}, false};
    const LastBatchRecord plain{{{ProcessMode::CopyAndRename, L"C:\\p", L"C:\\q", {}}}, false};
    enum class Journal { Interrupted, HeldElsewhere, Free };
    for (Journal state : {Journal::Interrupted, Journal::HeldElsewhere, Journal::Free}) {
        SCOPED_TRACE(static_cast<int>(state));
        ASSERT_TRUE(state == Journal::Interrupted ? SaveRunningBatch(journal_, interrupted)
                                                  : SaveLastBatch(journal_, older));
        const std::string before = TempDir::ReadFileBytes(journal_);
        HANDLE taken = CreateEventW(nullptr, TRUE, FALSE, nullptr), done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::thread other([&] {  // a lock is its thread's: another batch holds it on a thread of its own
            JournalLock lock;
            if (state == Journal::HeldElsewhere) lock.Take(journal_);
            SetEvent(taken);
            WaitForSingleObject(done, INFINITE);
        });
        WaitForSingleObject(taken, INFINITE);
        EXPECT_EQ(KeepBatchRecord(journal_, plain, nullptr), state == Journal::Free);
        SetEvent(done);
        other.join();
        CloseHandle(taken);
        CloseHandle(done);
        if (state != Journal::Free) {
            EXPECT_EQ(TempDir::ReadFileBytes(journal_), before);
            continue;
        }
        JournalContents contents;
        ASSERT_TRUE(ReadJournal(journal_, contents));
        ASSERT_EQ(contents.last.records.size(), 1u);
        EXPECT_EQ(contents.last.records[0].target, L"C:\\q");
    }
}

// An interruption after any number of units, with the next move done but not yet in the journal:
// finishing gives the batch's result, rolling back the folder as it was; no temporary name stays.
TEST_F(WithinBatchFiles, RecoveryFinishesOrRollsBackFromAnyPoint)
{
    const Scenario scenario = Build({{Kind::Swaps, 2}, {Kind::Rotation, 3}, {Kind::Shift, 3}, {Kind::CaseOnly, 2}});
    FileList planned = Prepare(scenario);
    const auto before = Folder(dir_);
    const auto expected = Expected(planned, before);
    TempDir::RemoveTree(dir_.path());
    size_t units = 1;
    for (size_t stopAt = 0; stopAt <= units; ++stopAt) {
        for (bool finish : {true, false}) {
            SCOPED_TRACE(std::to_string(stopAt) + (finish ? " finish" : " roll back"));
            CreateDirectoryW(dir_.path().c_str(), nullptr);
            FileList rows = Prepare(scenario);
            OrderedMoves moves;
            std::vector<size_t> listRow;
            ASSERT_TRUE(ArrangeBatch(rows, ProcessMode::RenameInPlace, journal_, moves, listRow));
            units = moves.units.size();
            for (size_t u = 0; u < stopAt && u < units; ++u) ASSERT_EQ(RunMoveUnit(moves, moves.units[u]), 0u);
            if (stopAt < units) {  // the next move made, the process gone before the journal heard of it
                const MoveUnit& unit = moves.units[stopAt];
                const MoveItem& lead = moves.items[unit.first];
                MoveFileW(lead.from.c_str(), (unit.viaTemp ? unit.temp : lead.to).c_str());
            }
            moves.journal.Close();
            JournalContents contents;
            ASSERT_TRUE(ReadJournal(journal_, contents));
            ASSERT_TRUE(contents.running);
            const RecoveryResult result = RecoverBatch(contents.batch, finish, journal_);
            EXPECT_TRUE(result.leftAlone.empty());
            auto after = Folder(dir_);
            after.erase(L"batch-journal.json");
            EXPECT_TRUE(after == (finish ? expected : before));
            TempDir::RemoveTree(dir_.path());
        }
    }
    CreateDirectoryW(dir_.path().c_str(), nullptr);
}

// A journal that no longer matches the disk: a file moved away by hand is named, not invented;
// a target taken meanwhile is not replaced.
TEST_F(WithinBatchFiles, RecoveryLeavesAloneWhatItCannotPlaceWithoutReplacing)
{
    FileList rows = Prepare(Build({{Kind::Shift, 3}}));
    OrderedMoves moves;
    std::vector<size_t> listRow;
    ASSERT_TRUE(ArrangeBatch(rows, ProcessMode::RenameInPlace, journal_, moves, listRow));
    ASSERT_EQ(RunMoveUnit(moves, moves.units[0]), 0u);  // 0002 -> 0003
    moves.journal.Close();
    DeleteFileW((dir_ / L"0000.sft").c_str());  // gone by hand
    dir_.Write(L"0002.sft", "someone else's");  // the freed name taken by hand
    JournalContents contents;
    ASSERT_TRUE(ReadJournal(journal_, contents));
    const RecoveryResult result = RecoverBatch(contents.batch, true, journal_);
    EXPECT_EQ(result.leftAlone.size(), 2u);
    EXPECT_EQ(TempDir::ReadFileBytes(dir_ / L"0002.sft"), "someone else's");
    EXPECT_EQ(TempDir::ReadFileBytes(dir_ / L"0001.sft"), "0001.sft");
    EXPECT_EQ(TempDir::ReadFileBytes(dir_ / L"0003.sft"), "0002.sft");
    EXPECT_NE(LeftAloneText(result).find(dir_ / L"0000.sft"), std::wstring::npos);
    ASSERT_TRUE(ReadJournal(journal_, contents));
    EXPECT_FALSE(contents.running) << "no file is under a temporary name: named once, not asked about again";
    EXPECT_EQ(contents.last.records.size(), 1u) << "what was finished can be undone";
}

// A recovery whose journal cannot be written moves nothing and keeps the journal as it was: the
// file under its temporary name stays on record for the next start.
TEST_F(WithinBatchFiles, ARecoveryThatCannotWriteItsJournalKeepsTheOldOne)
{
    for (bool finish : {true, false}) {
        SCOPED_TRACE(finish ? "finish" : "roll back");
        CreateDirectoryW(dir_.path().c_str(), nullptr);
        FileList rows = Prepare(Build({{Kind::Swaps, 2}}));
        OrderedMoves moves;
        std::vector<size_t> listRow;
        ASSERT_TRUE(ArrangeBatch(rows, ProcessMode::RenameInPlace, journal_, moves, listRow));
        const MoveUnit& unit = moves.units[0];
        ASSERT_TRUE(MoveFileW(moves.items[unit.first].from.c_str(), unit.temp.c_str()));  // interrupted here
        moves.journal.Close();
        const std::string text = TempDir::ReadFileBytes(journal_);
        const auto before = Folder(dir_);
        JournalContents contents;
        ASSERT_TRUE(ReadJournal(journal_, contents));
        const std::wstring blocker = journal_ + L".tmp";  // the journal's own temporary name, taken
        ASSERT_TRUE(CreateDirectoryW(blocker.c_str(), nullptr));
        const RecoveryResult failed = RecoverBatch(contents.batch, finish, journal_);
        EXPECT_TRUE(failed.failed);
        EXPECT_EQ(TempDir::ReadFileBytes(journal_), text);
        EXPECT_TRUE(Folder(dir_) == before);
        RemoveDirectoryW(blocker.c_str());
        EXPECT_FALSE(RecoverBatch(contents.batch, finish, journal_).failed);
        EXPECT_FALSE(TempDir::Exists(unit.temp));
        TempDir::RemoveTree(dir_.path());
    }
    CreateDirectoryW(dir_.path().c_str(), nullptr);
}

// A batch that never began after its journal was written leaves the journal as it was before.
TEST_F(WithinBatchFiles, AnAbandonedBatchLeavesTheJournalAsItWas)
{
    const RunningBatch batch{L"1-2", ProcessMode::RenameInPlace, {{dir_ / L"a", L"", dir_ / L"b"}}};
    for (const std::string& previous :
         {std::string(), FormatLastBatch({{{ProcessMode::RenameInPlace, dir_ / L"x", dir_ / L"y", {}}}, true})}) {
        if (!previous.empty()) TempDir::WriteFileBytes(journal_, previous);
        JournalFile journal;
        ASSERT_TRUE(journal.Begin(journal_, batch));
        journal.Abandon();
        EXPECT_EQ(TempDir::Exists(journal_) ? TempDir::ReadFileBytes(journal_) : std::string(), previous);
    }
}

// A move inside a unit that fails (the file is in use) takes the unit's files back where they
// were: nothing stays under a temporary name, every row of the unit is Failed with the reason,
// and the rest of the batch goes on.
TEST_F(WithinBatchFiles, AUnitWithAFileInUseIsUndoneWholeAndTheBatchGoesOn)
{
    struct Case {
        const char* what;
        std::vector<Block> blocks;
        const wchar_t* held;
        int failed;
    };
    const Case cases[] = {
        {"rotation, its last member in use", {{Kind::Rotation, 3}, {Kind::Shift, 2}}, L"0001.rot", 3},
        {"swap, its second member in use", {{Kind::Swaps, 2}, {Kind::Shift, 2}}, L"0001.swp", 2},
        {"change of case of a file in use", {{Kind::CaseOnly, 1}, {Kind::Shift, 2}}, L"0001.JPG", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CreateDirectoryW(dir_.path().c_str(), nullptr);
        FileList rows = Prepare(Build(c.blocks));
        FileList moving = rows;  // the shift moves, the unit in use stays
        for (FileEntry& row : moving) {
            if (row.name.find(L".sft") == std::wstring::npos) row.status = ItemStatus::Failed;
        }
        const auto expected = Expected(moving, Folder(dir_));
        auto job = std::make_shared<ProcessJob>();
        job->rows = rows;
        job->ordered = std::make_shared<OrderedMoves>();
        ASSERT_TRUE(ArrangeBatch(job->rows, ProcessMode::RenameInPlace, journal_, *job->ordered, job->listRow));
        {
            HeldOpen held(dir_ / c.held);
            RunWorker(job);
        }
        int failed = 0;
        for (const ProgressRecord& outcome : job->outcomes) {
            if (outcome.status != ItemStatus::Failed) continue;
            ++failed;
            EXPECT_EQ(outcome.text.rfind(kLocked, 0), 0u);
        }
        EXPECT_EQ(failed, c.failed);
        auto after = Folder(dir_);
        after.erase(L"batch-journal.json");
        EXPECT_TRUE(after == expected) << "the unit in use was not put back whole";
        TempDir::RemoveTree(dir_.path());
    }
    CreateDirectoryW(dir_.path().c_str(), nullptr);
}
