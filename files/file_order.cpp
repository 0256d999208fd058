// Listing a directory into rows and ordering the rows; no window involved.
#include "files/file_order.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <iterator>

#include "engine/path.h"
#include "files/folder_snapshot.h"

namespace {

// Answers of LocalTimeOf by UTC week, then by day: a span whose start and end have the same
// offset has it throughout (a zone changes its offset at most twice in a few weeks, never twice
// in a week), so a row costs a look-up, not the system call (microseconds under Wine). Only in
// the few weeks with a change are days asked, and only on the day of a change each time alone.
struct OffsetSlot {
    uint32_t spanPlus1 = 0;  // 0: empty
    int32_t minutes = 0;     // kOffsetChanges: the offset changes within the span
};
constexpr int32_t kOffsetChanges = INT32_MIN;
constexpr uint64_t kDayTicks = 86400ull * 10'000'000;
constexpr uint64_t kWeekTicks = 7 * kDayTicks;
constexpr int64_t kMinuteTicks = 60ll * 10'000'000;
OffsetSlot g_weekOffsets[4096];  // 78 years without a collision, whatever the order of the rows
OffsetSlot g_dayOffsets[1024];

// The zone's offset at `ticks` (UTC), by the system's rules for that date; false on failure.
bool SystemOffset(uint64_t ticks, int64_t& offset)
{
    const FILETIME utc = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME universal = {}, local = {};
    FILETIME localFile = {};
    if (!FileTimeToSystemTime(&utc, &universal) || !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local) ||
        !SystemTimeToFileTime(&local, &localFile))
        return false;
    const uint64_t localTicks = static_cast<uint64_t>(localFile.dwHighDateTime) << 32 | localFile.dwLowDateTime;
    // SYSTEMTIME holds milliseconds: the ticks below one are the same on both sides.
    offset = static_cast<int64_t>(localTicks - (ticks - ticks % 10'000));
    return true;
}

// The offset in minutes throughout span `span` (of `spanTicks` each), or kOffsetChanges, from
// `table` or asked and remembered there; false when the system could not say.
template <size_t N>
bool SpanOffset(OffsetSlot (&table)[N], uint64_t span, uint64_t spanTicks, int32_t& minutes)
{
    OffsetSlot& slot = table[span % N];
    if (slot.spanPlus1 != span + 1) {
        int64_t first = 0, last = 0;
        if (!SystemOffset(span * spanTicks, first) || !SystemOffset((span + 1) * spanTicks - 1, last)) return false;
        const bool steady = first == last && first % kMinuteTicks == 0;
        slot = OffsetSlot{static_cast<uint32_t>(span + 1),
                          steady ? static_cast<int32_t>(first / kMinuteTicks) : kOffsetChanges};
    }
    minutes = slot.minutes;
    return true;
}

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
    int32_t minutes = 0;
    if (!SpanOffset(g_weekOffsets, ticks / kWeekTicks, kWeekTicks, minutes)) return ticks;
    if (minutes == kOffsetChanges && !SpanOffset(g_dayOffsets, ticks / kDayTicks, kDayTicks, minutes)) return ticks;
    int64_t offset = static_cast<int64_t>(minutes) * kMinuteTicks;
    if (minutes == kOffsetChanges && !SystemOffset(ticks, offset)) return ticks;
    return ticks + static_cast<uint64_t>(offset);
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
