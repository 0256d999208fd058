// Existence answered from folder listings: the same answers as the per-row system call, and
// no more listings than the folder's changes need.
#include "files/folder_snapshot.h"

#include <gtest/gtest.h>

#include "engine/path.h"
#include "tests/support/temp_dir.h"

namespace {

int g_listings = 0;
int g_rowCalls = 0;
bool g_refuse = false;

bool CountingList(const std::wstring& folder, FolderNames& names)
{
    ++g_listings;
    return !g_refuse && ListFolderNames(folder, names);
}

bool CountingExists(const std::wstring& path)
{
    ++g_rowCalls;
    return FileSystemPathExists(path);
}

class FolderSnapshotTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_listings = g_rowCalls = 0;
        g_refuse = false;
        previous_ = SetExistenceCalls(ExistenceCalls{CountingExists, CountingList});
    }
    void TearDown() override
    {
        DropFolderSnapshots();
        SetExistenceCalls(previous_);
    }

    // One row per name targeting `folder`, then enough absent names that the folder is listed
    // rather than asked about row by row.
    void Add(const std::wstring& folder, const std::vector<std::wstring>& names)
    {
        std::vector<std::wstring> all = names;
        for (size_t i = 0; i < kPerRowLimit; ++i) all.push_back(L"absent_" + std::to_wstring(i) + L".txt");
        for (const std::wstring& name : all) {
            FileEntry& row = list_.emplace_back();
            row.newName = name;
            row.targetDirectory = folder;
            row.targetPath = JoinPath(folder, name);
        }
    }
    // Every row's answer, as the planner would get it.
    std::vector<uint8_t> Ask()
    {
        std::vector<uint32_t> rows(list_.size());
        for (uint32_t i = 0; i < rows.size(); ++i) rows[i] = i;
        std::vector<uint8_t> exists(rows.size(), 0);
        TargetsExist(list_, rows, exists);
        return exists;
    }
    bool AnswerFor(const std::wstring& name)
    {
        const std::vector<uint8_t> exists = Ask();
        for (size_t i = 0; i < list_.size(); ++i) {
            if (list_[i].newName == name) return exists[i] != 0;
        }
        ADD_FAILURE() << "no row";
        return false;
    }

    TempDir dir_{L"op_snapshot"};
    FileList list_;
    ExistenceCalls previous_;
};

// Runs `command` through cmd.exe: a change made by another process.
void RunInOtherProcess(const std::wstring& command)
{
    std::wstring line = L"cmd.exe /c " + command;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(
        CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi));
    WaitForSingleObject(pi.hProcess, 30000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

TEST_F(FolderSnapshotTest, AgreesWithThePerRowSystemCall)
{
    dir_.Write(L"photo.jpg", "x");
    dir_.Write(L"\u00C9t\u00E9.txt", "x");  // "Été.txt"
    dir_.MakeDir(L"album");
    struct Case {
        std::wstring name;
        bool exists;
    };
    const std::vector<Case> cases = {
        {L"photo.jpg", true},
        {L"PHOTO.JPG", true},
        {L"album", true},
        {L"Album", true},
        {L"NUL", true},
        {L"con.txt", true},
        {L"gone.jpg", false},
        {L"photo.jpg.bak", false},
        {L"\u00C9t\u00E9.txt", true},
        {L"\u00E9T\u00C9.TXT", true},  // other case beyond ASCII
    };
    std::vector<std::wstring> names;
    for (const Case& c : cases) names.push_back(c.name);
    Add(dir_.path(), names);
    const std::wstring missing = dir_ / L"no such folder";
    Add(missing, {L"photo.jpg", L"x.txt"});
    const std::vector<uint8_t> exists = Ask();
    EXPECT_EQ(g_listings, 1);  // the missing folder is not listed
    for (size_t i = 0; i < list_.size(); ++i) {
        const bool system = FileSystemPathExists(list_[i].targetPath);
        EXPECT_EQ(exists[i] != 0, system) << testing::PrintToString(list_[i].targetPath);
        if (i < cases.size()) {
            EXPECT_EQ(system, cases[i].exists) << testing::PrintToString(cases[i].name);
        }
    }
}

TEST_F(FolderSnapshotTest, FindsALongNameByItsShortAlias)
{
    dir_.Write(L"Long file name.txt", "x");
    wchar_t alias[MAX_PATH] = {};
    GetShortPathNameW((dir_ / L"Long file name.txt").c_str(), alias, MAX_PATH);
    const std::wstring shortName = std::wstring(alias).substr(std::wstring(alias).rfind(L'\\') + 1);
    if (shortName.find(L'~') == std::wstring::npos)
        GTEST_SKIP() << "this file system gives \"Long file name.txt\" no 8.3 alias";
    ASSERT_TRUE(FileSystemPathExists(dir_ / shortName));
    Add(dir_.path(), {shortName});
    EXPECT_TRUE(AnswerFor(shortName));
}

TEST_F(FolderSnapshotTest, SeesChangesByAnotherProcessAndListsOnlyAfterThem)
{
    dir_.Write(L"old.txt", "x");
    Add(dir_.path(), {L"old.txt", L"new.txt"});
    EXPECT_TRUE(AnswerFor(L"old.txt"));
    EXPECT_FALSE(AnswerFor(L"new.txt"));
    EXPECT_EQ(g_listings, 1);  // nothing changed between the plans
    EXPECT_EQ(g_rowCalls, 0);

    RunInOtherProcess(L"echo x> \"" + (dir_ / L"new.txt") + L"\" && del \"" + (dir_ / L"old.txt") + L"\"");
    EXPECT_FALSE(AnswerFor(L"old.txt"));
    EXPECT_TRUE(AnswerFor(L"new.txt"));
    EXPECT_EQ(g_listings, 2);
}

TEST_F(FolderSnapshotTest, RefusedListingIsAnsweredPerRow)
{
    dir_.Write(L"here.txt", "x");
    g_refuse = true;
    Add(dir_.path(), {L"here.txt"});
    EXPECT_TRUE(AnswerFor(L"here.txt"));
    EXPECT_EQ(g_rowCalls, static_cast<int>(list_.size()));
}

}  // namespace
