#include "files/name_filter.h"

#include <windows.h>
#include <shlwapi.h>

#include <unordered_set>

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

void KeepScannedFiles(const FileList& rows, ScannedFiles& kept, const std::vector<std::wstring>& removed)
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
    kept.removed.assign(removed.empty() ? 0 : kept.starts.size(), 0);
    for (const std::wstring& name : removed) MarkRemoved(kept, name);
}

bool MarkRemoved(ScannedFiles& kept, const std::wstring& name)
{
    kept.removed.resize(kept.starts.size(), 0);
    for (size_t i = 0; i < kept.starts.size(); ++i) {
        if (name != kept.units.c_str() + kept.starts[i]) continue;
        kept.removed[i] = 1;
        return true;
    }
    return false;
}

std::vector<std::wstring> RemovedNames(const ScannedFiles& kept)
{
    std::vector<std::wstring> names;
    for (size_t i = 0; i < kept.removed.size(); ++i) {
        if (kept.removed[i]) names.emplace_back(kept.units.c_str() + kept.starts[i]);
    }
    return names;
}

namespace {

bool IsRemoved(const ScannedFiles& kept, size_t i)
{
    return i < kept.removed.size() && kept.removed[i];
}

}  // namespace

size_t DropUnmatchedRows(FileList& rows, const std::wstring& normalizedFilter, const ScannedFiles& kept)
{
    const std::vector<std::wstring> removed = RemovedNames(kept);
    if (!removed.empty()) {
        const std::unordered_set<std::wstring> names(removed.begin(), removed.end());
        std::erase_if(rows, [&](const FileEntry& row) { return names.count(row.name) > 0; });
    }
    if (normalizedFilter.empty()) return 0;
    return std::erase_if(rows, [&](const FileEntry& row) { return !MatchesFileFilter(row.name.c_str(), normalizedFilter); });
}

size_t RowsOfMatchingFiles(const ScannedFiles& kept, const std::wstring& normalizedFilter, FileList& rows)
{
    rows.clear();
    size_t hidden = 0;
    for (size_t i = 0; i < kept.starts.size(); ++i) {
        if (IsRemoved(kept, i)) continue;
        const wchar_t* name = kept.units.c_str() + kept.starts[i];
        if (!MatchesFileFilter(name, normalizedFilter)) {
            ++hidden;
            continue;
        }
        FillFileEntry(rows.emplace_back(), kept.directory, name, kept.sizes[i]);
    }
    return hidden;
}
