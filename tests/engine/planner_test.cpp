#include "engine/planner.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/date_text.h"
#include "engine/path.h"
#include "tests/support/file_rows.h"
#include "tests/support/lcg.h"
#include "tests/support/system_case.h"
#include "tests/support/temp_dir.h"

namespace {

// The existence test answered in memory; it also counts how often the planner asks.
std::vector<std::wstring> g_existing;
int g_existsCalls = 0;

bool FakeExists(const std::wstring& path)
{
    ++g_existsCalls;
    return std::find(g_existing.begin(), g_existing.end(), path) != g_existing.end();
}

bool AlwaysExists(const std::wstring&)
{
    ++g_existsCalls;
    return true;
}

FileList Rows(const std::wstring& directory, std::initializer_list<const wchar_t*> names)
{
    FileList list;
    for (const wchar_t* n : names) list.push_back(FileRow(directory, n));
    return list;
}

struct Plan {
    ProcessMode mode = ProcessMode::RenameInPlace;
    bool sameAsInput = true;
    std::wstring inputDir = L"C:\\in";
    std::wstring outputDir;
    RenameRules rules;
    bool withinBatch = false;

    void Run(FileList& list, PathExistsFn exists = FakeExists)
    {
        g_existsCalls = 0;
        PlanPreview(list, PlanInput{mode, sameAsInput, &inputDir, &outputDir, &rules, withinBatch}, exists);
    }
};

void ExpectStatuses(const FileList& list, std::initializer_list<ItemStatus> expected)
{
    ASSERT_EQ(list.size(), expected.size());
    const wchar_t* const texts[] = {L"Ready", L"Unchanged", L"Duplicate target", L"Invalid name", L"Already exists"};
    size_t i = 0;
    for (ItemStatus s : expected) {
        EXPECT_EQ(static_cast<int>(list[i].status), static_cast<int>(s)) << "row " << i << " " << list[i].newName;
        EXPECT_EQ(list[i].statusText, texts[static_cast<int>(s)]) << "row " << i;
        ++i;
    }
}

void ExpectStatusesOf(const FileList& list, std::initializer_list<ItemStatus> expected)
{
    ASSERT_EQ(list.size(), expected.size());
    size_t i = 0;
    for (ItemStatus s : expected) EXPECT_EQ(list[i++].status, s) << "row " << i - 1;
}

}  // namespace

TEST(IsInvalidFileName, EachTestInTurn)
{
    struct Row {
        std::wstring name;
        bool invalid;
    };
    const Row rows[] = {
        {L"", true},
        {L".", true},
        {L"..", true},
        {L"name ", true},
        {L"name.", true},
        {L"...", true},
        {L"a<b", true},
        {L"a>b", true},
        {L"a:b", true},
        {L"a\"b", true},
        {L"a/b", true},
        {L"a\\b", true},
        {L"a|b", true},
        {L"a?b", true},
        {L"a*b", true},
        {L"a\tb", true},
        {L"\x01", true},
        {L"a\x1f", true},
        {L"CON.txt", false},
        {L"CON", false},
        {L" lead", false},
        {L".hidden", false},
        {L"a\x7f", false},
        {L"a\u00a0", false},  // only U+0020 counts as a trailing space
        {L"name\u3000", false},
        {L"x", false},
        {std::wstring(1000, L'a'), false},  // no length limit
    };
    for (const Row& r : rows) EXPECT_EQ(IsInvalidFileName(r.name), r.invalid) << r.name;
}

TEST(StatusDisplayText, Table)
{
    const wchar_t* expected[] = {L"Ready",         L"Unchanged", L"Duplicate", L"Invalid name",
                                 L"Target exists", L"Done",      L"Skipped",   L"Failed", L"Reading date\u2026"};
    for (int i = 0; i < 9; ++i) EXPECT_STREQ(StatusDisplayText(static_cast<ItemStatus>(i)), expected[i]);
    EXPECT_STREQ(StatusDisplayText(static_cast<ItemStatus>(-1)), L"");
    EXPECT_STREQ(StatusDisplayText(static_cast<ItemStatus>(9)), L"");
}

