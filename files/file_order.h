#pragma once
// Listing a directory into rows, and ordering them.
#include <windows.h>

#include <string>

#include "engine/planner.h"

enum class ListResult { Listed, NotFound, Unreadable };

struct FolderNames;
// Empties `rows`, then appends one row per file of `directory` (sub-directories skipped), in
// the order the file system returns them. `allNames`, when given, also receives every name
// (sub-directories too), as a snapshot of the folder.
ListResult ListDirectory(const std::wstring& directory, FileList& rows, FolderNames* allNames = nullptr);
// One file's row before planning: name, folder, source path, size, extension and the
// last-write time (local, as LocalTimeOf gives it).
void FillFileEntry(FileEntry& row, const SharedText& directory, const wchar_t* name, uint64_t size,
                   uint64_t modified = 0);
// A FILETIME in UTC as local time in ticks of engine/date_text.h, with the daylight saving of
// that date (as Explorer shows it). Main thread only: it remembers recent answers.
uint64_t LocalTimeOf(const FILETIME& utc);
// The suffix from the last '.' on; empty without a dot or when the only dot leads the name.
std::wstring ExtensionOf(const std::wstring& name);
// Case-insensitive ordinal comparison: -1, 0 or +1.
int CompareNames(const std::wstring& a, const std::wstring& b);
// Three-way comparison by column: 0 name, 1 size, 2 extension, 3 last-write time (then name).
int CompareRows(const FileEntry& a, const FileEntry& b, int column);
// The scan's order: by name, rows comparing equal in no defined order.
void SortRowsByName(FileList& rows);
// The header click's order: stable, so equal rows keep their relative order.
void SortRowsByColumn(FileList& rows, int column, bool ascending);
