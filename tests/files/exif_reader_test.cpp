#include "files/exif_reader.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/exif_file.h"
#include "tests/support/lcg.h"

namespace {

using exif_file::kTiffInJpeg;

// The bytes at the very end of readable memory, with an inaccessible page right behind them:
// a reader that goes one byte past the buffer ends the test process.
class GuardedBytes {
public:
    explicit GuardedBytes(const std::string& bytes)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        const size_t page = info.dwPageSize;
        const size_t readable = (bytes.size() + page - 1) / page * page + page;
        base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, readable + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(base_ + readable, page, PAGE_NOACCESS, &old);
        data_ = base_ + readable - bytes.size();
        std::memcpy(data_, bytes.data(), bytes.size());
        size_ = bytes.size();
    }
    ~GuardedBytes() { VirtualFree(base_, 0, MEM_RELEASE); }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;
    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }

private:
    uint8_t* base_ = nullptr;
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

// "2024-05-17 13.45.10" for a found date, "-" for none.
std::string Read(const std::string& bytes)
{
    const GuardedBytes guarded(bytes);
    CivilTime time;
    if (!FindDateTaken(guarded.data(), guarded.size(), time)) return "-";
    wchar_t text[32];
    const size_t length = FormatDateText(text, TicksFromCivil(time), true);
    return std::string(text, text + length);
}

std::string With(std::string bytes, size_t at, const std::string& patch)
{
    return bytes.replace(at, patch.size(), patch);
}

constexpr char kDate[] = "2024:05:17 13:45:10";

}  // namespace

TEST(ExifReader, FindsTheDateOrRejectsTheFile)
{
    using namespace exif_file;
    const std::string little = MakeJpeg(kDate);
    const std::string big = MakeJpeg(kDate, true);
    const std::string xmpFirst = std::string("\xFF\xD8\xFF\xE1\x00\x0C", 6) + "http://ns.\0" + "" + little.substr(2);
    struct Row {
        const char* what;
        std::string bytes;
        const char* expected;
    };
    const Row rows[] = {
        {"JPEG, little-endian", little, "2024-05-17 13.45.10"},
        {"JPEG, big-endian", big, "2024-05-17 13.45.10"},
        {"TIFF, little-endian", MakeExifTiff("1999:12:31 23:59:59", false), "1999-12-31 23.59.59"},
        {"TIFF, big-endian", MakeExifTiff("2000:02:29 00:00:00", true), "2000-02-29 00.00.00"},
        {"another APP1 before the EXIF one", xmpFirst, "2024-05-17 13.45.10"},
        {"JPEG without EXIF", MakeJpeg(""), "-"},
        {"text named .jpg", "just some text, not a photo at all", "-"},
        {"empty file", "", "-"},
        {"clock never set (blanks)", MakeJpeg("    :  :     :  :  "), "-"},
        {"clock never set (zeros)", MakeJpeg("0000:00:00 00:00:00"), "-"},
        {"30 February", MakeJpeg("2023:02:30 10:00:00"), "-"},
        {"hour 24", MakeJpeg("2023:01:01 24:00:00"), "-"},
        {"dashes for colons", MakeJpeg("2023-01-01 10:00:00"), "-"},
        {"cut in the EXIF block", little.substr(0, kTiffInJpeg + kDateValue + 10), "-"},
        {"cut before the date", little.substr(0, kTiffInJpeg + kExifIfd + 6), "-"},
        {"wrong TIFF magic", With(little, kTiffInJpeg + 2, "\x2B"), "-"},
        {"Exif IFD is IFD0 (a loop)", With(little, kTiffInJpeg + kIfd0 + 14 + 8, std::string("\x08\0\0\0", 4)), "-"},
        {"IFD0 beyond the block", With(little, kTiffInJpeg + 4, "\xF0\xFF\xFF\xFF"), "-"},
        {"Exif IFD beyond the block", With(little, kTiffInJpeg + kIfd0 + 14 + 8, "\xF0\xFF\xFF\x7F"), "-"},
        {"huge entry count", With(little, kTiffInJpeg + kExifIfd, "\xFF\xFF"), "-"},
        {"date offset beyond the block", With(little, kTiffInJpeg + kExifIfd + 2 + 8, "\xFF\xFF\xFF\xFF"), "-"},
        {"date offset at the block's end", With(little, kTiffInJpeg + kExifIfd + 2 + 8, std::string("\x48\0\0\0", 4)),
         "-"},
        {"date of another type", With(little, kTiffInJpeg + kExifIfd + 2 + 2, std::string("\x07\0", 2)), "-"},
        {"APP1 length of 1", With(little, 22, std::string("\0\x01", 2)), "-"},
        {"APP1 length past the file", With(little, 22, "\xFF\xFF"), "2024-05-17 13.45.10"},
    };
    for (const Row& row : rows) EXPECT_EQ(Read(row.bytes), row.expected) << row.what;
}