TEST(IsConflict, OnlyDuplicateInvalidAndExisting)
{
    const bool expected[] = {false, false, true, true, true, false, false, false, false};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(IsConflict(static_cast<ItemStatus>(i)), expected[i]) << i;
}

TEST(PlanPreview, EmptyListDoesNothing)
{
    FileList list;
    Plan plan;
    plan.Run(list);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(g_existsCalls, 0);
}

TEST(PlanPreview, NeutralRulesLeaveEveryRowUnchanged)
{
    for (ProcessMode mode : {ProcessMode::RenameInPlace, ProcessMode::CopyAndRename, ProcessMode::MoveAndRename}) {
        FileList list = Rows(L"C:\\in", {L"a.txt", L"B.TXT", L"c"});
        Plan plan;
        plan.mode = mode;
        plan.outputDir = L"D:\\out";  // ignored: same as input
        plan.Run(list, AlwaysExists);
        ExpectStatuses(list, {ItemStatus::Unchanged, ItemStatus::Unchanged, ItemStatus::Unchanged});
        EXPECT_EQ(list[1].targetPath, L"C:\\in\\B.TXT");
        EXPECT_EQ(g_existsCalls, 0);
    }
}

TEST(PlanPreview, TargetDirectoryByMode)
{
    struct Case {
        ProcessMode mode;
        bool same;
        const wchar_t* input;
        const wchar_t* output;
        const wchar_t* target;
    };
    const Case cases[] = {
        {ProcessMode::RenameInPlace, false, L"C:\\elsewhere", L"D:\\out", L"C:\\in"},  // row's own folder
        {ProcessMode::CopyAndRename, false, L"C:\\in", L"D:\\out", L"D:\\out"},
        {ProcessMode::MoveAndRename, false, L"C:\\in", L"D:\\out\\", L"D:\\out\\"},
        {ProcessMode::CopyAndRename, true, L"C:\\other", L"D:\\out", L"C:\\other"},
        {ProcessMode::CopyAndRename, false, L"C:\\other", L"", L"C:\\in"},
        {ProcessMode::MoveAndRename, false, L"C:\\other", L"", L"C:\\in"},
        {ProcessMode::CopyAndRename, true, L"", L"D:\\out", L"C:\\in"},
        // A relative output folder is a folder of the input folder; rooted ones stay as they are.
        {ProcessMode::CopyAndRename, false, L"C:\\in", L"sub", L"C:\\in\\sub"},
        {ProcessMode::MoveAndRename, false, L"E:\\x\\", L"..\\up", L"E:\\x\\..\\up"},
        {ProcessMode::CopyAndRename, false, L"C:\\in", L"\\rooted", L"\\rooted"},
        {ProcessMode::CopyAndRename, false, L"C:\\in", L"D:rel", L"D:rel"},
        {ProcessMode::CopyAndRename, false, L"C:\\in", L"\\\\server\\share", L"\\\\server\\share"},
    };
    for (const Case& c : cases) {
        FileList list = Rows(L"C:\\in", {L"a.txt"});
        Plan plan;
        plan.mode = c.mode;
        plan.sameAsInput = c.same;
        plan.inputDir = c.input;
        plan.outputDir = c.output;
        plan.rules.suffix.type = SequenceType::Numbers;
        plan.Run(list);
        EXPECT_EQ(list[0].targetDirectory, c.target) << static_cast<int>(c.mode) << " " << c.output;
        EXPECT_EQ(list[0].targetPath, JoinPath(c.target, L"a - 001.txt"));
        EXPECT_EQ(list[0].newName, L"a - 001.txt");
    }
}

TEST(PlanPreview, NamesDifferingInCaseAreDuplicates)
{
    FileList list = Rows(L"C:\\in", {L"A1.txt", L"a2.txt", L"c3.txt"});
    Plan plan;
    plan.rules.removeChars = L"123";
    plan.Run(list);
    ExpectStatuses(list, {ItemStatus::Duplicate, ItemStatus::Duplicate, ItemStatus::Ready});
}

