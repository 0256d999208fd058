#pragma once
// Dates in new names: a point in time as 100-ns ticks since 1601-01-01 (the FILETIME scale,
// without a time zone), turned into calendar fields and into the name's fixed text.
#include <cstddef>
#include <cstdint>

struct CivilTime {
    int year = 1601;  // 1601..9999
    int month = 1;    // 1..12
    int day = 1;      // 1..days of the month
    int hour = 0;
    int minute = 0;
    int second = 0;
};

constexpr uint64_t kTicksPerSecond = 10'000'000;

// False when a field is out of range (30 February, hour 24, year 0).
bool IsValidCivilTime(const CivilTime& time);
uint64_t TicksFromCivil(const CivilTime& time);
CivilTime CivilFromTicks(uint64_t ticks);
// "2024-05-17", or "2024-05-17 13.45.10" with the time: no character a file name may not
// hold. Writes into buf (at least 32 units) and returns the length.
size_t FormatDateText(wchar_t* buf, uint64_t ticks, bool withTime);
