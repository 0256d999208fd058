#pragma once
// The name filter ("*.jpg; IMG_*") and the scan's full listing it chooses rows from.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/planner.h"
#include "files/file_order.h"

// Patterns separated by ';' with blanks around them dropped; empty when the filter is blank or
// holds "*.*", which means every file in Windows' file dialogs (every file is a row then).
std::wstring NormalizeFileFilter(const std::wstring& filter);
// Whether `name` matches one of the patterns of a normalized filter. An empty filter matches
// every name.
bool MatchesFileFilter(const wchar_t* name, const std::wstring& normalizedFilter);
// Whether the whole `name` matches `pattern`: '*' any run of characters, '?' one character (a
// surrogate pair is one), others equal after LowerUnit. Time linear in name x pattern.
bool MatchesWildcard(std::wstring_view name, std::wstring_view pattern);

// Every file a scan read, in the scan's order: names back to back (each ending in a null), so
// 100,000 files cost one string and three numbers each.
// Files the user took out of the list (Remove From List) are marked: they are no rows whatever
// the filter says.
struct ScannedFiles {
    SharedText directory;
    std::wstring units;
    std::vector<uint32_t> starts;
    std::vector<uint64_t> sizes;
    std::vector<uint64_t> modified;  // last-write times, local
    std::vector<uint8_t> removed;
};

// Keeps the names, sizes and last-write times of `rows`, all in `directory`; the files named in `removed` (as
// RemovedNames gave them) stay marked.
void KeepScannedFiles(const FileList& rows, ScannedFiles& kept, const std::vector<std::wstring>& removed = {});
// Marks the kept file of that exact name as removed; false when there is none.
bool MarkRemoved(ScannedFiles& kept, const std::wstring& name);
std::vector<std::wstring> RemovedNames(const ScannedFiles& kept);
// Drops the rows of removed files, then those that do not match; returns how many did not match.
size_t DropUnmatchedRows(FileList& rows, const std::wstring& normalizedFilter, const ScannedFiles& kept);
// The rows of the kept files that match and are not removed, in the kept order; returns how
// many of the others did not match.
size_t RowsOfMatchingFiles(const ScannedFiles& kept, const std::wstring& normalizedFilter, FileList& rows);

// The scan of a folder: every file it lists, in name order, is kept in `kept`, and the rows are
// those the filter (as typed) lets through; `hidden` counts the others. `allNames`, when given,
// receives every name of the folder (see ListDirectory). The files named in `removed` stay out of
// the rows (see KeepScannedFiles). A failed listing leaves `kept` as it was.
ListResult ScanFolderRows(const std::wstring& folder, const std::wstring& fileFilter, FileList& rows,
                          ScannedFiles& kept, size_t& hidden, FolderNames* allNames = nullptr,
                          const std::vector<std::wstring>& removed = {});
// What the status bar says when a scan fails.
const wchar_t* ScanFailureText(ListResult result);
