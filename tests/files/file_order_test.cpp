// Listing a directory and ordering rows, without the window.
#include "files/file_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/support/file_rows.h"
#include "tests/support/temp_dir.h"

namespace {

FileEntry Row(const std::wstring& name, uint64_t size = 0)
{
    FileEntry row;
    row.name = name;
    row.size = size;
    row.extension = ExtensionOf(name);
    return row;
}

const FileEntry* Find(const FileList& rows, const std::wstring& name)
{
    for (const FileEntry& row : rows) {
        if (row.name == name) return &row;
    }
    return nullptr;
}

}  // namespace

TEST(ExtensionOf, SplitsAtTheLastDot)
{
    const struct {
        const wchar_t* name;
        const wchar_t* extension;
    } cases[] = {
        {L"", L""},       {L"photo.JPG", L".JPG"}, {L"archive.tar.gz", L".gz"},
        {L"README", L""}, {L".gitignore", L""},    {L"trailing.", L"."},
        {L"..", L"."},    {L".a.b", L".b"},
    };
    for (const auto& c : cases) EXPECT_EQ(ExtensionOf(c.name), c.extension) << c.name;
}

TEST(CompareNames, IsOrdinalIgnoringCase)
{
    const struct {
        const wchar_t* a;
        const wchar_t* b;
        int expected;
    } cases[] = {
        {L"", L"", 0},
        {L"", L"a", -1},
        {L"a.txt", L"A.TXT", 0},
        {L"file10.txt", L"File2.txt", -1},  // not numeric-aware
        {L"Zeta", L"_alpha", -1},           // '_' lies above the upper-case letters
        {L"9", L"a", -1},
        {L"ab", L"a", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CompareNames(c.a, c.b), c.expected) << c.a << L" vs " << c.b;
        EXPECT_EQ(CompareNames(c.b, c.a), -c.expected) << c.b << L" vs " << c.a;
    }
}

TEST(SortRowsByName, PutsFile10BeforeFile2)
{
    FileList rows = {Row(L"file10.txt"), Row(L"File2.txt"), Row(L"file1.txt"), Row(L"_x"), Row(L"Zeta")};
    SortRowsByName(rows);
    EXPECT_EQ(Names(rows), (std::vector<std::wstring>{L"file1.txt", L"file10.txt", L"File2.txt", L"Zeta", L"_x"}));
}

TEST(SortRowsByColumn, SizeAscendingThenDescending)
{
    FileList rows = {Row(L"a", 30), Row(L"b", 10), Row(L"c", 20), Row(L"d", 10)};
    SortRowsByColumn(rows, 1, true);
    EXPECT_EQ(Names(rows), (std::vector<std::wstring>{L"b", L"d", L"c", L"a"}));
    SortRowsByColumn(rows, 1, false);
    EXPECT_EQ(Names(rows), (std::vector<std::wstring>{L"a", L"c", L"b", L"d"}));  // ties keep b before d
}

TEST(SortRowsByColumn, SizesAboveFourGigabytesCompareAsWholeNumbers)
{
    FileList rows = {Row(L"big", 1ull << 33), Row(L"small", 5), Row(L"mid", 0xFFFFFFFFull)};
    SortRowsByColumn(rows, 1, true);
    EXPECT_EQ(Names(rows), (std::vector<std::wstring>{L"small", L"mid", L"big"}));
}

TEST(SortRowsByColumn, ExtensionIsStableAndEmptyComesFirst)
{
    // Already in name order: inside each extension the name order must survive.
    FileList rows = {Row(L"a.txt"), Row(L"b.JPG"), Row(L"c"), Row(L"d.TXT"), Row(L"e.jpg"), Row(L"f")};
    SortRowsByColumn(rows, 2, true);
    EXPECT_EQ(Names(rows), (std::vector<std::wstring>{L"c", L"f", L"b.JPG", L"e.jpg", L"a.txt", L"d.TXT"}));
    SortRowsByColumn(rows, 2, false);
    EXPECT_EQ(Names(rows), (std::vector<std::wstring>{L"a.txt", L"d.TXT", L"b.JPG", L"e.jpg", L"c", L"f"}));
}

TEST(SortRowsByColumn, EmptyAndSingleRowLists)
{
    FileList none;
    SortRowsByColumn(none, 0, true);
    EXPECT_TRUE(none.empty());
    FileList one = {Row(L"x")};
    SortRowsByColumn(one, 1, false);
    EXPECT_EQ(Names(one), (std::vector<std::wstring>{L"x"}));
}

