#pragma once
// The name filter ("*.jpg; IMG_*") and the scan's full listing it chooses rows from.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/planner.h"
#include "files/file_order.h"

// Patterns separated by ';' with blanks around them dropped, in the form PathMatchSpecExW takes;
// empty when the filter is blank (every file is a row).
std::wstring NormalizeFileFilter(const std::wstring& filter);
// Whether `name` matches a normalized filter, as Windows' file dialogs match: '*' and '?',
// case-insensitive, the whole name. An empty filter matches every name.
bool MatchesFileFilter(const wchar_t* name, const std::wstring& normalizedFilter);

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

// The scan of a folder: every file it lists, in name order, is kept in `kept`, and the rows are
// those the filter (as typed) lets through; `hidden` counts the others. `allNames`, when given,
// receives every name of the folder (see ListDirectory). A failed listing leaves `kept` as it was.
ListResult ScanFolderRows(const std::wstring& folder, const std::wstring& fileFilter, FileList& rows,
                          ScannedFiles& kept, size_t& hidden, FolderNames* allNames = nullptr);
// What the status bar says when a scan fails.
const wchar_t* ScanFailureText(ListResult result);
