// The engine's contact with the file system, kept apart so the rest of the engine needs no
// <windows.h>: full paths and the planner's existence test.
#include <windows.h>

#include "engine/path.h"
#include "engine/planner.h"

std::wstring FullPathOf(const std::wstring& path)
{
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(length, L'\0');
    const DWORD written = length ? GetFullPathNameW(path.c_str(), length, full.data(), nullptr) : 0;
    if (written == 0 || written >= length) return path;
    full.resize(written);
    return full;
}

std::wstring ExtendedDirectory(const std::wstring& directory)
{
    if (directory.empty()) return {};
    std::wstring full(MAX_PATH, L'\0');
    DWORD length = GetFullPathNameW(directory.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {  // too small: the answer is the size needed
        full.resize(length);
        length = GetFullPathNameW(directory.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (length == 0 || length >= full.size()) return {};
    full.resize(length);
    return ExtendedPath(full);
}

std::wstring ExtendedFilePath(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    const std::wstring name = NameOf(path);
    // "C:\" must stay a root when its separator is cut off: keep the separator with the folder.
    const std::wstring folder = slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
    const std::wstring full = ExtendedDirectory(folder);
    return full.empty() || name.empty() ? std::wstring() : JoinPath(full, name);
}

bool FileSystemPathExists(const std::wstring& path)
{
    // Any failure (missing, access denied, a path the call cannot handle) counts as absent:
    // the row stays Ready and the real error shows when the file is processed.
    const auto exists = [](const std::wstring& p) {
        return !p.empty() && GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    // A device name is asked plainly too: where the system takes it as the device, the row
    // must stay a conflict.
    if (IsDeviceName(NameOf(path)) && exists(path)) return true;
    return exists(ExtendedFilePath(path));
}
