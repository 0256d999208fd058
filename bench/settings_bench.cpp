// Settings file benchmark. Auto-save writes the file on every keystroke in a rule box, so the
// save path is timed beside the bare truncate-and-write loop of the same bytes (what a plain
// in-place write would cost), and the load path beside a bare read of the same file.
// Run by scripts/bench.sh.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "engine/path.h"
#include "settings/settings_file.h"
#include "settings/settings_io.h"

namespace {

template <typename F>
double MedianMs(int rounds, F&& step)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const double start = NowMs();
        step();
        times.push_back(NowMs() - start);
    }
    return Median(times);
}

bool BareWrite(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok;
}

bool BareRead(const std::wstring& path, std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD got = 0;
    const bool ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    return ok;
}

AppSettings TypicalSettings()
{
    AppSettings s;
    s.inputDir = L"C:\\Users\\someone\\Pictures\\Holiday 2026";
    s.outputDir = L"D:\\Sorted\\Holiday";
    s.rules.prefix.type = SequenceType::Numbers;
    s.rules.search = L"IMG_";
    s.rules.replace = L"Beach ";
    s.hasWindowPos = true;
    s.winX = 120;
    s.winY = 80;
    return s;
}

}  // namespace

int main()
{

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = JoinPath(temp, L"op_settings_bench_" + std::to_wstring(GetCurrentProcessId()));
    CreateDirectoryW(dir.c_str(), nullptr);
    const std::wstring path = JoinPath(dir, L"settings.json");
    const std::wstring barePath = JoinPath(dir, L"bare.json");
    const AppSettings settings = TypicalSettings();
    const std::string text = FormatSettingsText(settings);
    const int rounds = 200;

    const double save = MedianMs(rounds, [&] { WriteSettingsFile(path, settings); });
    const double bareSave = MedianMs(rounds, [&] { BareWrite(barePath, text); });
    AppSettings loaded;
    std::string bytes;
    const double bareLoad = MedianMs(rounds, [&] { BareRead(path, bytes); });
    const double load = MedianMs(rounds, [&] { LoadSettings(path, loaded); });

    std::printf("settings file: %zu bytes, median of %d rounds\n", text.size(), rounds);
    std::printf("save (format, temp write, flush, replace): %8.3f ms   bare truncate+write: %8.3f ms   ratio %.1f\n",
                save, bareSave, save / bareSave);
    std::printf("load (read, parse, clamp):                 %8.3f ms   bare read:           %8.3f ms   ratio %.1f\n",
                load, bareLoad, load / bareLoad);

    DeleteFileW(path.c_str());
    DeleteFileW(barePath.c_str());
    RemoveDirectoryW(dir.c_str());
    return 0;
}
