// Dates through the real main window: the Modified column and its sort, dates in new names, and
// the dates photos were taken, read off the window's thread.
#include <mutex>

#include "engine/date_text.h"
#include "files/date_reading.h"
#include "tests/app/window_fixture.h"
#include "tests/support/exif_file.h"

namespace {

// Gives a file the last-write time `local` says, in this machine's time zone.
void SetModified(const std::wstring& path, const CivilTime& local)
{
    SYSTEMTIME localTime = {
        static_cast<WORD>(local.year),  static_cast<WORD>(local.month), 0,
        static_cast<WORD>(local.day),   static_cast<WORD>(local.hour),  static_cast<WORD>(local.minute),
        static_cast<WORD>(local.second)};
    SYSTEMTIME universal = {};
    FILETIME file = {};
    ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &localTime, &universal));
    ASSERT_TRUE(SystemTimeToFileTime(&universal, &file));
    HANDLE handle =
        CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(SetFileTime(handle, nullptr, nullptr, &file));
    CloseHandle(handle);
}

// The combo indices of the date entries.
constexpr int kDate = 3, kDateTime = 4, kDateTaken = 5;

bool AnyRowReading()
{
    for (const FileEntry& row : g_app.files) {
        if (row.status == ItemStatus::ReadingDate) return true;
    }
    return false;
}

}  // namespace

class ModifiedTest : public FilesWindowTest {
protected:
    void PrepareFiles() override
    {
        SetModified(input_.Write(L"a.txt", "a"), {2024, 3, 1, 10, 0, 0});
        SetModified(input_.Write(L"b.txt", "b"), {2023, 1, 1, 8, 0, 0});
        SetModified(input_.Write(L"c.txt", "c"), {2024, 3, 1, 10, 0, 0});
        SetModified(input_.Write(L"d.txt", "d"), {2022, 6, 30, 23, 30, 0});
    }
    static void ClickColumn(int column) { NotifyList(g_app.listOriginal, LVN_COLUMNCLICK, -1, column); }
    static std::vector<std::wstring> NewNames()
    {
        std::vector<std::wstring> names;
        for (const FileEntry& row : g_app.files) names.push_back(row.newName);
        return names;
    }
};

TEST_F(ModifiedTest, ColumnSortsByDateThenNameAndTheNumbersFollow)
{
    EXPECT_NE(Cell(g_app.listOriginal, 3, 3).find(L"2022"), std::wstring::npos) << Cell(g_app.listOriginal, 3, 3);
    ClickColumn(3);
    EXPECT_EQ(HeaderFormat(3), HDF_SORTUP);
    EXPECT_EQ(HeaderFormat(0), 0);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"d.txt", L"b.txt", L"a.txt", L"c.txt"}));
    EXPECT_EQ(NewNames(), (std::vector<std::wstring>{L"001d.txt", L"002b.txt", L"003a.txt", L"004c.txt"}));
    ClickColumn(3);
    EXPECT_EQ(HeaderFormat(3), HDF_SORTDOWN);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"c.txt", L"a.txt", L"b.txt", L"d.txt"}));

    // A new filter makes rows from the scan's kept listing: their dates come along.
    ClickColumn(3);
    Type(g_app.filterEdit, L"*.txt");
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"d.txt", L"b.txt", L"a.txt", L"c.txt"}));
}

TEST_F(ModifiedTest, DateEntriesNameByTheLastWriteTime)
{
    Type(g_app.prefixSepEdit, L" ");
    Choose(g_app.prefixTypeCombo, kDate);
    EXPECT_EQ(NewNames(), (std::vector<std::wstring>{L"2024-03-01 a.txt", L"2023-01-01 b.txt", L"2024-03-01 c.txt",
                                                     L"2022-06-30 d.txt"}));
    // Start, Step and Pad belong to the counters; the separator still applies.
    EXPECT_FALSE(Enabled(g_app.prefixStartEdit));
    EXPECT_FALSE(Enabled(g_app.prefixStepEdit));
    EXPECT_FALSE(Enabled(g_app.prefixPadEdit));
    EXPECT_TRUE(Enabled(g_app.prefixSepEdit));
    Choose(g_app.prefixTypeCombo, kDateTime);
    EXPECT_EQ(g_app.files[3].newName, L"2022-06-30 23.30.00 d.txt");
    EXPECT_EQ(StatusText(), L"Files: 4  |  Ready: 4  |  Unchanged: 0  |  Conflicts: 0") << "no date taken to read";
    Choose(g_app.prefixTypeCombo, 1);
    EXPECT_TRUE(Enabled(g_app.prefixStartEdit));
    EXPECT_TRUE(Enabled(g_app.prefixPadEdit));
}

class DateTakenTest : public FilesWindowTest {
protected:
    void PrepareFiles() override
    {
        const CivilTime modified = {2024, 5, 17, 12, 0, 0};
        const std::string photo = MakeJpeg("2021:07:04 09:08:07");
        for (const auto& [name, bytes] : std::initializer_list<std::pair<const wchar_t*, std::string>>{
                 {L"be.jpg", MakeJpeg("2020:01:02 03:04:05", true)},
                 {L"broken.jpg", photo.substr(0, 60)},
                 {L"le.jpg", photo},
                 {L"notes.jpg", "not an image at all"},
                 {L"plain.jpg", MakeJpeg("")},
                 {L"scan.tif", MakeExifTiff("2019:12:31 23:59:59", true)},
                 {L"twin.jpg", photo},
             })
            SetModified(input_.Write(name, bytes), modified);
    }
    void FixtureSettings(AppSettings& settings) override
    {
        FilesWindowTest::FixtureSettings(settings);
        settings.rules.prefix.type = SequenceType::None;
    }
    static void WaitForDates()
    {
        ASSERT_TRUE(PumpUntil([] { return !AnyRowReading(); }));
    }
};

