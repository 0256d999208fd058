#pragma once
// Per-unit case mapping and white-space test. Case follows the system's simple mapping of each
// UTF-16 unit (so the length never changes and a surrogate stays as it is), read once into a
// table; ASCII is answered inline, since the planner maps every unit of every target path on
// each keystroke. White space is the C library's.
#include <cwctype>
#include <string>

struct CaseTable {
    wchar_t lower[0x10000];
    wchar_t upper[0x10000];
};
const CaseTable& SystemCaseTable();  // filled on first use (engine/case_map.cpp)

inline wchar_t LowerUnit(wchar_t c)
{
    if (c < 0x80) return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
    return SystemCaseTable().lower[c];
}

inline wchar_t UpperUnit(wchar_t c)
{
    if (c < 0x80) return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
    return SystemCaseTable().upper[c];
}

// A path (or name) with every unit lower-cased: the key under which names that differ only in
// case are one file.
inline std::wstring FoldedText(const std::wstring& text)
{
    std::wstring key = text;
    for (wchar_t& c : key) c = LowerUnit(c);
    return key;
}

// Equal after LowerUnit of every unit: the same file. Compared from the end: paths in one folder,
// and a name before and after renaming, differ mostly in their last units.
inline bool EqualIgnoringCase(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = a.size(); i-- > 0;) {
        if (a[i] != b[i] && LowerUnit(a[i]) != LowerUnit(b[i])) return false;
    }
    return true;
}

inline bool IsSpaceUnit(wchar_t c)
{
    if (c < 0x80) return c == L' ' || (c >= L'\t' && c <= L'\r');
    return std::iswspace(c) != 0;
}
