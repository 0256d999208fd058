#pragma once
// The renaming rules and the pure name builder.
#include <cstdint>
#include <string>

// Numbers and letters count the rows; the dates come from each row's file (the last-write time,
// or the date a photo was taken).
enum class SequenceType : int32_t {
    None = 0,
    Numbers = 1,
    Letters = 2,
    Date = 3,
    DateTime = 4,
    DateTaken = 5,
    DateTimeTaken = 6,
};
constexpr int32_t kLastSequenceType = 6;
enum class CaseMode : int32_t { NoChange = 0, Upper = 1, Lower = 2, Title = 3 };
enum class ExtMode : int32_t { Preserve = 0, Change = 1, Lowercase = 2 };

// One numbered or lettered sequence (the prefix or the suffix).
struct SequenceRule {
    SequenceType type = SequenceType::None;
    int32_t start = 1;
    int32_t step = 1;
    int32_t pad = 3;
    std::wstring sep = L" - ";
};

// The complete rule set, in the order the settings file stores it.
struct RenameRules {
    SequenceRule prefix;
    bool replaceEntireName = false;
    std::wstring replaceName;
    SequenceRule suffix;
    std::wstring search;
    std::wstring replace;
    std::wstring removeChars;
    CaseMode caseMode = CaseMode::NoChange;
    ExtMode extMode = ExtMode::Preserve;
    std::wstring newExt;
    bool searchRegex = false;  // Search is a regular expression (stored after the others)
};

// The dates a row's name may show, in local time (ticks of engine/date_text.h). `taken` is the
// date the photo was taken, or the last-write time for a file without one.
struct RowDates {
    uint64_t modified = 0;
    uint64_t taken = 0;
};

inline bool IsCounterType(SequenceType type)
{
    return type == SequenceType::Numbers || type == SequenceType::Letters;
}
inline bool IsTakenType(SequenceType type)
{
    return type == SequenceType::DateTaken || type == SequenceType::DateTimeTaken;
}
// True when either sequence shows the date taken: the rows' dates must be read first.
inline bool UsesDateTaken(const RenameRules& rules)
{
    return IsTakenType(rules.prefix.type) || IsTakenType(rules.suffix.type);
}

struct NameParts {
    std::wstring stem;
    std::wstring extension;  // with its dot; empty when there is none
};

class SearchPattern;

// Builds the new file name of the row at `index`; never empty. Rule fields must be in range.
// A search pattern that does not compile or gives up on this name leaves the name as it is.
std::wstring BuildNewName(const std::wstring& name, int32_t index, const RenameRules& rules,
                          const RowDates& dates = {});
// The same, written into `out` (which must not be `name`), reusing its memory: the planner
// rebuilds every row on each keystroke, with `pattern` compiled once from the same rules (null:
// compiled here when needed). False when the pattern could not be applied: `out` is `name`.
bool BuildNewNameInto(std::wstring& out, const std::wstring& name, int32_t index, const RenameRules& rules,
                      const SearchPattern* pattern = nullptr, const RowDates& dates = {});
std::wstring SequenceText(const SequenceRule& rule, int32_t index, const RowDates& dates = {});
NameParts SplitExtension(const std::wstring& name);
std::wstring ReplaceAll(const std::wstring& text, const std::wstring& search, const std::wstring& replacement);
std::wstring RemoveCharacters(const std::wstring& text, const std::wstring& set);
std::wstring ApplyCase(const std::wstring& text, CaseMode mode);
std::wstring TrimSpace(const std::wstring& text);
