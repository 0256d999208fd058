#include "engine/planner.h"

#include <iterator>
#include <unordered_map>
#include <vector>

#include "engine/path.h"
#include "engine/wide_char.h"

namespace {

struct StatusInfo {
    const wchar_t* display;  // default text of the Status column
    const wchar_t* planned;  // text the planner stores (nullptr: the planner never sets it)
};

constexpr StatusInfo kStatusInfo[] = {
    {L"Ready", L"Ready"},
    {L"Unchanged", L"Unchanged"},
    {L"Duplicate", L"Duplicate target"},
    {L"Invalid name", L"Invalid name"},
    {L"Target exists", L"Already exists"},
    {L"Done", nullptr},
    {L"Skipped", nullptr},
    {L"Failed", nullptr},
};

bool InStatusRange(ItemStatus status)
{
    const auto value = static_cast<int32_t>(status);
    return value >= 0 && value < static_cast<int32_t>(std::size(kStatusInfo));
}

void SetPlannedStatus(FileEntry& row, ItemStatus status)
{
    row.status = status;
    row.statusText.assign(kStatusInfo[static_cast<int32_t>(status)].planned);
}

void LowerInto(std::wstring& out, const std::wstring& text)
{
    out.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i) out[i] = LowerUnit(text[i]);
}

bool EqualIgnoringCase(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && LowerUnit(a[i]) != LowerUnit(b[i])) return false;
    }
    return true;
}

bool IsForbiddenCharacter(wchar_t c)
{
    switch (c) {
    case L'<': case L'>': case L':': case L'"': case L'/': case L'\\': case L'|': case L'?': case L'*':
        return true;
    default:
        return false;
    }
}

const std::wstring& Text(const std::wstring* text)
{
    static const std::wstring empty;
    return text ? *text : empty;
}

const RenameRules& Rules(const RenameRules* rules)
{
    static const RenameRules neutral;
    return rules ? *rules : neutral;
}

// Builds name, target directory and target path of every row and counts the lower-cased
// target paths; counts[i] points at row i's count (map values keep their address on rehash).
void BuildTargets(FileList& list, const PlanInput& input, std::unordered_map<std::wstring, int>& index,
                  std::vector<const int*>& counts)
{
    const bool inPlace = input.mode == ProcessMode::RenameInPlace;
    const std::wstring& base = (inPlace || input.sameAsInput) ? Text(input.inputDir) : Text(input.outputDir);
    const RenameRules& rules = Rules(input.rules);
    std::wstring key;
    for (size_t i = 0; i < list.size(); ++i) {
        FileEntry& row = list[i];
        BuildNewNameInto(row.newName, row.name, static_cast<int32_t>(i), rules);
        row.targetDirectory.assign((inPlace || base.empty()) ? row.directory : base);
        JoinPathInto(row.targetPath, row.targetDirectory, row.newName);
        LowerInto(key, row.targetPath);
        const auto slot = index.try_emplace(key, 0).first;
        ++slot->second;
        counts[i] = &slot->second;
    }
}

ItemStatus JudgeRow(const FileEntry& row, int targetCount, PathExistsFn exists)
{
    if (IsInvalidFileName(row.newName)) return ItemStatus::InvalidName;
    if (targetCount >= 2) return ItemStatus::Duplicate;
    if (EqualIgnoringCase(row.targetPath, row.sourcePath)) return ItemStatus::Unchanged;
    if (!row.targetPath.empty() && exists(row.targetPath)) return ItemStatus::TargetExists;
    return ItemStatus::Ready;
}

}  // namespace

void PlanPreview(FileList& list, const PlanInput& input, PathExistsFn exists)
{
    if (!exists) exists = FileSystemPathExists;
    std::unordered_map<std::wstring, int> index;
    index.reserve(2 * list.size() + 1);
    std::vector<const int*> counts(list.size());
    BuildTargets(list, input, index, counts);
    for (size_t i = 0; i < list.size(); ++i) SetPlannedStatus(list[i], JudgeRow(list[i], *counts[i], exists));
}

bool IsInvalidFileName(const std::wstring& name)
{
    if (name.empty()) return true;
    if (name == L"." || name == L"..") return true;
    if (name.back() == L' ' || name.back() == L'.') return true;
    for (wchar_t c : name) {
        if (IsForbiddenCharacter(c)) return true;
    }
    for (wchar_t c : name) {
        if (c < 0x20) return true;
    }
    return false;
}

const wchar_t* StatusDisplayText(ItemStatus status)
{
    return InStatusRange(status) ? kStatusInfo[static_cast<int32_t>(status)].display : L"";
}

bool IsConflict(ItemStatus status)
{
    return status == ItemStatus::Duplicate || status == ItemStatus::InvalidName || status == ItemStatus::TargetExists;
}
