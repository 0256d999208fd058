// Worker benchmark: a whole batch in each mode through the real main window and its message
// flow, timed as the user waits for it: from the click on Yes in the confirmation until the
// window shows "Finished." and has nothing left to do (the progress, the end, the rescan and the
// painting of what changed), beside the bare MoveFileW / CopyFileW loop over the same files in
// the same run; and the longest time the window took to answer a message while the batch ran.
//   worker_bench.exe                  batches of 1,000 and 10,000 files, window shown
//   worker_bench.exe [--hidden] [--rename|--copy|--move|--shift|--case] N...
//                                     batches of N files; --hidden leaves the window unshown, which
//                                     shows what painting costs; a mode option runs that mode only.
//                                     --shift and --case rename within the batch: every name n
//                                     becomes n+1 (beside the bare loop doing the same moves, top
//                                     down), and *.JPG becomes *.jpg (beside a bare loop of one
//                                     move per file: the program needs two, through a temporary
//                                     name). Neither runs unless asked for.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_clock.h"
#include "app/app_state.h"
#include "app/main_window.h"
#include "engine/path.h"
#include "files/file_order.h"
#include "files/worker.h"
#include "settings/settings_file.h"

namespace {

bool g_hidden = false;
const wchar_t* g_onlyMode = nullptr;  // "--rename", "--copy", "--move", "--shift" or "--case"

bool RunsMode(const wchar_t* option)
{
    return !g_onlyMode || std::wstring(g_onlyMode) == option;
}

// The renames within the batch run only when asked for.
bool RunsWithinBatch(const wchar_t* option)
{
    return g_onlyMode && std::wstring(g_onlyMode) == option;
}

std::wstring TempFolder(const std::wstring& name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir =
        std::wstring(temp) + L"op_worker_bench_" + std::to_wstring(GetCurrentProcessId()) + L"_" + name;
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

std::vector<std::wstring> NamesIn(const std::wstring& dir)
{
    FileList rows;
    ListDirectory(dir, rows);
    std::vector<std::wstring> names;
    for (const FileEntry& row : rows) names.push_back(row.name);
    return names;
}

void RemoveFolder(const std::wstring& dir)
{
    for (const std::wstring& name : NamesIn(dir)) DeleteFileW(JoinPath(dir, name).c_str());
    RemoveDirectoryW(dir.c_str());
}

// Clicks Yes on the confirmation box and notes when; the batch starts right after.
class YesClicker {
public:
    YesClicker() : thread_([this] { Run(); }) {}
    ~YesClicker()
    {
        stop_ = true;
        thread_.join();
    }
    std::atomic<double> clickedAt{0};

private:
    static BOOL CALLBACK FindBox(HWND window, LPARAM found)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        wchar_t cls[16] = {};
        GetClassNameW(window, cls, 16);
        if (pid != GetCurrentProcessId() || std::wstring(cls) != L"#32770" || !IsWindowVisible(window)) return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    void Run()
    {
        while (!stop_ && clickedAt == 0) {
            Sleep(2);
            HWND box = nullptr;
            EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
            HWND yes = box ? GetDlgItem(box, IDYES) : nullptr;
            if (!yes) continue;
            clickedAt = NowMs();
            PostMessageW(yes, BM_CLICK, 0, 0);
        }
    }
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Asks the window for an answer (WM_NULL) over and over; keeps the longest wait while `armed`.
class Prober {
public:
    explicit Prober(HWND window) : window_(window), thread_([this] { Run(); }) {}
    ~Prober()
    {
        stop_ = true;
        thread_.join();
    }
    std::atomic<bool> armed{false};
    std::atomic<double> longest{0};

private:
    void Run()
    {
        while (!stop_) {
            const double t0 = NowMs();
            DWORD_PTR result = 0;
            SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
            const double waited = NowMs() - t0;
            if (armed && waited > longest) longest = waited;
            Sleep(10);
        }
    }
    HWND window_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The worker's own end: when it posts the end message (the window may still be catching up).
std::atomic<double> g_workerEnd{0};
BOOL WINAPI TimedPost(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP_FINISHED) g_workerEnd = NowMs();
    return PostMessageW(window, message, wParam, lParam);
}

struct WindowRun {
    double userMs = 0;    // prompt answered .. "Finished." shown and the window idle again
    double behindMs = 0;  // the worker posted its end .. the end message reached the window
    double rescanMs = 0;  // the end message's handling (the rescan after renaming or moving) and its repaint
    double longestAnswerMs = 0;
    double workerMs = 0;    // prompt answered .. the worker posted its end
    double progressMs = 0;  // the window's handling of the progress messages, all rows together
    int done = 0;
};

WindowRun ProcessThroughWindow(const std::wstring& input, const std::wstring& output, ProcessMode mode,
                               void (*adjust)(AppSettings&) = nullptr)
{
    g_app.settings = DefaultSettings();
    g_app.settings.autoSave = false;
    g_app.settings.inputDir = input;
    g_app.settings.mode = mode;
    g_app.settings.sameAsInput = mode == ProcessMode::RenameInPlace;
    g_app.settings.outputDir = output;
    g_app.settings.rules.prefix.type = SequenceType::Numbers;
    g_app.settings.rules.prefix.pad = 5;
    g_app.settings.rules.prefix.sep = L"_";
    if (adjust) adjust(g_app.settings);
    HWND window = CreateMainWindow(GetModuleHandleW(nullptr));
    if (!g_hidden) ShowWindow(window, SW_SHOWNOACTIVATE);

    MSG msg;
    // The window as the user finds it when clicking Process: painted, nothing pending.
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);

    WindowRun run;
    YesClicker clicker;
    Prober prober(window);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(1080, BN_CLICKED), reinterpret_cast<LPARAM>(g_app.processButton));
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_APP_PROGRESS && clicker.clickedAt > 0) prober.armed = true;
        if (msg.message == WM_APP_FINISHED && msg.hwnd == window) {
            const double reached = NowMs();
            prober.armed = false;
            run.behindMs = reached - g_workerEnd;
            run.workerMs = g_workerEnd - clicker.clickedAt;
            for (const FileEntry& row : g_app.files) run.done += row.status == ItemStatus::Done;
            DispatchMessageW(&msg);
            // What the end left to do (the lists and the status bar repaint what the rescan changed).
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            const double finished = NowMs();
            run.rescanMs = finished - reached;
            run.userMs = finished - clicker.clickedAt;
            if (g_app.statusBarText.compare(0, 9, L"Finished.") != 0) run.done = -1;
            break;
        }
        TranslateMessage(&msg);
        const double d0 = NowMs();
        DispatchMessageW(&msg);
        if (msg.message == WM_APP_PROGRESS) run.progressMs += NowMs() - d0;
    }
    run.longestAnswerMs = prober.longest;
    DestroyMainWindowForTest();
    return run;
}

