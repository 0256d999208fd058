#include "files/name_filter.h"

#include <windows.h>
#include <shlwapi.h>

#include "engine/rename_rules.h"
#include "files/file_order.h"

std::wstring NormalizeFileFilter(const std::wstring& filter)
{
    std::wstring normalized;
    size_t from = 0;
    while (from <= filter.size()) {
        size_t end = filter.find(L';', from);
        if (end == std::wstring::npos) end = filter.size();
        const std::wstring pattern = TrimSpace(filter.substr(from, end - from));
        if (!pattern.empty()) {
            if (!normalized.empty()) normalized.push_back(L';');
            normalized.append(pattern);
        }
        from = end + 1;
    }
    return normalized;
}

bool MatchesFileFilter(const wchar_t* name, const std::wstring& normalizedFilter)
{
    return normalizedFilter.empty() || PathMatchSpecExW(name, normalizedFilter.c_str(), PMSF_MULTIPLE) == S_OK;
}

void KeepScannedFiles(const FileList& rows, ScannedFiles& kept)
{
    kept.directory = rows.empty() ? SharedText() : rows.front().directory;
    kept.units.clear();
    kept.starts.clear();
    kept.sizes.clear();
    kept.starts.reserve(rows.size());
    kept.sizes.reserve(rows.size());
    for (const FileEntry& row : rows) {
        kept.starts.push_back(static_cast<uint32_t>(kept.units.size()));
        kept.sizes.push_back(row.size);
        kept.units.append(row.name).push_back(L'\0');
    }
    kept.units.shrink_to_fit();
}

size_t DropUnmatchedRows(FileList& rows, const std::wstring& normalizedFilter)
{
    if (normalizedFilter.empty()) return 0;
    return std::erase_if(rows,
                         [&](const FileEntry& row) { return !MatchesFileFilter(row.name.c_str(), normalizedFilter); });
}

size_t RowsOfMatchingFiles(const ScannedFiles& kept, const std::wstring& normalizedFilter, FileList& rows)
{
    rows.clear();
    size_t hidden = 0;
    for (size_t i = 0; i < kept.starts.size(); ++i) {
        const wchar_t* name = kept.units.c_str() + kept.starts[i];
        if (!MatchesFileFilter(name, normalizedFilter)) {
            ++hidden;
            continue;
        }
        FillFileEntry(rows.emplace_back(), kept.directory, name, kept.sizes[i]);
    }
    return hidden;
}

ListResult ScanFolderRows(const std::wstring& folder, const std::wstring& fileFilter, FileList& rows,
                          ScannedFiles& kept, size_t& hidden, FolderNames* allNames)
{
    hidden = 0;
    const ListResult result = ListDirectory(folder, rows, allNames);
    if (result != ListResult::Listed) return result;
    SortRowsByName(rows);
    KeepScannedFiles(rows, kept);
    hidden = DropUnmatchedRows(rows, NormalizeFileFilter(fileFilter));
    return result;
}

const wchar_t* ScanFailureText(ListResult result)
{
    return result == ListResult::NotFound ? L"Input directory not found." : L"Unable to read the input directory.";
}
