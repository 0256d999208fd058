// Dates taken benchmark: reading the date every photo of a folder was taken (the reading the
// window runs off its thread: open, the first 64 KiB, the EXIF reader, the cache) beside the
// bare loop that opens each file and reads its first 64 KiB, on the same files in the same run.
//   dates_bench.exe --sample FILE   writes the photo that scripts/bench.sh copies 10,000 times
//   dates_bench.exe [DIR]           times the folder (build/bench-data/jpeg_10000 by default)
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "files/date_reading.h"
#include "files/exif_reader.h"
#include "files/file_order.h"
#include "tests/support/exif_file.h"

namespace {

constexpr int kRounds = 5;

std::wstring DefaultFolder()
{
    return BuildFolder() + L"\\bench-data\\jpeg_10000";
}

// A camera's photo in miniature: the EXIF block up front, then image data well past 64 KiB.
bool WriteSample(const wchar_t* path)
{
    std::string jpeg = MakeJpeg("2024:05:17 13:45:10");
    jpeg.insert(jpeg.size() - 2, std::string(200 * 1024, '\x5A'));
    std::ofstream out(path, std::ios::binary);
    out.write(jpeg.data(), static_cast<std::streamsize>(jpeg.size()));
    return static_cast<bool>(out);
}

double BareLoopMs(const FileList& rows)
{
    std::vector<char> buffer(kExifReadLimit);
    const double t0 = NowMs();
    for (const FileEntry& row : rows) {
        HANDLE file =
            CreateFileW(row.sourcePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) continue;
        DWORD got = 0;
        ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr);
        CloseHandle(file);
    }
    return NowMs() - t0;
}

// The window's reading from start to the last date in the rows, a fresh cache each time.
double ReadingMs(FileList rows, size_t& found)
{
    DatesTaken dates;
    const double t0 = NowMs();
    StartDateReading(dates, rows, nullptr);
    while (dates.job && !dates.job->ended.load()) Sleep(1);
    CollectDateResults(dates, rows);
    const double ms = NowMs() - t0;
    found = 0;
    for (const FileEntry& row : rows) found += row.takenState == TakenState::Found;
    return ms;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && std::wstring(argv[1]) == L"--sample") return WriteSample(argv[2]) ? 0 : 1;
    const std::wstring folder = argc > 1 ? argv[1] : DefaultFolder();
    FileList rows;
    if (ListDirectory(folder, rows) != ListResult::Listed || rows.empty()) {
        std::printf("dates_bench: no photos in %ls (made by scripts/bench.sh)\n", folder.c_str());
        return 1;
    }
    BareLoopMs(rows);  // both sides then read from the same warm cache
    std::vector<double> bare, ours;
    size_t found = 0;
    for (int round = 0; round < kRounds; ++round) {
        bare.push_back(BareLoopMs(rows));
        ours.push_back(ReadingMs(rows, found));
    }
    const double b = Median(bare), o = Median(ours);
    std::printf("dates_bench: %zu photos, %zu dates found | bare open + 64 KiB read loop %8.1f ms | dates taken "
                "%8.1f ms = %5.2fx (target <= 2) | medians of %d rounds\n",
                rows.size(), found, b, o, o / b, kRounds);
    return 0;
}
