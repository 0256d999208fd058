// Scan benchmark: the scan's listing of a folder into rows beside the bare FindFirstFileExW /
// FindNextFileW loop over the same folder in the same run, and the scan's name sort on its own.
//   scan_bench.exe             creates 10,000 files in a temporary folder (removed afterwards)
//   scan_bench.exe DIR [DIR]   uses existing folders as they are (e.g. 100,000 files made natively)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "engine/path.h"
#include "files/file_order.h"

namespace {

constexpr int kPasses = 15;

// The least disturbed pass of each side: the machine is shared, and noise only adds time.
// The same calls the scan makes, keeping nothing but a count.
size_t BareListing(const std::wstring& directory)
{
    const std::wstring pattern = JoinPath(directory, L"*");
    WIN32_FIND_DATAW data = {};
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return 0;
    size_t files = 0;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return files;
}

// Names in a shuffled order of creation, mixed case, so the sort has work to do.
std::wstring MakeFolder(size_t count)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = std::wstring(temp) + L"op_scan_bench_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
    for (size_t i = 0; i < count; ++i) {
        const size_t n = (i * 7919) % count;
        wchar_t name[64];
        swprintf(name, 64, L"%ls_%06zu.%ls", (n % 3) ? L"IMG" : L"photo", n, (n % 5) ? L"jpg" : L"PNG");
        HANDLE file = CreateFileW(JoinPath(dir, name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    return dir;
}

void RemoveFolder(const std::wstring& dir)
{
    FileList rows;
    ListDirectory(dir, rows);
    for (const FileEntry& row : rows) DeleteFileW(row.sourcePath.c_str());
    RemoveDirectoryW(dir.c_str());
}

void Bench(const std::wstring& dir)
{
    std::vector<double> bare, listing, sorting;
    size_t bareCount = 0;
    FileList rows;
    BareListing(dir);  // warm the directory cache for both sides alike
    for (int pass = 0; pass < kPasses; ++pass) {
        double t0 = NowMs();
        bareCount = BareListing(dir);
        bare.push_back(NowMs() - t0);

        t0 = NowMs();
        ListDirectory(dir, rows);
        listing.push_back(NowMs() - t0);

        t0 = NowMs();
        SortRowsByName(rows);
        sorting.push_back(NowMs() - t0);
    }
    const double b = Best(bare), l = Best(listing), s = Best(sorting);
    std::printf("folder with %zu files (%zu rows), best of %d alternating passes\n", bareCount, rows.size(), kPasses);
    std::printf("  bare FindFirstFileExW loop : %9.2f ms\n", b);
    std::printf("  scan listing into rows     : %9.2f ms   ratio %.3f (target <= 1.10)\n", l, l / b);
    std::printf("  scan name sort             : %9.2f ms   (listing + sort ratio %.3f)\n", s, (l + s) / b);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{

    if (argc > 1) {
        for (int i = 1; i < argc; ++i) Bench(argv[i]);
        return 0;
    }
    const double t0 = NowMs();
    const std::wstring dir = MakeFolder(10000);
    std::printf("(created 10,000 files in %.1f s)\n", (NowMs() - t0) / 1000);
    Bench(dir);
    RemoveFolder(dir);
    return 0;
}
