// The case table behind LowerUnit and UpperUnit, read from the system's invariant mapping.
#include <windows.h>

#include <memory>
#include <vector>

#include "engine/wide_char.h"

namespace {

bool IsSurrogate(unsigned u)
{
    return u >= 0xD800 && u <= 0xDFFF;
}

// Maps every unit in one call; a unit whose mapping is not exactly one unit keeps itself.
void FillMapping(wchar_t* to, DWORD flags)
{
    std::vector<wchar_t> units(0x10000);
    for (unsigned u = 0; u < 0x10000; ++u) units[u] = static_cast<wchar_t>(u);
    const wchar_t* from = units.data();
    const int all = 0x10000;
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, flags, from, all, to, all, nullptr, nullptr, 0) != all) {
        for (unsigned u = 0; u < 0x10000; ++u) {
            wchar_t mapped[4];
            const int n = LCMapStringEx(LOCALE_NAME_INVARIANT, flags, from + u, 1, mapped, 4, nullptr, nullptr, 0);
            to[u] = n == 1 ? mapped[0] : from[u];
        }
    }
    // Surrogates are never mapped one half at a time: a pair stays as it is.
    for (unsigned u = 0xD800; u <= 0xDFFF; ++u) to[u] = static_cast<wchar_t>(u);
    for (unsigned u = 0; u < 0x10000; ++u) {
        if (IsSurrogate(to[u]) && !IsSurrogate(u)) to[u] = static_cast<wchar_t>(u);
    }
}

std::unique_ptr<CaseTable> MakeCaseTable()
{
    auto table = std::make_unique<CaseTable>();
    FillMapping(table->lower, LCMAP_LOWERCASE);
    FillMapping(table->upper, LCMAP_UPPERCASE);
    return table;
}

}  // namespace

const CaseTable& SystemCaseTable()
{
    static const std::unique_ptr<CaseTable> table = MakeCaseTable();
    return *table;
}