// Enough rows that the index probes past occupied slots: pairs differing only in case must
// meet, and no other rows may.
TEST(PlanPreview, ManyRowsPairUpOnlyWithTheirCaseTwin)
{
    FileList list;
    for (int k = 0; k < 1500; ++k) {
        list.push_back(FileRow(L"C:\\in", L"f" + std::to_wstring(k) + L".txt"));
        list.push_back(FileRow(L"C:\\in", L"u" + std::to_wstring(k) + L".txt"));
        list.push_back(FileRow(L"C:\\IN", L"F" + std::to_wstring(k) + L".TXT"));
    }
    Plan plan;
    plan.Run(list);
    for (size_t i = 0; i < list.size(); ++i) {
        const ItemStatus expected = i % 3 == 1 ? ItemStatus::Unchanged : ItemStatus::Duplicate;
        ASSERT_EQ(list[i].status, expected) << list[i].targetPath;
    }
}

TEST(PlanPreview, NonAsciiNamesDifferingInAsciiCaseAreDuplicates)
{
    FileList list = Rows(L"C:\\in", {L"\u00c41.txt", L"\u00c42.txt", L"a\u20ac1.TXT", L"A\u20ac2.txt", L"\u00e43.txt"});
    Plan plan;
    plan.rules.removeChars = L"123";
    plan.Run(list);
    ExpectStatuses(list, {ItemStatus::Duplicate, ItemStatus::Duplicate, ItemStatus::Duplicate, ItemStatus::Duplicate,
                          ItemStatus::Duplicate});
}

// The tests compare names folded exactly as the case rules map them, beyond ASCII too: a
// case-only rename in place is the file itself, never "Already exists".
TEST(PlanPreview, CaseRulesAndComparisonsFoldAlike)
{
    struct Case {
        CaseMode mode;
        const wchar_t* name;
        const wchar_t* twin;
        const wchar_t* newName;
        ItemStatus status;
    };
    const Case cases[] = {
        {CaseMode::Lower, L"\u00c4rger.txt", L"\u00e4rger.TXT", L"\u00e4rger.txt", ItemStatus::Duplicate},
        {CaseMode::Lower, L"\u00c4RGER.txt", nullptr, L"\u00e4rger.txt", ItemStatus::Unchanged},
        {CaseMode::Upper, L"\u0444\u043e\u0442\u043e.Jpg", nullptr, L"\u0424\u041e\u0422\u041e.jpg",
         ItemStatus::Unchanged},
    };
    for (const Case& c : cases) {
        FileList list = Rows(L"C:\\in", {c.name});
        if (c.twin) list.push_back(FileRow(L"C:\\in", c.twin));
        Plan plan;
        plan.rules.caseMode = c.mode;
        plan.rules.extMode = ExtMode::Lowercase;
        plan.Run(list, AlwaysExists);
        EXPECT_EQ(list[0].newName, c.newName);
        EXPECT_EQ(list[0].status, c.status) << static_cast<int>(c.mode);
    }
}

// The duplicate index hashes a folded key in which some punctuation pairs collide ('@' and '`',
// '[' and '{', '^' and '~'); only paths equal after LowerUnit may count as one target.
TEST(PlanPreview, PunctuationThatFoldsAlikeIsNoDuplicate)
{
    struct Pair {
        const wchar_t* a;
        const wchar_t* b;
        bool duplicate;
    };
    const Pair pairs[] = {
        {L"x@1.txt", L"x`2.txt", false},
        {L"x[1.txt", L"x{2.txt", false},
        {L"x^1.txt", L"x~2.txt", false},
        {L"x]1.txt", L"x}2.txt", false},
        {L"\u00e9@1.txt", L"\u00e9`2.txt", false},  // the same with a unit outside ASCII
        {L"X@1.TXT", L"x@2.txt", true},
        {L"\u00e9X@1.txt", L"\u00e9x@2.TXT", true},
    };
    for (const Pair& p : pairs) {
        FileList list = Rows(L"C:\\in", {p.a, p.b});
        Plan plan;
        plan.rules.removeChars = L"12";
        plan.Run(list);
        const ItemStatus expected = p.duplicate ? ItemStatus::Duplicate : ItemStatus::Ready;
        ExpectStatuses(list, {expected, expected});
    }
}

