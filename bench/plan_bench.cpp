// Planner benchmark: one PlanPreview over N rows with the existence test answered in memory,
// and PlanPreview against a real folder beside the bare GetFileAttributesW loop over the same
// target paths. Run by scripts/bench.sh. "--memory-only" skips the folder part.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "engine/path.h"
#include "engine/planner.h"

namespace {

bool NothingExists(const std::wstring&)
{
    return false;
}

std::wstring FileName(size_t i)
{
    wchar_t buf[32];
    std::swprintf(buf, 32, L"IMG_%06zu.jpg", i);
    return buf;
}

FileList MakeRows(const std::wstring& directory, size_t n)
{
    FileList list(n);
    for (size_t i = 0; i < n; ++i) {
        list[i].name = FileName(i);
        list[i].directory = directory;
        list[i].sourcePath = JoinPath(directory, list[i].name);
        list[i].extension = L".jpg";
    }
    return list;
}

// Rename in Place with a Numbers prefix: every row gets a new, free name and so reaches the
// existence test.
struct Settings {
    std::wstring inputDir;
    std::wstring outputDir;
    RenameRules rules;
    PlanInput Input() const { return PlanInput{ProcessMode::RenameInPlace, true, &inputDir, &outputDir, &rules}; }
};

Settings NumbersPrefix(const std::wstring& dir)
{
    Settings s;
    s.inputDir = dir;
    s.rules.prefix.type = SequenceType::Numbers;
    return s;
}

void BenchInMemory(size_t n, int runs)
{
    const Settings s = NumbersPrefix(L"C:\\Users\\bench\\Pictures\\Holiday 2024");
    FileList list = MakeRows(s.inputDir, n);
    PlanPreview(list, s.Input(), NothingExists);  // warm-up: rows get their memory once
    std::vector<double> ms;
    for (int r = 0; r < runs; ++r) {
        const double t0 = NowMs();
        PlanPreview(list, s.Input(), NothingExists);
        ms.push_back(NowMs() - t0);
    }
    const double best = *std::min_element(ms.begin(), ms.end());
    const double median = Median(ms);
    std::printf("%9zu %10.3f %10.3f %12.1f %12.1f\n", n, best, median, best * 1e6 / n, median * 1e6 / n);
}

std::wstring MakeTempFolder()
{
    wchar_t temp[MAX_PATH];
    if (GetTempPathW(MAX_PATH, temp) == 0) return {};
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const std::wstring dir = JoinPath(temp, L"op_plan_bench_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                                                    std::to_wstring(attempt));
        if (CreateDirectoryW(dir.c_str(), nullptr)) return dir;
    }
    return {};
}

bool CreateFiles(const FileList& list)
{
    for (const FileEntry& e : list) {
        const HANDLE h =
            CreateFileW(e.sourcePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        CloseHandle(h);
    }
    return true;
}

void RemoveFolder(const std::wstring& dir, const FileList& list)
{
    for (const FileEntry& e : list) DeleteFileW(e.sourcePath.c_str());
    RemoveDirectoryW(dir.c_str());
}

// The same calls the planner makes, with nothing else around them.
double BareLoopMs(const std::vector<std::wstring>& targets, size_t& found)
{
    const double t0 = NowMs();
    found = 0;
    for (const std::wstring& t : targets) {
        if (GetFileAttributesW(t.c_str()) != INVALID_FILE_ATTRIBUTES) ++found;
    }
    return NowMs() - t0;
}

void BenchOnDisk(size_t n, int rounds)
{
    const std::wstring dir = MakeTempFolder();
    if (dir.empty()) {
        std::printf("%9zu  no temporary folder\n", n);
        return;
    }
    const Settings s = NumbersPrefix(dir);
    FileList list = MakeRows(dir, n);
    const double c0 = NowMs();
    const bool created = CreateFiles(list);
    const double createMs = NowMs() - c0;
    if (created) {
        PlanPreview(list, s.Input(), NothingExists);
        std::vector<std::wstring> targets;
        for (const FileEntry& e : list) targets.push_back(e.targetPath);
        std::vector<double> plan, bare;
        size_t found = 0;
        for (int r = 0; r < rounds; ++r) {
            // Alternate which goes first so neither always meets a warmer cache.
            if (r % 2) bare.push_back(BareLoopMs(targets, found));
            const double t0 = NowMs();
            PlanPreview(list, s.Input());
            plan.push_back(NowMs() - t0);
            if (r % 2 == 0) bare.push_back(BareLoopMs(targets, found));
        }
        const size_t ready =
            std::count_if(list.begin(), list.end(), [](const FileEntry& e) { return e.status == ItemStatus::Ready; });
        const double p = Median(plan), b = Median(bare);
        std::printf("%9zu %6d %12.1f %12.1f %8.3f %10.1f   (ready %zu, found %zu, created in %.0f ms)\n", n, rounds, p,
                    b, p / b, p * 1e3 / n, ready, found, createMs);
    } else {
        std::printf("%9zu  could not create the files (error %lu)\n", n, GetLastError());
    }
    RemoveFolder(dir, list);
}

}  // namespace

int main(int argc, char** argv)
{
    const bool memoryOnly = argc > 1 && std::strcmp(argv[1], "--memory-only") == 0;

    std::printf("plan_bench: PlanPreview, Rename in Place with a Numbers prefix\n\n");
    std::printf("Existence test answered in memory (target: <= 16 ms per plan of 100,000 rows)\n");
    std::printf("%9s %10s %10s %12s %12s\n", "rows", "best ms", "median ms", "best ns/row", "median ns/row");
    BenchInMemory(1000, 41);
    BenchInMemory(10000, 21);
    BenchInMemory(100000, 11);
    if (memoryOnly) return 0;

    std::printf("\nReal folder of N files: PlanPreview vs bare GetFileAttributesW loop over the same targets\n");
    std::printf("(medians of interleaved rounds; target: ratio <= 1.10)\n");
    std::printf("%9s %6s %12s %12s %8s %10s\n", "rows", "rounds", "plan ms", "bare ms", "ratio", "us/row");
    BenchOnDisk(1000, 9);
    BenchOnDisk(10000, 3);
    return 0;
}
