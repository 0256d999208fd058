#include "engine/path.h"

std::wstring JoinPath(const std::wstring& directory, const std::wstring& name)
{
    if (directory.empty()) return name;
    const wchar_t last = directory.back();
    if (last == L'\\' || last == L'/') return directory + name;
    return directory + L'\\' + name;
}
