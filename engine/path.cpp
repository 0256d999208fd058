#include "engine/path.h"

void JoinPathInto(std::wstring& out, const std::wstring& directory, const std::wstring& name)
{
    out.assign(directory);
    if (!directory.empty() && directory.back() != L'\\' && directory.back() != L'/') out.push_back(L'\\');
    out.append(name);
}

std::wstring JoinPath(const std::wstring& directory, const std::wstring& name)
{
    std::wstring out;
    out.reserve(directory.size() + 1 + name.size());
    JoinPathInto(out, directory, name);
    return out;
}
