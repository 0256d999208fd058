#pragma once
// Timing helpers and the build folder, shared by the benchmarks.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

// Milliseconds on the performance counter.
inline double NowMs()
{
    static const double tickMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return 1000.0 / static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * tickMs;
}

inline double Median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

inline double Best(const std::vector<double>& v)
{
    return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

// The build folder: the benchmark runs as build\bench\<name>.exe.
inline std::wstring BuildFolder()
{
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring dir = exe;
    dir.resize(dir.rfind(L'\\'));  // build\bench
    dir.resize(dir.rfind(L'\\'));  // build
    return dir;
}