TEST(PlanPreview, UnchangedRowJoinsADuplicateGroup)
{
    FileList list = Rows(L"C:\\in", {L"b.txt", L"B1.TXT"});
    Plan plan;
    plan.rules.removeChars = L"1";
    plan.rules.extMode = ExtMode::Lowercase;
    plan.Run(list);
    EXPECT_EQ(list[1].newName, L"B.txt");
    ExpectStatuses(list, {ItemStatus::Duplicate, ItemStatus::Duplicate});
}

TEST(PlanPreview, SameNameInDifferentFoldersIsNoDuplicateInPlace)
{
    FileList list{FileRow(L"C:\\a", L"x1.txt"), FileRow(L"C:\\b", L"x2.txt")};
    Plan plan;
    plan.rules.removeChars = L"12";
    plan.Run(list);
    ExpectStatuses(list, {ItemStatus::Ready, ItemStatus::Ready});

    plan.mode = ProcessMode::CopyAndRename;
    plan.sameAsInput = false;
    plan.outputDir = L"D:\\out";
    plan.Run(list);
    ExpectStatuses(list, {ItemStatus::Duplicate, ItemStatus::Duplicate});
}

TEST(PlanPreview, CaseOnlyRenameIsUnchanged)
{
    FileList list = Rows(L"C:\\in", {L"README.TXT", L"Other.Txt"});
    Plan plan;
    plan.rules.caseMode = CaseMode::Lower;
    plan.rules.extMode = ExtMode::Lowercase;
    plan.Run(list, AlwaysExists);
    EXPECT_EQ(list[0].newName, L"readme.txt");
    ExpectStatuses(list, {ItemStatus::Unchanged, ItemStatus::Unchanged});
}

// Invalid beats duplicate, duplicate beats unchanged, unchanged beats an existing target.
TEST(PlanPreview, FirstApplicableTestDecides)
{
    FileList list = Rows(L"C:\\in", {L"file1.", L"file2.", L"b.txt", L"B3.txt", L"keep.txt", L"new.txt"});
    Plan plan;
    plan.rules.removeChars = L"123";
    plan.Run(list, AlwaysExists);
    ExpectStatuses(list, {ItemStatus::InvalidName, ItemStatus::InvalidName, ItemStatus::Duplicate,
                          ItemStatus::Duplicate, ItemStatus::Unchanged, ItemStatus::Unchanged});
    EXPECT_EQ(g_existsCalls, 0);

    list.push_back(FileRow(L"C:\\in", L"go4.txt"));
    plan.rules.removeChars = L"1234";
    plan.Run(list, AlwaysExists);
    EXPECT_EQ(list.back().status, ItemStatus::TargetExists);
    EXPECT_EQ(g_existsCalls, 1);
}

TEST(PlanPreview, InvalidNewNames)
{
    FileList list = Rows(L"C:\\in", {L"a1.txt", L"b1.txt", L"c1.txt", L"d1.txt", L"CON1.txt"});
    Plan plan;
    plan.rules.search = L"1";
    const wchar_t* replacements[] = {L"x.txt ", L"x.", L":", L"\t", L""};
    const ItemStatus expected[] = {ItemStatus::InvalidName, ItemStatus::InvalidName, ItemStatus::InvalidName,
                                   ItemStatus::InvalidName, ItemStatus::Ready};
    for (size_t i = 0; i < std::size(replacements); ++i) {
        FileList one{list[i]};
        plan.rules.replace = replacements[i];
        plan.rules.extMode = i < 2 ? ExtMode::Change : ExtMode::Preserve;  // ends the name in the stem
        plan.Run(one);
        EXPECT_EQ(one[0].status, expected[i]) << one[0].newName;
    }
}

