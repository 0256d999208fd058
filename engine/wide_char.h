#pragma once
// Per-unit case mapping and white-space test with the C library's functions in the default
// ("C") locale. In that locale the ASCII range maps only A-Z <-> a-z and only " \t\n\v\f\r"
// are white space, so ASCII is answered inline and only other units pay for the library call;
// the planner maps every unit of every target path on each keystroke.
#include <cwctype>

inline wchar_t LowerUnit(wchar_t c)
{
    if (c < 0x80) return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
    return static_cast<wchar_t>(std::towlower(c));
}

inline wchar_t UpperUnit(wchar_t c)
{
    if (c < 0x80) return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
    return static_cast<wchar_t>(std::towupper(c));
}

inline bool IsSpaceUnit(wchar_t c)
{
    if (c < 0x80) return c == L' ' || (c >= L'\t' && c <= L'\r');
    return std::iswspace(c) != 0;
}