TEST_F(DateTakenTest, PhotosGiveTheirDateOthersTheModifiedDate)
{
    Choose(g_app.suffixTypeCombo, kDateTaken);
    WaitForDates();
    const wchar_t* const fallback = L"Ready (no date taken: modified date)";
    const struct {
        const wchar_t* newName;
        const wchar_t* status;
    } expected[] = {
        {L"be - 2020-01-02.jpg", L"Ready"},    {L"broken - 2024-05-17.jpg", fallback},
        {L"le - 2021-07-04.jpg", L"Ready"},    {L"notes - 2024-05-17.jpg", fallback},
        {L"plain - 2024-05-17.jpg", fallback}, {L"scan - 2019-12-31.tif", L"Ready"},
        {L"twin - 2021-07-04.jpg", L"Ready"},
    };
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(Cell(g_app.listNew, row, 0), expected[row].newName);
        EXPECT_EQ(Cell(g_app.listNew, row, 2), expected[row].status) << expected[row].newName;
    }
    Choose(g_app.suffixTypeCombo, kDateTaken + 1);
    EXPECT_EQ(Cell(g_app.listNew, 0, 0), L"be - 2020-01-02 03.04.05.jpg") << "read once: no second reading";
    EXPECT_FALSE(AnyRowReading());

    // Two photos of one moment name alike; a numbered suffix tells them apart.
    Click(g_app.replaceEntireCheck);
    EXPECT_EQ(Cell(g_app.listNew, 2, 2), L"Duplicate target");
    EXPECT_EQ(Cell(g_app.listNew, 6, 2), L"Duplicate target");
    Choose(g_app.suffixTypeCombo, kDateTaken);
    Choose(g_app.prefixTypeCombo, 0);
    Type(g_app.replaceNameEdit, L"Party");
    Choose(g_app.prefixTypeCombo, 1);
    Type(g_app.prefixSepEdit, L" ");
    EXPECT_EQ(Cell(g_app.listNew, 2, 0), L"003 Party - 2021-07-04.jpg");
    EXPECT_EQ(Cell(g_app.listNew, 2, 2), L"Ready");
}

namespace {

// A reader the test holds: every file waits for the release, and the paths asked are recorded.
std::mutex g_readLock;
std::vector<std::wstring> g_reads;
HANDLE g_release = nullptr;

DateTaken HeldRead(const std::wstring& path)
{
    {
        const std::lock_guard<std::mutex> lock(g_readLock);
        g_reads.push_back(path);
    }
    WaitForSingleObject(g_release, 20000);
    return ReadDateTaken(path);
}

size_t ReadsUnder(const std::wstring& folder)
{
    const std::lock_guard<std::mutex> lock(g_readLock);
    size_t count = 0;
    for (const std::wstring& path : g_reads) count += path.rfind(folder + L"\\", 0) == 0;
    return count;
}

}  // namespace

TEST_F(DateTakenTest, ReadingShowsProgressAndANewScanCancelsIt)
{
    g_release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const ReadDateFn previous = SetDateReadFunction(HeldRead);
    TempDir other;
    other.Write(L"one.jpg", MakeJpeg("2018:08:08 08:08:08"));
    other.Write(L"two.jpg", MakeJpeg("2017:07:07 07:07:07", true));

    Choose(g_app.suffixTypeCombo, kDateTaken);
    EXPECT_EQ(StatusText(), L"Reading dates: 0 / 7");
    EXPECT_EQ(Cell(g_app.listNew, 0, 2), L"Reading date\u2026");
    ASSERT_TRUE(PumpUntil([&] { return ReadsUnder(input_.path()) == 1; }));

    SetInputDir(other.path());
    SetEvent(g_release);
    WaitForDates();
    EXPECT_EQ(Cell(g_app.listNew, 0, 0), L"one - 2018-08-08.jpg");
    EXPECT_EQ(Cell(g_app.listNew, 1, 0), L"two - 2017-07-07.jpg");
    EXPECT_EQ(StatusText(), L"Files: 2  |  Ready: 2  |  Unchanged: 0  |  Conflicts: 0");
    // The first folder's reading ended with the file in hand.
    EXPECT_FALSE(PumpUntil([&] { return ReadsUnder(input_.path()) > 1; }, 500));
    EXPECT_EQ(ReadsUnder(other.path()), 2u);

    SetDateReadFunction(previous);
    CloseHandle(g_release);
}

TEST_F(DateTakenTest, ABatchKeepsTheDatesOfTheFilesItRenamed)
{
    Choose(g_app.suffixTypeCombo, kDateTaken);
    WaitForDates();
    g_release = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    const ReadDateFn previous = SetDateReadFunction(HeldRead);
    RunProcess({IDYES});
    EXPECT_TRUE(TempDir::Exists(input_ / L"le - 2021-07-04.jpg"));
    EXPECT_FALSE(AnyRowReading());
    EXPECT_EQ(ReadsUnder(input_.path()), 0u) << "the rescan read the renamed photos again";
    EXPECT_EQ(StatusText().rfind(L"Finished.", 0), 0u) << StatusText();
    SetDateReadFunction(previous);
    CloseHandle(g_release);
}