TEST(PlanPreview, ExistingTargetCountsEvenIfItWouldMoveAway)
{
    FileList list = Rows(L"C:\\in", {L"1.txt", L"2.txt"});
    g_existing = {L"C:\\in\\1.txt", L"C:\\in\\2.txt"};
    Plan plan;
    plan.rules.replaceEntireName = true;
    plan.rules.prefix.type = SequenceType::Numbers;
    plan.rules.prefix.start = 2;
    plan.rules.prefix.pad = 1;
    plan.Run(list);
    g_existing.clear();
    EXPECT_EQ(list[0].newName, L"2.txt");
    ExpectStatuses(list, {ItemStatus::TargetExists, ItemStatus::Ready});
    EXPECT_EQ(g_existsCalls, 2);
}

// Every row is numbered by its position, whatever its status; old statuses are replaced.
TEST(PlanPreview, IndexIsThePositionAndOldStatusIsReplaced)
{
    FileList list = Rows(L"C:\\in", {L"a.txt", L"b.", L"c.txt"});
    for (FileEntry& e : list) {
        e.status = ItemStatus::Failed;
        e.statusText = L"Access is denied.";
    }
    Plan plan;
    plan.rules.prefix.type = SequenceType::Letters;
    plan.Run(list);
    EXPECT_EQ(list[0].newName, L"A - a.txt");
    EXPECT_EQ(list[1].newName, L"B - b.");
    EXPECT_EQ(list[2].newName, L"C - c.txt");
    ExpectStatuses(list, {ItemStatus::Ready, ItemStatus::InvalidName, ItemStatus::Ready});
}

TEST(PlanPreview, NullExistenceTestUsesTheFileSystem)
{
    FileList list = Rows(L"C:\\no such folder here", {L"a.txt"});
    Plan plan;
    plan.inputDir = L"";
    plan.rules.suffix.type = SequenceType::Numbers;
    PlanPreview(list, PlanInput{plan.mode, true, &plan.inputDir, &plan.outputDir, &plan.rules}, nullptr);
    EXPECT_EQ(list[0].status, ItemStatus::Ready);
}

TEST(PlanPreview, ExistingTargetsOnDisk)
{
    TempDir dir(L"op_planner");
    ASSERT_TRUE(dir.created());
    for (const wchar_t* name : {L"1.txt", L"2.txt", L"Four.TXT"})
        ASSERT_TRUE(TempDir::Exists(dir.Write(name, ""))) << name;
    ASSERT_TRUE(TempDir::Exists(dir.MakeDir(L"3.txt")));

    // 1→2 exists as a file, 2→3 exists as a folder, four→4 is free, "Four.TXT" exists in another case.
    FileList list = Rows(dir.path(), {L"1.txt", L"2.txt", L"four.txt", L"x.txt"});
    Plan plan;
    plan.inputDir = dir.path();
    plan.rules.replaceEntireName = true;
    plan.rules.prefix.type = SequenceType::Numbers;
    plan.rules.prefix.start = 2;
    plan.rules.prefix.pad = 1;
    plan.Run(list, FileSystemPathExists);
    EXPECT_EQ(list[2].newName, L"4.txt");
    ExpectStatuses(list, {ItemStatus::TargetExists, ItemStatus::TargetExists, ItemStatus::Ready, ItemStatus::Ready});

    plan.rules.replaceName = L"four";
    plan.rules.prefix.type = SequenceType::None;
    plan.rules.extMode = ExtMode::Change;
    plan.rules.newExt = L"TXT";
    FileList one = Rows(dir.path(), {L"x.txt"});
    plan.Run(one, FileSystemPathExists);
    EXPECT_EQ(one[0].newName, L"four.TXT");
    ExpectStatuses(one, {ItemStatus::TargetExists});

    // Where the system says a device is there, the row stays a conflict.
    plan.rules.replaceName = L"NUL";
    plan.rules.newExt = L"";
    plan.Run(one, FileSystemPathExists);
    EXPECT_EQ(one[0].newName, L"NUL");
    ExpectStatuses(one, {ItemStatus::TargetExists});
}

