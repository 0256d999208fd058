#pragma once
// A small deterministic generator for the generated-case tests: the same seed gives the same
// cases on every run and every platform.
#include <cstddef>
#include <cstdint>

struct Lcg {
    uint64_t state;
    uint32_t Below(uint32_t n)
    {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state >> 33) % n;
    }
    template <typename T, size_t N>
    const T& Pick(const T (&items)[N])
    {
        return items[Below(static_cast<uint32_t>(N))];
    }
};
