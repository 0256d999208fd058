#include "files/name_filter.h"

#include <string_view>
#include <unordered_set>

#include "engine/rename_rules.h"
#include "engine/wide_char.h"
#include "files/file_order.h"

namespace {

// Units in the character at `at`: a surrogate pair counts as one character.
size_t CharacterUnits(std::wstring_view text, size_t at)
{
    const bool pair = at + 1 < text.size() && text[at] >= 0xD800 && text[at] <= 0xDBFF && text[at + 1] >= 0xDC00 &&
                      text[at + 1] <= 0xDFFF;
    return pair ? 2 : 1;
}

}  // namespace

std::wstring NormalizeFileFilter(const std::wstring& filter)
{
    std::wstring normalized;
    size_t from = 0;
    while (from <= filter.size()) {
        size_t end = filter.find(L';', from);
        if (end == std::wstring::npos) end = filter.size();
        const std::wstring pattern = TrimSpace(filter.substr(from, end - from));
        if (pattern == L"*.*") return std::wstring();
        if (!pattern.empty()) {
            if (!normalized.empty()) normalized.push_back(L';');
            normalized.append(pattern);
        }
        from = end + 1;
    }
    return normalized;
}

// Greedy, remembering only the last '*': when the text after it fails, that star takes one
// more character and the rest is tried again. An earlier star never needs to take more, since
// the last one can take whatever it would have, so no pattern can cost more than
// name x pattern steps (a backtracking matcher's cost grows with the power of the stars).
bool MatchesWildcard(std::wstring_view name, std::wstring_view pattern)
{
    constexpr size_t kNoStar = std::wstring_view::npos;
    size_t n = 0, p = 0;
    size_t afterStar = kNoStar, starTook = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            afterStar = ++p;
            starTook = n;
        } else if (p < pattern.size() && pattern[p] == L'?') {
            n += CharacterUnits(name, n);
            ++p;
        } else if (p < pattern.size() && LowerUnit(pattern[p]) == LowerUnit(name[n])) {
            ++n;
            ++p;
        } else if (afterStar != kNoStar) {
            starTook += CharacterUnits(name, starTook);
            n = starTook;
            p = afterStar;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

bool MatchesFileFilter(const wchar_t* name, const std::wstring& normalizedFilter)
{
    if (normalizedFilter.empty()) return true;
    const std::wstring_view text(name);
    const std::wstring_view patterns(normalizedFilter);
    for (size_t from = 0; from <= patterns.size();) {
        size_t end = patterns.find(L';', from);
        if (end == std::wstring_view::npos) end = patterns.size();
        if (MatchesWildcard(text, patterns.substr(from, end - from))) return true;
        from = end + 1;
    }
    return false;
}

void KeepScannedFiles(const FileList& rows, ScannedFiles& kept, const std::vector<std::wstring>& removed)
{
    kept.directory = rows.empty() ? SharedText() : rows.front().directory;
    kept.units.clear();
    kept.starts.clear();
    kept.sizes.clear();
    kept.modified.clear();
    kept.starts.reserve(rows.size());
    kept.sizes.reserve(rows.size());
    kept.modified.reserve(rows.size());
    kept.removed.assign(removed.empty() ? 0 : rows.size(), 0);
    // One look-up per row: a rescan after many removals stays linear.
    const std::unordered_set<std::wstring_view> removedNames(removed.begin(), removed.end());
    for (const FileEntry& row : rows) {
        if (!removedNames.empty() && removedNames.count(row.name)) kept.removed[kept.starts.size()] = 1;
        kept.starts.push_back(static_cast<uint32_t>(kept.units.size()));
        kept.sizes.push_back(row.size);
        kept.modified.push_back(row.modified);
        kept.units.append(row.name).push_back(L'\0');
    }
    kept.units.shrink_to_fit();
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
    return std::erase_if(rows,
                         [&](const FileEntry& row) { return !MatchesFileFilter(row.name.c_str(), normalizedFilter); });
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
        FillFileEntry(rows.emplace_back(), kept.directory, name, kept.sizes[i], kept.modified[i]);
    }
    return hidden;
}

ListResult ScanFolderRows(const std::wstring& folder, const std::wstring& fileFilter, FileList& rows,
                          ScannedFiles& kept, size_t& hidden, FolderNames* allNames,
                          const std::vector<std::wstring>& removed)
{
    hidden = 0;
    const ListResult result = ListDirectory(folder, rows, allNames);
    if (result != ListResult::Listed) return result;
    SortRowsByName(rows);
    KeepScannedFiles(rows, kept, removed);
    hidden = DropUnmatchedRows(rows, NormalizeFileFilter(fileFilter), kept);
    return result;
}

const wchar_t* ScanFailureText(ListResult result)
{
    return result == ListResult::NotFound ? L"Input directory not found." : L"Unable to read the input directory.";
}