namespace {

// The planner written from its rules with a plain map: the real one uses a hash table of its
// own with folded keys and answers ASCII inline, so both run over many generated lists.
std::wstring RefLower(const std::wstring& text)
{
    std::wstring out = text;
    for (wchar_t& c : out) c = SystemLower(c);
    return out;
}

std::wstring RefJoin(const std::wstring& directory, const std::wstring& name)
{
    if (directory.empty()) return name;
    const wchar_t last = directory.back();
    return directory + (last == L'\\' || last == L'/' ? L"" : L"\\") + name;
}

bool RefInvalid(const std::wstring& name)
{
    if (name.empty() || name == L"." || name == L"..") return true;
    if (name.back() == L' ' || name.back() == L'.') return true;
    if (name.find_first_of(L"<>:\"/\\|?*") != std::wstring::npos) return true;
    for (wchar_t c : name)
        if (c < 0x20) return true;
    return false;
}

void RefPlan(FileList& list, const Plan& plan, PathExistsFn exists)
{
    const bool inPlace = plan.mode == ProcessMode::RenameInPlace;
    const std::wstring& base = inPlace || plan.sameAsInput ? plan.inputDir : plan.outputDir;
    std::unordered_map<std::wstring, int> counts;
    for (size_t i = 0; i < list.size(); ++i) {
        FileEntry& row = list[i];
        row.newName = BuildNewName(row.name, static_cast<int32_t>(i), plan.rules);
        row.targetDirectory = inPlace ? row.directory.str() : base;
        if (row.targetDirectory.empty()) row.targetDirectory = row.directory;
        row.targetPath = RefJoin(row.targetDirectory, row.newName);
        ++counts[RefLower(row.targetPath)];
    }
    for (FileEntry& row : list) {
        if (RefInvalid(row.newName))
            row.status = ItemStatus::InvalidName, row.statusText = L"Invalid name";
        else if (counts[RefLower(row.targetPath)] >= 2)
            row.status = ItemStatus::Duplicate, row.statusText = L"Duplicate target";
        else if (RefLower(row.targetPath) == RefLower(row.sourcePath))
            row.status = ItemStatus::Unchanged, row.statusText = L"Unchanged";
        else if (!row.targetPath.empty() && exists(row.targetPath))
            row.status = ItemStatus::TargetExists, row.statusText = L"Already exists";
        else
            row.status = ItemStatus::Ready, row.statusText = L"Ready";
    }
}

std::wstring RandomName(Lcg& rng)
{
    static const wchar_t units[] = {L'a', L'A', L'b', L'B', L'.',  L'.',      L' ',      L'1',      L'2', L'@',
                                    L'`', L'[', L'{', L':', L'\t', L'\u00e9', L'\u00c9', L'\u0130', L'i'};
    std::wstring name;
    const uint32_t length = rng.Below(5);
    for (uint32_t i = 0; i < length; ++i) name += rng.Pick(units);
    return name;
}

std::vector<std::wstring> g_refExisting;

bool RefExists(const std::wstring& path)
{
    return std::find(g_refExisting.begin(), g_refExisting.end(), path) != g_refExisting.end();
}

}  // namespace