double BareLoop(const std::wstring& from, const std::wstring& to, const std::vector<std::wstring>& names,
                const wchar_t* newPrefix, ProcessMode mode, int& failures)
{
    failures = 0;
    const double t0 = NowMs();
    for (const std::wstring& name : names) {
        const std::wstring source = JoinPath(from, name);
        const std::wstring target = JoinPath(to, newPrefix + name);
        const BOOL ok = mode == ProcessMode::CopyAndRename ? CopyFileW(source.c_str(), target.c_str(), TRUE)
                                                           : MoveFileW(source.c_str(), target.c_str());
        failures += !ok;
    }
    return NowMs() - t0;
}

// The best of each side over the rounds (the machine is shared; noise only adds time), and the
// longest answer of any round. The best bare loop and the best batch may come from different
// rounds, so the ratio within each round (the two run back to back) is kept as well.
struct Summary {
    std::vector<double> roundRatios;
    double bareMs = 1e300;
    double userMs = 1e300;
    double workerMs = 1e300;
    double behindMs = 1e300;
    double rescanMs = 1e300;
    double progressMs = 1e300;
    double longestAnswerMs = 0;
    int done = -1;
    int bareFailures = 0;

    void Add(double bare, int failures, const WindowRun& run)
    {
        roundRatios.push_back(run.userMs / bare);
        bareMs = std::min(bareMs, bare);
        userMs = std::min(userMs, run.userMs);
        workerMs = std::min(workerMs, run.workerMs);
        behindMs = std::min(behindMs, run.behindMs);
        rescanMs = std::min(rescanMs, run.rescanMs);
        progressMs = std::min(progressMs, run.progressMs);
        longestAnswerMs = std::max(longestAnswerMs, run.longestAnswerMs);
        done = done < 0 ? run.done : std::min(done, run.done);
        bareFailures += failures;
    }
};

