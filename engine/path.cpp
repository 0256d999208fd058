#include "engine/path.h"

#include <string_view>

namespace {

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

wchar_t AsciiUpper(wchar_t c)
{
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
}

bool EqualsAsciiNoCase(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    }
    return true;
}

}  // namespace

void JoinPathInto(std::wstring& out, const std::wstring& directory, const std::wstring& name)
{
    out.assign(directory);
    if (!directory.empty() && !IsSeparator(directory.back())) out.push_back(L'\\');
    out.append(name);
}

std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return std::wstring();
    const bool driveRoot = slash == 2 && path[1] == L':';
    return path.substr(0, driveRoot ? slash + 1 : slash);
}

std::wstring NameOf(const std::wstring& path)
{
    return path.substr(path.find_last_of(L"\\/") + 1);
}

std::wstring JoinPath(const std::wstring& directory, const std::wstring& name)
{
    std::wstring out;
    out.reserve(directory.size() + 1 + name.size());
    JoinPathInto(out, directory, name);
    return out;
}

std::wstring ResolveOutputDirectory(const std::wstring& inputDir, const std::wstring& outputDir)
{
    // Rooted ("\x", "\\server") and drive ("C:") paths are the user's own; only a path that
    // starts with a name is relative.
    const bool relative =
        !outputDir.empty() && !IsSeparator(outputDir[0]) && !(outputDir.size() >= 2 && outputDir[1] == L':');
    return (relative && !inputDir.empty()) ? JoinPath(inputDir, outputDir) : outputDir;
}

std::wstring ExtendedPath(const std::wstring& fullPath)
{
    const std::wstring_view path(fullPath);
    if (path.size() < 2) return fullPath;
    if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\")) return fullPath;
    if (IsSeparator(path[0]) && IsSeparator(path[1])) return L"\\\\?\\UNC\\" + fullPath.substr(2);
    return L"\\\\?\\" + fullPath;
}

bool IsDeviceName(const std::wstring& name)
{
    // The system looks at the part before the first dot, without its trailing spaces.
    std::wstring_view base(name);
    base = base.substr(0, base.find(L'.'));
    while (!base.empty() && base.back() == L' ') base.remove_suffix(1);
    static constexpr std::wstring_view kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (std::wstring_view device : kDevices) {
        if (EqualsAsciiNoCase(base, device)) return true;
    }
    if (base.size() != 4) return false;
    const std::wstring_view port = base.substr(0, 3);
    const wchar_t digit = base[3];
    const bool numbered =
        (digit >= L'1' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
    return numbered && (EqualsAsciiNoCase(port, L"COM") || EqualsAsciiNoCase(port, L"LPT"));
}
