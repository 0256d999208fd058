// Preview benchmark on big real folders, through the real main window: start-up (scan and
// first plan), one keystroke in a rule edit (plan, item counts, repaint, auto-save; also with
// renames within the batch on) and the memory per row, each beside one bare FindFirstFileExW
// listing of the same folder in the same run. Also the cost of one per-row existence call,
// against which the per-row limit of small plans was chosen.
// Then, in a folder of 100,000 files of which half are .jpg, one keystroke in the name filter
// and one in Search with a regular expression, and the memory per row with the scan's kept
// listing; and one keystroke in the filter with each of two patterns that freeze a
// backtracking matcher, in a folder of 20,000 long names.
// The folders are made once, outside Wine, by scripts/bench.sh: build/bench-data/files_N,
// build/bench-data/mixed_100000 and build/bench-data/long_20000.
//   preview_bench.exe          folders of 10,000 and 100,000 files, then the mixed and long folders
//   preview_bench.exe N...     folders of N files
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/list_views.h"
#include "app/main_window.h"
#include "bench/bench_clock.h"
#include "engine/path.h"
#include "files/file_order.h"
#include "files/folder_snapshot.h"
#include "files/name_filter.h"
#include "settings/settings_file.h"

namespace {

std::wstring DataFolder(size_t files, const wchar_t* kind = L"files_")
{
    return BuildFolder() + L"\\bench-data\\" + kind + std::to_wstring(files);
}

// The bare call loop the program's own listing is compared with.
double BareListingMs(const std::wstring& folder, size_t& count)
{
    const double t0 = NowMs();
    WIN32_FIND_DATAW data;
    count = 0;
    HANDLE find = FindFirstFileExW(JoinPath(folder, L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do ++count;
    while (FindNextFileW(find, &data));
    FindClose(find);
    return NowMs() - t0;
}

double MissingLookupMs(const std::wstring& folder, int calls)
{
    const double t0 = NowMs();
    for (int i = 0; i < calls; ++i) GetFileAttributesW(JoinPath(folder, L"missing_" + std::to_wstring(i)).c_str());
    return (NowMs() - t0) / calls;
}

// Bytes in use on every heap of the process (Wine reports no private-usage counter).
size_t HeapBytes()
{
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    size_t used = 0;
    for (HANDLE heap : heaps) {
        PROCESS_HEAP_ENTRY entry = {};
        HeapLock(heap);
        while (HeapWalk(heap, &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) used += entry.cbData + entry.cbOverhead;
        }
        HeapUnlock(heap);
    }
    return used;
}

void Paint()
{
    for (HWND list : {g_app.listOriginal, g_app.listNew}) UpdateWindow(list);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// The median of five bare listings of `folder`; false (and a line saying so) when the folder
// does not hold its files.
bool MedianListing(const std::wstring& folder, size_t files, double& listing)
{
    size_t listed = 0;
    std::vector<double> bare;
    for (int i = 0; i < 5; ++i) bare.push_back(BareListingMs(folder, listed));
    if (listed < files) {
        std::printf("%zu files: folder %ls missing (made by scripts/bench.sh)\n", files, folder.c_str());
        return false;
    }
    listing = Median(bare);
    return true;
}

// What the "Modified" column adds to a start-up: each row's last-write time made local (the
// listing's own times, then times spread over twenty years in no order, when most days are new) and the visible cells'
// texts; and the bytes it adds to each row.
void BenchModifiedColumn(const std::wstring& folder, double startup)
{
    std::vector<FILETIME> times;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(JoinPath(folder, L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return;
    do times.push_back(data.ftLastWriteTime);
    while (FindNextFileW(find, &data));
    FindClose(find);
    uint64_t sum = 0;
    double t0 = NowMs();
    for (const FILETIME& time : times) sum += LocalTimeOf(time);
    const double listed = NowMs() - t0;
    // Photos of twenty years in name order: each row a random second of them.
    constexpr uint64_t kTwentyYears = 20ull * 365 * 86400;
    uint64_t seed = 12345;
    // Each folder its own twenty years (the first from 2003, the next from 1960): no day seen before.
    static uint64_t base = 140'500'000'000'000'000ull;
    base -= 13'500'000'000'000'000ull;
    t0 = NowMs();
    for (size_t i = 0; i < times.size(); ++i) {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        const uint64_t ticks = base + (seed >> 20) % kTwentyYears * 10'000'000;
        sum += LocalTimeOf(FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)});
    }
    const double distinct = NowMs() - t0;
    t0 = NowMs();
    for (int row = 0; row < 50; ++row) sum += FormatModifiedText(sum | 1).size();  // a screenful of cells
    const double cells = NowMs() - t0;
    const size_t bytes = sizeof(FileEntry::modified) + sizeof(ScannedFiles::modified[0]);
    std::printf(
        "        Modified column: local times %6.1f ms (every row a random second of 20 years: %6.1f ms), 50 cells "
        "%5.2f ms = %4.1f%% (worst %4.1f%%) of start-up (target <= 5%%) | %zu bytes/row (the row's time and "
        "the kept listing's; target <= 64)%s\n",
        listed, distinct, cells, 100 * (listed + cells) / startup, 100 * (distinct + cells) / startup, bytes,
        sum == 42 ? " " : "");
}

// Median time of `times` edits, each followed by the repaint; `edit(i)` makes the i-th change.
template <typename Edit>
double MedianKeystrokeMs(int times, Edit edit)
{
    std::vector<double> keys;
    for (int i = 0; i < times; ++i) {
        const double k0 = NowMs();
        edit(i);
        Paint();
        keys.push_back(NowMs() - k0);
    }
    return Median(keys);
}

void BenchFolder(size_t files)
{
    const std::wstring folder = DataFolder(files);
    double listing = 0;
    if (!MedianListing(folder, files, listing)) return;

    g_app.settings = DefaultSettings();
    g_app.settings.autoSave = true;
    g_app.settings.inputDir = folder;
    g_app.settings.rules.prefix.type = SequenceType::Numbers;
    const size_t before = HeapBytes();
    const double s0 = NowMs();
    HWND window = CreateMainWindow(GetModuleHandleW(nullptr));
    ShowWindow(window, SW_SHOWNOACTIVATE);
    Paint();
    const double startup = NowMs() - s0;
    const size_t rows = g_app.files.size();

    // EN_CHANGE: the whole preview refresh.
    const auto typeInSearch = [](int i) { SetWindowTextW(g_app.searchEdit, (i % 2) ? L"IMG" : L"IMG_0"); };
    const double key = MedianKeystrokeMs(9, typeInSearch);
    const size_t after = HeapBytes();
    g_app.settings.renameWithinBatch = true;  // each target also looked up among the listed names
    const double keyWithin = MedianKeystrokeMs(9, typeInSearch);
    int exists = 0;
    for (const FileEntry& row : g_app.files) exists += row.status == ItemStatus::TargetExists;
    DestroyMainWindowForTest();

    const double perRow = MissingLookupMs(folder, 50);
    std::printf("%7zu rows | one listing %8.1f ms | start-up %8.1f ms = %5.2fx (target <= 10) | keystroke %7.1f ms "
                "= %5.3fx (target <= %s) | %6.0f bytes/row (target <= 1024) | per-row missing lookup %.3f ms, "
                "listing = %.0f lookups (per-row limit %zu) | rows already existing %d\n",
                rows, listing, startup, startup / listing, key, key / listing, files >= 100000 ? "0.5" : "1.0",
                rows ? static_cast<double>(after - before) / rows : 0.0, perRow, listing / perRow, kPerRowLimit,
                exists);
    std::printf("        keystroke with renames within the batch on %7.1f ms = %5.3fx (same target)\n", keyWithin,
                keyWithin / listing);
    BenchModifiedColumn(folder, startup);
    std::fflush(stdout);
}

// A shown main window on `folder`: default settings with auto-save on, changed by `adjust`.
template <typename Adjust>
void OpenWindowOn(const std::wstring& folder, Adjust adjust)
{
    g_app.settings = DefaultSettings();
    g_app.settings.autoSave = true;
    g_app.settings.inputDir = folder;
    adjust(g_app.settings);
    HWND window = CreateMainWindow(GetModuleHandleW(nullptr));
    ShowWindow(window, SW_SHOWNOACTIVATE);
    Paint();
}

void BenchFilterAndPattern(size_t files)
{
    const std::wstring folder = DataFolder(files, L"mixed_");
    double listing = 0;
    if (!MedianListing(folder, files, listing)) return;
    const size_t before = HeapBytes();
    OpenWindowOn(folder, [](AppSettings& s) {
        s.rules.searchRegex = true;
        s.rules.replace = L"p$1";
    });
    const size_t rows = g_app.files.size();
    const double perRow = rows ? static_cast<double>(HeapBytes() - before) / rows : 0.0;

    // Every row matches the pattern; the two patterns differ, so each keystroke re-plans.
    const double pattern =
        MedianKeystrokeMs(9, [](int i) { SetWindowTextW(g_app.searchEdit, (i % 2) ? L"^g(\\d+)$" : L"^g(\\d+)"); });
    const bool renamed = !g_app.files.empty() && g_app.files[0].newName[0] == L'p';
    const double filter =
        MedianKeystrokeMs(9, [](int i) { SetWindowTextW(g_app.filterEdit, (i % 2) ? L"*.jpg" : L"*.jp?"); });
    const size_t filtered = g_app.files.size();
    DestroyMainWindowForTest();
    std::printf("%7zu files | one listing %8.1f ms | filter keystroke (%zu rows) %7.1f ms = %5.3fx (target <= 0.5) | "
                "regex keystroke (%zu rows%s) %7.1f ms = %5.3fx (target <= 0.5) | %6.0f bytes/row with the kept "
                "listing (target <= 1024)\n",
                files, listing, filtered, filter, filter / listing, rows, renamed ? ", all renamed" : ", NOT renamed",
                pattern, pattern / listing, perRow);
    std::fflush(stdout);
}

// The two wildcard patterns a backtracking matcher freezes on (seconds per name), in a folder of
// 20,000 names of 200 letters that neither matches: one keystroke each in the filter edit.
void BenchFreezingPatterns(size_t files)
{
    const std::wstring folder = DataFolder(files, L"long_");
    double listing = 0;
    if (!MedianListing(folder, files, listing)) return;
    OpenWindowOn(folder, [](AppSettings&) {});
    static const wchar_t* const kPatterns[2][2] = {
        {L"*?*?*?*?*?*?*?*?*?*?*?*?x", L"*?*?*?*?*?*?*?*?*?*?*?*?y"},
        {L"*a*a*a*a*.png", L"*a*a*a*a*.pnh"},
    };
    double key[2];
    for (int p = 0; p < 2; ++p)
        key[p] = MedianKeystrokeMs(9, [p](int i) { SetWindowTextW(g_app.filterEdit, kPatterns[p][i % 2]); });
    const size_t shown = g_app.files.size();
    DestroyMainWindowForTest();
    std::printf("%7zu files | one listing %8.1f ms | filter %ls keystroke %7.1f ms = %5.3fx (target <= 0.5) | "
                "filter %ls keystroke %7.1f ms = %5.3fx (target <= 0.5) | rows shown %zu (expected 0)\n",
                files, listing, kPatterns[0][0], key[0], key[0] / listing, kPatterns[1][0], key[1], key[1] / listing,
                shown);
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring settings =
        JoinPath(temp, L"op_preview_bench_" + std::to_wstring(GetCurrentProcessId()) + L".json");
    SetSettingsPathForTest(settings);
    if (!RegisterWindowClasses(GetModuleHandleW(nullptr))) return 1;

    std::vector<size_t> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(static_cast<size_t>(_wtoi(argv[i])));
    if (sizes.empty()) sizes = {10000, 100000};
    // One window first, so that start-up below is the scan and the plan, not the first window's
    // one-time costs (fonts, theme, classes).
    g_app.settings = DefaultSettings();
    CreateMainWindow(GetModuleHandleW(nullptr));
    DestroyMainWindowForTest();
    std::printf("preview_bench: Rename in Place with a Numbers prefix, window shown, auto-save on\n");
    for (size_t files : sizes) BenchFolder(files);
    if (argc == 1) {
        std::printf("name filter and regular expression: 100,000 files, half .jpg; Search ^g(\\d+)$ -> p$1\n");
        BenchFilterAndPattern(100000);
        std::printf("name filter, patterns that freeze a backtracking matcher: 20,000 names of 200 letters\n");
        BenchFreezingPatterns(20000);
    }
    DeleteFileW(settings.c_str());
    return 0;
}