TEST(PlanPreview, AgreesWithTheRulesWrittenStepByStep)
{
    static const wchar_t* const folders[] = {L"C:\\in", L"c:\\IN", L"C:\\in\\", L"", L"D:/x/", L"C:\\\u00c9"};
    static const wchar_t* const removals[] = {L"", L"", L"12", L"1", L"a", L".", L" "};
    Lcg rng{777};
    for (int round = 0; round < 3000; ++round) {
        Plan plan;
        plan.mode = static_cast<ProcessMode>(rng.Below(3));
        plan.sameAsInput = rng.Below(2) == 0;
        plan.inputDir = rng.Pick(folders);
        plan.outputDir = rng.Pick(folders);
        plan.rules.removeChars = rng.Pick(removals);
        plan.rules.caseMode = static_cast<CaseMode>(rng.Below(4));
        plan.rules.extMode = static_cast<ExtMode>(rng.Below(3));
        plan.rules.newExt = rng.Below(2) ? L"A" : L"";
        plan.rules.prefix.type = static_cast<SequenceType>(rng.Below(4) == 0 ? 1 : 0);
        FileList list;
        g_refExisting.clear();
        const uint32_t rows = rng.Below(12);
        for (uint32_t i = 0; i < rows; ++i) {
            list.push_back(FileRow(rng.Pick(folders), RandomName(rng)));
            if (rng.Below(3) == 0) g_refExisting.push_back(RefJoin(rng.Pick(folders), RandomName(rng)));
        }
        FileList expected = list;
        RefPlan(expected, plan, RefExists);
        plan.Run(list, RefExists);
        for (size_t i = 0; i < list.size(); ++i) {
            ASSERT_EQ(list[i].newName, expected[i].newName) << "round " << round << " row " << i;
            ASSERT_EQ(list[i].targetDirectory, expected[i].targetDirectory) << "round " << round << " row " << i;
            ASSERT_EQ(list[i].targetPath, expected[i].targetPath) << "round " << round << " row " << i;
            ASSERT_EQ(list[i].status, expected[i].status)
                << "round " << round << " row " << i << " " << list[i].targetPath;
            ASSERT_EQ(list[i].statusText, expected[i].statusText) << "round " << round << " row " << i;
        }
    }
}

// A pattern that does not compile stops every row; one that explodes on a name stops that row
// quickly, and the others are planned as usual. After 16 give-ups the rest are not tried (a
// folder full of such names is not a freeze of a thousand times the matcher's bound), and say
// so rather than blame their own names.
TEST(PlanPreview, SearchPatternsThatCannotBeApplied)
{
    Plan plan;
    plan.rules.searchRegex = true;
    plan.rules.search = L"(IMG";
    FileList list = Rows(L"C:\\in", {L"IMG_1.jpg", L"other.txt"});
    plan.Run(list);
    for (const FileEntry& row : list) {
        EXPECT_EQ(row.status, ItemStatus::InvalidName);
        EXPECT_EQ(row.statusText.rfind(L"Invalid search pattern: ", 0), 0u) << row.statusText;
        EXPECT_GT(row.statusText.size(), std::wstring(L"Invalid search pattern: ").size() + 5) << row.statusText;
        EXPECT_EQ(row.statusText.find(L">>>HERE>>>"), std::wstring::npos) << row.statusText;
    }

    plan.rules.search = L"^(a+)+$";
    plan.rules.replace = L"x";
    list = Rows(L"C:\\in", {L"aaa.txt"});
    for (int i = 0; i < 1000; ++i) list.push_back(FileRow(L"C:\\in", std::wstring(40 + i % 7, L'a') + L"b.txt"));
    list.push_back(FileRow(L"C:\\in", L"aa.txt"));
    const DWORD start = GetTickCount();
    plan.Run(list);
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_EQ(list[0].newName, L"x.txt");
    EXPECT_EQ(list[0].status, ItemStatus::Ready);
    for (size_t i = 1; i < list.size(); ++i) {
        EXPECT_EQ(list[i].status, ItemStatus::InvalidName);
        EXPECT_EQ(list[i].statusText, i <= 16 ? L"Search pattern too complex for this name"
                                              : L"Not tried: search pattern gave up on 16 names")
            << i;
        EXPECT_EQ(list[i].newName, list[i].name);
    }
}