TEST(ListDirectory, ListsFilesOnlyWithTheirFields)
{
    TempDir dir;
    dir.Write(L"photo.JPG", "12345");
    dir.Write(L"hidden.txt", "h", FILE_ATTRIBUTE_HIDDEN);
    dir.Write(L"system.bin", "", FILE_ATTRIBUTE_SYSTEM);
    dir.Write(L".gitignore", "ab");
    dir.MakeDir(L"sub.dir");

    FileList rows = {Row(L"stale")};
    ASSERT_EQ(ListDirectory(dir.path(), rows), ListResult::Listed);
    SortRowsByName(rows);
    EXPECT_EQ(Names(rows), (std::vector<std::wstring>{L".gitignore", L"hidden.txt", L"photo.JPG", L"system.bin"}));

    const FileEntry* photo = Find(rows, L"photo.JPG");
    ASSERT_NE(photo, nullptr);
    EXPECT_EQ(photo->directory, dir.path());
    EXPECT_EQ(photo->sourcePath, dir / L"photo.JPG");
    EXPECT_EQ(photo->size, 5u);
    EXPECT_EQ(photo->extension, L".JPG");
    EXPECT_EQ(photo->status, ItemStatus::Ready);
    EXPECT_TRUE(photo->newName.empty() && photo->targetPath.empty() && photo->statusText.empty());
    EXPECT_EQ(Find(rows, L".gitignore")->extension, L"");
}

TEST(ListDirectory, TrailingBackslashGivesTheSameSourcePaths)
{
    TempDir dir;
    dir.Write(L"a.txt", "a");
    FileList plain;
    FileList slashed;
    ASSERT_EQ(ListDirectory(dir.path(), plain), ListResult::Listed);
    ASSERT_EQ(ListDirectory(dir.path() + L"\\", slashed), ListResult::Listed);
    ASSERT_EQ(plain.size(), 1u);
    ASSERT_EQ(slashed.size(), 1u);
    EXPECT_EQ(plain[0].sourcePath, slashed[0].sourcePath);
    EXPECT_EQ(slashed[0].directory, dir.path() + L"\\");  // kept exactly as given
}

TEST(ListDirectory, OnlySubDirectoriesGiveAnEmptyList)
{
    TempDir dir;
    dir.MakeDir(L"one");
    dir.MakeDir(L"two");
    FileList rows = {Row(L"stale")};
    EXPECT_EQ(ListDirectory(dir.path(), rows), ListResult::Listed);
    EXPECT_TRUE(rows.empty());
}

TEST(ListDirectory, Failures)
{
    TempDir dir;
    const std::wstring file = dir.Write(L"plain.txt", "x");
    const struct {
        std::wstring path;
        ListResult expected;
    } cases[] = {
        {L"", ListResult::NotFound},
        {dir / L"missing", ListResult::NotFound},
        {file, ListResult::Unreadable},  // exists, but is a file
    };
    for (const auto& c : cases) {
        FileList rows = {Row(L"stale")};
        EXPECT_EQ(ListDirectory(c.path, rows), c.expected) << c.path;
        EXPECT_TRUE(rows.empty()) << c.path;
    }
}

// The remembered offsets give what the system gives for each time itself: times in no order over
// forty years, twice over (the second pass answered from memory), and every hour of the days
// around this zone's changes of offset in one year, if it has any.
TEST(LocalTimeOf, AgreesWithTheSystemForEveryTime)
{
    auto system = [](uint64_t ticks) {
        const FILETIME utc = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
        SYSTEMTIME universal = {}, local = {};
        FILETIME localFile = {};
        FileTimeToSystemTime(&utc, &universal);
        SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local);
        SystemTimeToFileTime(&local, &localFile);
        return (static_cast<uint64_t>(localFile.dwHighDateTime) << 32 | localFile.dwLowDateTime) + ticks % 10'000;
    };
    std::vector<uint64_t> times;
    uint64_t seed = 7;
    for (int i = 0; i < 3000; ++i) {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        times.push_back(125'000'000'000'000'000ull + (seed >> 12) % 126'000'000'000'000'000ull / 10);
    }
    constexpr uint64_t kHour = 36'000'000'000ull;
    const uint64_t year2021 = 132'539'328'000'000'000ull;
    for (uint64_t hour = 0; hour < 365 * 24; ++hour) {
        if (system(year2021 + hour * kHour) - (year2021 + hour * kHour) !=
            system(year2021 + (hour + 1) * kHour) - (year2021 + (hour + 1) * kHour)) {
            for (uint64_t h = hour - 30; h < hour + 30; ++h) times.push_back(year2021 + h * kHour + 1234567);
        }
    }
    for (int pass = 0; pass < 2; ++pass) {
        for (const uint64_t ticks : times) {
            const FILETIME utc = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
            ASSERT_EQ(LocalTimeOf(utc), system(ticks)) << ticks << " pass " << pass;
        }
    }
}
