#pragma once
// One UTF-16 unit through the system's invariant case mapping, asked afresh each time: the
// reference the engine's table is checked against. A surrogate, or a unit whose mapping is not
// one unit, stays as it is.
#include <windows.h>

#include <string>

inline wchar_t SystemCaseUnit(wchar_t c, DWORD flags)
{
    if (c >= 0xD800 && c <= 0xDFFF) return c;
    wchar_t mapped[4];
    const int n = LCMapStringEx(LOCALE_NAME_INVARIANT, flags, &c, 1, mapped, 4, nullptr, nullptr, 0);
    return n == 1 && !(mapped[0] >= 0xD800 && mapped[0] <= 0xDFFF) ? mapped[0] : c;
}
inline wchar_t SystemLower(wchar_t c)
{
    return SystemCaseUnit(c, LCMAP_LOWERCASE);
}
inline wchar_t SystemUpper(wchar_t c)
{
    return SystemCaseUnit(c, LCMAP_UPPERCASE);
}