void Report(const wchar_t* mode, size_t files, int rounds, const Summary& s, double target = 1.10)
{
    const double median = Median(s.roundRatios);
    std::printf("%-15ls %6zu files, best of %d: bare %9.1f ms | Yes .. \"Finished.\" %9.1f ms  ratio %.3f (target "
                "<= %.2f), median round %.3f | worker alone %9.1f ms (%.3fx) | window behind the worker %7.1f ms | "
                "progress handling %7.1f ms | end + rescan %7.1f ms | longest answer %6.1f ms | done %d/%zu, bare "
                "failures %d\n",
                mode, files, rounds, s.bareMs, s.userMs, s.userMs / s.bareMs, target, median, s.workerMs,
                s.workerMs / s.bareMs, s.behindMs, s.progressMs, s.rescanMs, s.longestAnswerMs, s.done, files,
                s.bareFailures);
    std::fflush(stdout);
}

void CreateFiles(const std::wstring& dir, size_t count)
{
    const double c0 = NowMs();
    for (size_t i = 0; i < count; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"f_%06zu.dat", i);
        HANDLE file = CreateFileW(JoinPath(dir, name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, name, 64, &written, nullptr);
        CloseHandle(file);
    }
    std::printf("(%zu files created in %.1f s; window %s)\n", count, (NowMs() - c0) / 1000,
                g_hidden ? "not shown" : "shown");
}

std::wstring ShiftName(size_t n)
{
    wchar_t name[32];
    swprintf(name, 32, L"%06zu.dat", n);
    return name;
}

std::wstring CaseName(int round, size_t n, const wchar_t* ext)
{
    wchar_t name[40];
    swprintf(name, 40, L"c%d_%06zu%ls", round, n, ext);
    return name;
}

