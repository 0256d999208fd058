#pragma once
// The name filter ("*.jpg; IMG_*") and the scan's full listing it chooses rows from.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/planner.h"

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
// 100,000 files cost one string and two numbers each.
struct ScannedFiles {
    SharedText directory;
    std::wstring units;
    std::vector<uint32_t> starts;
    std::vector<uint64_t> sizes;
};

// Keeps the names and sizes of `rows`, all in `directory`.
void KeepScannedFiles(const FileList& rows, ScannedFiles& kept);
// Drops the rows that do not match; returns how many it dropped.
size_t DropUnmatchedRows(FileList& rows, const std::wstring& normalizedFilter);
// The rows of the kept files that match, in the kept order; returns how many did not match.
size_t RowsOfMatchingFiles(const ScannedFiles& kept, const std::wstring& normalizedFilter, FileList& rows);
