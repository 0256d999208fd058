#include "engine/date_text.h"

#include <cwchar>

namespace {

constexpr uint64_t kTicksPerDay = 86400 * kTicksPerSecond;
constexpr int64_t kDaysTo1601 = 584694;  // from 0000-03-01 to 1601-01-01

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1601-01-01 to the date: the proleptic Gregorian calendar, which FILETIME counts in.
int64_t DaysFromCivil(int year, int month, int day)
{
    // Counted from 1 March so the leap day ends a year (the usual civil-days arithmetic).
    const int64_t y = year - (month <= 2 ? 1 : 0);
    const int64_t era = y / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t monthFromMarch = month > 2 ? month - 3 : month + 9;
    const int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - kDaysTo1601;
}

}  // namespace

bool IsValidCivilTime(const CivilTime& t)
{
    return t.year >= 1601 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= DaysInMonth(t.year, t.month) && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 &&
           t.second >= 0 && t.second <= 59;
}

uint64_t TicksFromCivil(const CivilTime& t)
{
    const auto days = static_cast<uint64_t>(DaysFromCivil(t.year, t.month, t.day));
    const auto seconds = static_cast<uint64_t>(t.hour * 3600 + t.minute * 60 + t.second);
    return days * kTicksPerDay + seconds * kTicksPerSecond;
}

CivilTime CivilFromTicks(uint64_t ticks)
{
    // Back from days since 0000-03-01 (the inverse of DaysFromCivil).
    const int64_t z = static_cast<int64_t>(ticks / kTicksPerDay) + kDaysTo1601;
    const int64_t era = z / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    CivilTime t;
    t.day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    t.month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    t.year = static_cast<int>(yearOfEra + era * 400 + (t.month <= 2 ? 1 : 0));
    const auto seconds = static_cast<int>((ticks % kTicksPerDay) / kTicksPerSecond);
    t.hour = seconds / 3600;
    t.minute = seconds / 60 % 60;
    t.second = seconds % 60;
    return t;
}

size_t FormatDateText(wchar_t* buf, uint64_t ticks, bool withTime)
{
    const CivilTime t = CivilFromTicks(ticks);
    const int written = withTime ? std::swprintf(buf, 32, L"%04d-%02d-%02d %02d.%02d.%02d", t.year, t.month, t.day,
                                                 t.hour, t.minute, t.second)
                                 : std::swprintf(buf, 32, L"%04d-%02d-%02d", t.year, t.month, t.day);
    return written > 0 ? static_cast<size_t>(written) : 0;
}
