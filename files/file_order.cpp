// Listing a directory into rows and ordering the rows; no window involved.
#include "files/file_order.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

#include "engine/path.h"
#include "files/folder_snapshot.h"

namespace {

// Recent answers of LocalTimeOf by quarter hour of UTC: a zone's offset changes only on a
// quarter hour, and files of one folder cluster in time, so most rows skip the system call.
struct LocalOffsetSlot {
    uint64_t quarter = UINT64_MAX;
    int64_t offset = 0;
};
constexpr uint64_t kQuarterHourTicks = 15ull * 60 * 10'000'000;
LocalOffsetSlot g_localOffsets[1024];

int Sign(int compareResult)
{
    if (compareResult == CSTR_LESS_THAN) return -1;
    if (compareResult == CSTR_GREATER_THAN) return 1;
    return 0;  // equal, or the call failed
}

}  // namespace

ListResult ListDirectory(const std::wstring& directory, FileList& rows, FolderNames* allNames)
{
    rows.clear();
    if (directory.empty() || GetFileAttributesW(directory.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return ListResult::NotFound;
    }
    const std::wstring pattern = JoinPath(directory, L"*");
    const SharedText folder(directory);  // one copy for all rows
    WIN32_FIND_DATAW data = {};
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return ListResult::Unreadable;
    do {
        // The directory flag also covers "." and "..". Every other attribute is listed.
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            // Filled in place: the rows are built where they stay, not moved into the list.
            FillFileEntry(rows.emplace_back(), folder, data.cFileName,
                          (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
                          LocalTimeOf(data.ftLastWriteTime));
        }
        if (allNames) AppendFolderName(*allNames, data.cFileName);
    } while (FindNextFileW(find, &data));  // any failure ends the listing; rows so far stay
    if (allNames) allNames->complete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(find);
    return ListResult::Listed;
}

void FillFileEntry(FileEntry& row, const SharedText& directory, const wchar_t* name, uint64_t size, uint64_t modified)
{
    row.modified = modified;
    row.name.assign(name);
    row.directory = directory;
    row.sourcePath = JoinPath(directory, row.name);
    row.size = size;
    row.extension = ExtensionOf(row.name);
}

uint64_t LocalTimeOf(const FILETIME& utc)
{
    const uint64_t ticks = static_cast<uint64_t>(utc.dwHighDateTime) << 32 | utc.dwLowDateTime;
    const uint64_t quarter = ticks / kQuarterHourTicks;
    LocalOffsetSlot& slot = g_localOffsets[quarter % std::size(g_localOffsets)];
    if (slot.quarter != quarter) {
        SYSTEMTIME universal = {}, local = {};
        FILETIME localFile = {};
        if (!FileTimeToSystemTime(&utc, &universal) ||
            !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local) ||
            !SystemTimeToFileTime(&local, &localFile))
            return ticks;
        const uint64_t localTicks = static_cast<uint64_t>(localFile.dwHighDateTime) << 32 | localFile.dwLowDateTime;
        // The milliseconds below a whole second are kept as the listing gave them.
        slot = LocalOffsetSlot{quarter, static_cast<int64_t>(localTicks - (ticks - ticks % 10'000))};
    }
    return ticks + static_cast<uint64_t>(slot.offset);
}

std::wstring ExtensionOf(const std::wstring& name)
{
    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos || dot == 0) return std::wstring();
    return name.substr(dot);
}

int CompareNames(const std::wstring& a, const std::wstring& b)
{
    return Sign(
        CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE));
}

int CompareRows(const FileEntry& a, const FileEntry& b, int column)
{
    switch (column) {
    case 0: return CompareNames(a.name, b.name);
    case 1: return a.size < b.size ? -1 : (a.size > b.size ? 1 : 0);
    case 3:
        if (a.modified != b.modified) return a.modified < b.modified ? -1 : 1;
        return CompareNames(a.name, b.name);
    default: return CompareNames(a.extension, b.extension);
    }
}

void SortRowsByName(FileList& rows)
{
    std::sort(rows.begin(), rows.end(),
              [](const FileEntry& a, const FileEntry& b) { return CompareNames(a.name, b.name) < 0; });
}

void SortRowsByColumn(FileList& rows, int column, bool ascending)
{
    const int wanted = ascending ? -1 : 1;
    std::stable_sort(rows.begin(), rows.end(), [column, wanted](const FileEntry& a, const FileEntry& b) {
        return CompareRows(a, b, column) == wanted;
    });
}