// Damaged photos of every kind: each is read from a buffer with nothing readable behind it, so
// a read past its end crashes the test. Whatever is found must be a real date.
TEST(ExifReader, FuzzedJpegsNeverReadPastTheBuffer)
{
    const std::string originals[] = {MakeJpeg(kDate), MakeJpeg(kDate, true), MakeExifTiff(kDate, true)};
    Lcg random{20240517};
    int found = 0;
    for (int round = 0; round < 6000; ++round) {
        std::string bytes = originals[round % 3];
        const int damages = 1 + static_cast<int>(random.Below(6));
        for (int d = 0; d < damages && !bytes.empty(); ++d) {
            const size_t at = random.Below(static_cast<uint32_t>(bytes.size()));
            switch (random.Below(4)) {
            case 0: bytes[at] = static_cast<char>(random.Below(256)); break;
            case 1: bytes[at] = static_cast<char>(random.Pick({'\0', '\xFF', '\x7F', '\x80', '\x08'})); break;
            case 2: bytes.resize(at); break;
            default: bytes.insert(at, std::string(1 + random.Below(8), static_cast<char>(random.Below(256)))); break;
            }
        }
        const GuardedBytes guarded(bytes);
        CivilTime time;
        if (FindDateTaken(guarded.data(), guarded.size(), time)) {
            ++found;
            EXPECT_TRUE(IsValidCivilTime(time)) << "round " << round;
        }
    }
    // Some damage misses the path to the date: the fuzzing reached the reader's depths.
    EXPECT_GT(found, 100);
}

TEST(ExifReader, EveryCutOfAPhotoIsSafe)
{
    for (const std::string& whole : {MakeJpeg(kDate), MakeExifTiff(kDate, false)}) {
        for (size_t length = 0; length < whole.size(); ++length) {
            const GuardedBytes guarded(whole.substr(0, length));
            CivilTime time;
            const bool found = FindDateTaken(guarded.data(), guarded.size(), time);
            // The date is found only once its text is wholly there.
            if (found) EXPECT_EQ(time.second, 10) << length;
        }
    }
}

TEST(DateText, TicksAgreeWithTheSystemCalendar)
{
    const CivilTime dates[] = {{1601, 1, 1, 0, 0, 0},     {1970, 1, 1, 0, 0, 0},    {2000, 2, 29, 12, 30, 45},
                               {2024, 5, 17, 13, 45, 10}, {2100, 3, 1, 23, 59, 59}, {9999, 12, 31, 23, 59, 59}};
    for (const CivilTime& date : dates) {
        SYSTEMTIME system = {};
        system.wYear = static_cast<WORD>(date.year);
        system.wMonth = static_cast<WORD>(date.month);
        system.wDay = static_cast<WORD>(date.day);
        system.wHour = static_cast<WORD>(date.hour);
        system.wMinute = static_cast<WORD>(date.minute);
        system.wSecond = static_cast<WORD>(date.second);
        FILETIME file = {};
        ASSERT_TRUE(SystemTimeToFileTime(&system, &file));
        const uint64_t expected = static_cast<uint64_t>(file.dwHighDateTime) << 32 | file.dwLowDateTime;
        EXPECT_EQ(TicksFromCivil(date), expected) << date.year << "-" << date.month << "-" << date.day;
        const CivilTime back = CivilFromTicks(expected + 9'999'999);  // a fraction of a second later
        EXPECT_EQ(TicksFromCivil(back), expected);
    }
    wchar_t text[32];
    EXPECT_EQ(std::wstring(text, FormatDateText(text, TicksFromCivil({2024, 5, 7, 3, 4, 5}), false)), L"2024-05-07");
    EXPECT_EQ(std::wstring(text, FormatDateText(text, TicksFromCivil({2024, 5, 7, 3, 4, 5}), true)),
              L"2024-05-07 03.04.05");
}