// The dates a row's name shows, the fallback for a photo without a date taken, rows whose date is
// still being read, and equal dates as duplicates (a numbered suffix tells them apart).
TEST(PlanPreview, DatesInNames)
{
    const uint64_t may17 = TicksFromCivil({2024, 5, 17, 13, 45, 10});
    const uint64_t jan2 = TicksFromCivil({2023, 1, 2, 8, 0, 0});
    struct Case {
        SequenceType prefix;
        SequenceType suffix;
        TakenState state;
        const wchar_t* newName;
        ItemStatus status;
        const wchar_t* text;
        const wchar_t* listedTarget = nullptr;  // a listed file named as the row's target: renames within the batch
    };
    const Case cases[] = {
        {SequenceType::Date, SequenceType::None, TakenState::Unread, L"2023-01-02 - img.jpg", ItemStatus::Ready, L"Ready"},
        {SequenceType::None, SequenceType::DateTime, TakenState::Unread, L"img - 2023-01-02 08.00.00.jpg",
         ItemStatus::Ready, L"Ready"},
        {SequenceType::DateTaken, SequenceType::None, TakenState::Found, L"2024-05-17 - img.jpg", ItemStatus::Ready,
         L"Ready"},
        {SequenceType::None, SequenceType::DateTimeTaken, TakenState::Found, L"img - 2024-05-17 13.45.10.jpg",
         ItemStatus::Ready, L"Ready"},
        {SequenceType::DateTaken, SequenceType::None, TakenState::Missing, L"2023-01-02 - img.jpg", ItemStatus::Ready,
         L"Ready (no date taken: modified date)"},
        {SequenceType::DateTaken, SequenceType::None, TakenState::Unread, nullptr, ItemStatus::ReadingDate,
         L"Reading date\u2026"},
        {SequenceType::Date, SequenceType::Numbers, TakenState::Found, L"2023-01-02 - img - 001.jpg", ItemStatus::Ready,
         L"Ready"},
        {SequenceType::DateTaken, SequenceType::None, TakenState::Missing, L"2023-01-02 - img.jpg", ItemStatus::Ready,
         L"Ready (no date taken: modified date)", L"2023-01-02 - img.jpg"},
    };
    for (const Case& c : cases) {
        Plan plan;
        plan.rules.prefix.type = c.prefix;
        plan.rules.suffix.type = c.suffix;
        plan.withinBatch = c.listedTarget != nullptr;
        FileList list = Rows(L"C:\\in", {L"img.jpg"});
        if (c.listedTarget) list.push_back(FileRow(L"C:\\in", c.listedTarget));
        for (FileEntry& row : list) {
            row.modified = jan2;
            row.taken = may17;
            row.takenState = c.state;
        }
        plan.Run(list);
        if (c.newName) {
            EXPECT_EQ(list[0].newName, c.newName);
        }
        EXPECT_EQ(list[0].status, c.status) << static_cast<int>(c.prefix) << " " << static_cast<int>(c.suffix);
        EXPECT_EQ(list[0].statusText, c.text);
    }

    // Two photos taken the same day: one name twice, until a numbered suffix tells them apart. A
    // row still reading its date collides with nobody.
    Plan plan;
    plan.rules.prefix.type = SequenceType::DateTaken;
    plan.rules.replaceEntireName = true;
    FileList list = Rows(L"C:\\in", {L"a.jpg", L"b.jpg", L"c.jpg"});
    for (FileEntry& row : list) {
        row.taken = may17;
        row.takenState = TakenState::Found;
    }
    list[2].takenState = TakenState::Unread;
    plan.Run(list);
    ExpectStatusesOf(list, {ItemStatus::Duplicate, ItemStatus::Duplicate, ItemStatus::ReadingDate});
    EXPECT_EQ(list[0].newName, L"2024-05-17.jpg");
    plan.rules.suffix.type = SequenceType::Numbers;
    plan.rules.suffix.pad = 2;
    plan.Run(list);
    EXPECT_EQ(list[0].newName, L"2024-05-17 - 01.jpg");
    EXPECT_EQ(list[1].newName, L"2024-05-17 - 02.jpg");
    ExpectStatusesOf(list, {ItemStatus::Ready, ItemStatus::Ready, ItemStatus::ReadingDate});
}