void TempDirWrite(const std::wstring& dir, const std::wstring& name)
{
    HANDLE file = CreateFileW(JoinPath(dir, name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, name.c_str(), 20, &written, nullptr);
    CloseHandle(file);
}

void CreateNamed(const std::wstring& dir, size_t count, std::wstring (*name)(size_t))
{
    for (size_t i = 0; i < count; ++i) TempDirWrite(dir, name(i));
}

size_t g_shiftFirst = 0;  // the number the lowest file has now
void ShiftSettings(AppSettings& s)
{
    s.renameWithinBatch = true;
    s.rules.prefix = {SequenceType::Numbers, static_cast<int32_t>(g_shiftFirst + 1), 1, 6, L""};
    s.rules.replaceEntireName = true;
}

void CaseSettings(AppSettings& s)
{
    s.renameWithinBatch = true;
    s.rules.prefix.type = SequenceType::None;
    s.rules.extMode = ExtMode::Lowercase;
}

// Renames within the batch. A shift: the bare loop moves every file n to n+1, top down, then
// the program does the same once more. Changes of case: the program turns c<r>_*.JPG into
// c<r>_*.jpg (two moves each), then the bare loop moves each to c<r+1>_*.JPG (one move each),
// ready for the next round.
void BenchWithinBatch(size_t count)
{
    const int rounds = count <= 2000 ? 6 : 1;
    const std::wstring in = TempFolder(L"within");
    int failures = 0;
    Summary summary;
    if (RunsWithinBatch(L"--shift")) {
        CreateNamed(in, count, ShiftName);
        for (int round = 0; round < rounds; ++round) {
            std::vector<std::wstring> from, to;
            for (size_t i = count; i-- > 0;) {
                from.push_back(JoinPath(in, ShiftName(g_shiftFirst + i)));
                to.push_back(JoinPath(in, ShiftName(g_shiftFirst + i + 1)));
            }
            failures = 0;
            const double t0 = NowMs();
            for (size_t i = 0; i < from.size(); ++i) failures += !MoveFileW(from[i].c_str(), to[i].c_str());
            const double bare = NowMs() - t0;
            ++g_shiftFirst;
            summary.Add(bare, failures, ProcessThroughWindow(in, in, ProcessMode::RenameInPlace, ShiftSettings));
            ++g_shiftFirst;
        }
        Report(L"Shift n -> n+1", count, rounds, summary, 1.2);
    } else {
        for (size_t i = 0; i < count; ++i) TempDirWrite(in, CaseName(0, i, L".JPG"));
        for (int round = 0; round < rounds; ++round) {
            const WindowRun run = ProcessThroughWindow(in, in, ProcessMode::RenameInPlace, CaseSettings);
            failures = 0;
            const double t0 = NowMs();
            for (size_t i = 0; i < count; ++i) {
                failures += !MoveFileW(JoinPath(in, CaseName(round, i, L".jpg")).c_str(),
                                       JoinPath(in, CaseName(round + 1, i, L".JPG")).c_str());
            }
            summary.Add(NowMs() - t0, failures, run);
        }
        Report(L"Case only", count, rounds, summary, 2.2);
    }
    RemoveFolder(in);
}

// Each round, the bare loop and the program handle the same files, one right after the other;
// whichever goes second runs slower under Wine, so renames and copies take turns going first
// (moves cannot: the program moves back what the bare loop moved away).
void BenchSize(size_t count)
{
    const int rounds = count <= 2000 ? 10 : 1;
    const std::wstring in = TempFolder(L"in");
    CreateFiles(in, count);
    std::vector<std::wstring> folders = {in};
    int failures = 0;

    // Rename in place: the bare loop puts "r" before every name, the program its numbering.
    Summary rename;
    for (int round = 0; round < rounds && RunsMode(L"--rename"); ++round) {
        const bool bareFirst = round % 2 == 0;
        WindowRun run;
        if (!bareFirst) run = ProcessThroughWindow(in, in, ProcessMode::RenameInPlace);
        const double bare = BareLoop(in, in, NamesIn(in), L"r", ProcessMode::RenameInPlace, failures);
        if (bareFirst) run = ProcessThroughWindow(in, in, ProcessMode::RenameInPlace);
        rename.Add(bare, failures, run);
    }
    if (RunsMode(L"--rename")) Report(L"Rename in place", count, rounds, rename);

    // Copy: both copy the input folder into empty folders of their own.
    Summary copy;
    for (int round = 0; round < rounds && RunsMode(L"--copy"); ++round) {
        const std::wstring bareOut = TempFolder(L"copy_bare_" + std::to_wstring(round));
        const std::wstring programOut = TempFolder(L"copy_program_" + std::to_wstring(round));
        folders.insert(folders.end(), {bareOut, programOut});
        const bool bareFirst = round % 2 == 0;
        WindowRun run;
        if (!bareFirst) run = ProcessThroughWindow(in, programOut, ProcessMode::CopyAndRename);
        const double bare = BareLoop(in, bareOut, NamesIn(in), L"c", ProcessMode::CopyAndRename, failures);
        if (bareFirst) run = ProcessThroughWindow(in, programOut, ProcessMode::CopyAndRename);
        copy.Add(bare, failures, run);
    }
    if (RunsMode(L"--copy")) Report(L"Copy & rename", count, rounds, copy);

    // Move: the bare loop moves the files out of the input folder, the program moves them back.
    const std::wstring away = TempFolder(L"move_away");
    folders.push_back(away);
    Summary move;
    for (int round = 0; round < rounds && RunsMode(L"--move"); ++round) {
        const double bare = BareLoop(in, away, NamesIn(in), L"m", ProcessMode::MoveAndRename, failures);
        move.Add(bare, failures, ProcessThroughWindow(away, in, ProcessMode::MoveAndRename));
    }
    if (RunsMode(L"--move")) Report(L"Move & rename", count, rounds, move);

    for (const std::wstring& dir : folders) RemoveFolder(dir);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    const std::wstring settingsDir = TempFolder(L"settings");
    SetSettingsPathForTest(JoinPath(settingsDir, L"settings.json"));
    if (!RegisterWindowClasses(GetModuleHandleW(nullptr))) return 1;
    SetWorkerPostFunction(TimedPost);

    std::vector<size_t> sizes;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--hidden") {
            g_hidden = true;
        } else if (arg == L"--rename" || arg == L"--copy" || arg == L"--move" || arg == L"--shift" ||
                   arg == L"--case") {
            g_onlyMode = argv[i];
        } else {
            sizes.push_back(static_cast<size_t>(_wtoi(argv[i])));
        }
    }
    if (sizes.empty()) sizes = {1000, 10000};
    for (size_t count : sizes) {
        if (RunsWithinBatch(L"--shift") || RunsWithinBatch(L"--case"))
            BenchWithinBatch(count);
        else
            BenchSize(count);
    }

    RemoveFolder(settingsDir);
    return 0;
}
