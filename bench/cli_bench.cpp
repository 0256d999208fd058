// Command-line benchmark: the built exe run as a script runs it, its output redirected to a file,
// timed from the process's start to its end, beside the bare calls on the same files in the
// same run:
// - `--apply` of N renames in place (N files in one folder) against the bare MoveFileW loop; the
//   two take turns renaming the files there and back, each going first once;
// - a dry run over the 100,000 files of build/bench-data/files_100000 (made by scripts/bench.sh)
//   against one bare FindFirstFileExW listing plus writing one line per file to a file.
//   cli_bench.exe          10,000 renames, then the dry run
//   cli_bench.exe N        N renames, then the dry run
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "engine/path.h"
#include "settings/json_text.h"
#include "settings/rules_file.h"
#include "settings/settings_file.h"
#include "tests/support/run_exe.h"

namespace {

std::wstring TempFolder(const std::wstring& name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = std::wstring(temp) + L"op_cli_bench_" + std::to_wstring(GetCurrentProcessId()) + name;
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

std::vector<std::wstring> Listing(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(JoinPath(folder, L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

void WriteText(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// The program's run with its standard output going to `outPath`; its time, and its exit code.
double RunProgramMs(const std::wstring& arguments, const std::wstring& outPath, DWORD& exitCode)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    const double t0 = NowMs();
    exitCode = RunWithOutput(BuildFolder() + L"\\app\\OrvanePallisto.exe", arguments, nullptr, out, out);
    const double ms = NowMs() - t0;
    CloseHandle(out);
    return ms;
}

std::wstring RulesFile(const std::wstring& folder, const wchar_t* search, const wchar_t* replace)
{
    AppSettings settings = DefaultSettings();
    settings.rules.search = search;
    settings.rules.replace = replace;
    const std::wstring path = JoinPath(folder, std::wstring(search) + L".oprules");
    WriteRulesFile(path, settings);
    return path;
}

void Report(const char* what, double programMs, double bareMs, const char* bare)
{
    std::printf("%-34s %9.0f ms   %s %9.0f ms   ratio %.2fx\n", what, programMs, bare, bareMs, programMs / bareMs);
}

// The bare loop and the program take turns renaming the files between IMG_ and pic_, each going
// first in one of the two rounds (under Wine whichever goes second runs a little slower).
void BenchApply(int files)
{
    const std::wstring work = TempFolder(L"_work");
    const std::wstring dir = TempFolder(L"_rename");
    for (int i = 0; i < files; ++i) {
        wchar_t name[32];
        std::swprintf(name, 32, L"IMG_%06d.jpg", i);
        WriteText(JoinPath(dir, name), "");
    }
    const std::wstring toPic = RulesFile(work, L"IMG_", L"pic_"), toImg = RulesFile(work, L"pic_", L"IMG_");
    bool pic = false;  // the files' prefix now
    std::vector<double> bare, program;
    const auto runBare = [&] {
        const std::vector<std::wstring> names = Listing(dir);
        const wchar_t* to = pic ? L"IMG_" : L"pic_";
        const double t0 = NowMs();
        for (const std::wstring& name : names)
            MoveFileW(JoinPath(dir, name).c_str(), JoinPath(dir, to + name.substr(4)).c_str());
        bare.push_back(NowMs() - t0);
        pic = !pic;
    };
    const auto runProgram = [&] {
        DWORD code = 0;
        const std::wstring& rules = pic ? toImg : toPic;
        program.push_back(
            RunProgramMs(L"--rules \"" + rules + L"\" --apply \"" + dir + L"\"", work + L"\\out.txt", code));
        if (code != 0) std::printf("the program's apply ended with %lu\n", code);
        pic = !pic;
    };
    runBare();
    runProgram();
    runProgram();
    runBare();
    char what[64];
    std::snprintf(what, sizeof what, "--apply, %d renames", files);
    Report(what, Median(program), Median(bare), "bare MoveFileW loop");
    for (const std::wstring& name : Listing(dir)) DeleteFileW(JoinPath(dir, name).c_str());
    for (const std::wstring& path : {work + L"\\out.txt", toPic, toImg}) DeleteFileW(path.c_str());
    RemoveDirectoryW(dir.c_str());
    RemoveDirectoryW(work.c_str());
}

// One line per file, as the dry run's lines are long.
double BareListingAndOutputMs(const std::wstring& folder, const std::wstring& outPath)
{
    const double t0 = NowMs();
    std::wstring text;
    for (const std::wstring& name : Listing(folder)) text += name + L"\t" + name + L"\tReady\r\n";
    WriteText(outPath, Utf16ToUtf8(text));
    return NowMs() - t0;
}

void BenchDryRun()
{
    const std::wstring folder = BuildFolder() + L"\\bench-data\\files_100000";
    if (Listing(folder).size() != 100000) {
        std::printf("dry run: no %ls (scripts/bench.sh makes it)\n", folder.c_str());
        return;
    }
    const std::wstring work = TempFolder(L"_dry");
    const std::wstring rules = RulesFile(work, L"IMG_", L"pic_");
    std::vector<double> bare, program, start;
    for (int round = 0; round < 3; ++round) {
        bare.push_back(BareListingAndOutputMs(folder, work + L"\\bare.txt"));
        DWORD code = 0;
        program.push_back(RunProgramMs(L"--rules \"" + rules + L"\" \"" + folder + L"\"", work + L"\\out.txt", code));
        start.push_back(RunProgramMs(L"--help", work + L"\\help.txt", code));
    }
    Report("dry run, 100,000 files", Median(program), Median(bare), "bare listing + output");
    std::printf("  of which starting the process (--help): %.0f ms\n", Median(start));
    for (const wchar_t* name : {L"\\bare.txt", L"\\out.txt", L"\\help.txt"}) DeleteFileW((work + name).c_str());
    DeleteFileW(rules.c_str());
    RemoveDirectoryW(work.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int files = argc > 1 ? std::max(1, _wtoi(argv[1])) : 10000;
    BenchApply(files);
    BenchDryRun();
    return 0;
}
