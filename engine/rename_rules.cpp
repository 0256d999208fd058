#include "engine/rename_rules.h"

#include <cwchar>
#include <string_view>

#include "engine/date_text.h"
#include "engine/search_pattern.h"
#include "engine/wide_char.h"

namespace {

// Position of the dot that starts the extension, or npos. A leading dot ('.gitignore') is
// part of the stem.
size_t ExtensionDot(std::wstring_view name)
{
    const size_t dot = name.rfind(L'.');
    return (dot == std::wstring_view::npos || dot == 0) ? std::wstring_view::npos : dot;
}

std::wstring_view TrimmedView(std::wstring_view text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsSpaceUnit(text[first])) ++first;
    while (last > first && IsSpaceUnit(text[last - 1])) --last;
    return text.substr(first, last - first);
}

void AppendReplaced(std::wstring& out, std::wstring_view text, std::wstring_view search, std::wstring_view replacement)
{
    size_t from = 0;
    for (size_t hit = text.find(search); hit != std::wstring_view::npos; hit = text.find(search, from)) {
        out.append(text, from, hit - from);
        out.append(replacement);
        from = hit + search.size();
    }
    out.append(text, from, std::wstring_view::npos);
}

// Both edit text[from..] in place: the builder's output already holds the prefix there.
void RemoveInPlace(std::wstring& text, size_t from, std::wstring_view set)
{
    if (set.empty()) return;
    size_t kept = from;
    for (size_t i = from; i < text.size(); ++i) {
        if (set.find(text[i]) == std::wstring_view::npos) text[kept++] = text[i];
    }
    text.resize(kept);
}

void CaseInPlace(std::wstring& text, size_t from, CaseMode mode)
{
    if (mode == CaseMode::Upper) {
        for (size_t i = from; i < text.size(); ++i) text[i] = UpperUnit(text[i]);
    } else if (mode == CaseMode::Lower) {
        for (size_t i = from; i < text.size(); ++i) text[i] = LowerUnit(text[i]);
    } else if (mode == CaseMode::Title) {
        bool wordStart = true;
        for (size_t i = from; i < text.size(); ++i) {
            const wchar_t c = text[i];
            if (IsSpaceUnit(c) || c == L'-' || c == L'.' || c == L'_') {
                wordStart = true;
            } else {
                text[i] = wordStart ? UpperUnit(c) : LowerUnit(c);
                wordStart = false;
            }
        }
    }
}

// The sequence value wraps around in 32 bits. Unsigned arithmetic keeps that defined; the
// conversion back to signed is modular since C++20.
int32_t SequenceValue(const SequenceRule& rule, int32_t index)
{
    const uint32_t value =
        static_cast<uint32_t>(rule.start) + static_cast<uint32_t>(rule.step) * static_cast<uint32_t>(index);
    return static_cast<int32_t>(value);
}

// Writes the sequence text into buf (at least 32 units) and returns its length.
size_t FormatSequence(const SequenceRule& rule, int32_t index, const RowDates& dates, wchar_t* buf)
{
    switch (rule.type) {
    case SequenceType::Date: return FormatDateText(buf, dates.modified, false);
    case SequenceType::DateTime: return FormatDateText(buf, dates.modified, true);
    case SequenceType::DateTaken: return FormatDateText(buf, dates.taken, false);
    case SequenceType::DateTimeTaken: return FormatDateText(buf, dates.taken, true);
    default: break;
    }
    const int32_t value = SequenceValue(rule, index);
    if (rule.type == SequenceType::Numbers) {
        const int written = std::swprintf(buf, 32, L"%0*d", static_cast<int>(rule.pad), static_cast<int>(value));
        return written > 0 ? static_cast<size_t>(written) : 0;
    }
    if (rule.type == SequenceType::Letters) {
        // Bijective base 26, filled from the end of a scratch area then moved to the front.
        wchar_t letters[16];
        size_t first = 16;
        uint32_t n = value < 1 ? 1u : static_cast<uint32_t>(value);
        do {
            --n;
            letters[--first] = static_cast<wchar_t>(L'A' + n % 26);
            n /= 26;
        } while (n > 0);
        const size_t length = 16 - first;
        std::wmemcpy(buf, letters + first, length);
        return length;
    }
    return 0;
}

void AppendExtension(std::wstring& out, std::wstring_view extension, const RenameRules& rules)
{
    if (rules.extMode == ExtMode::Change) {
        const std::wstring_view e = TrimmedView(rules.newExt);
        if (!e.empty() && e.front() != L'.') out.push_back(L'.');
        out.append(e);
    } else if (rules.extMode == ExtMode::Lowercase) {
        for (wchar_t c : extension) out.push_back(LowerUnit(c));
    } else {
        out.append(extension);
    }
}

}  // namespace

bool BuildNewNameInto(std::wstring& out, const std::wstring& name, int32_t index, const RenameRules& rules,
                      const SearchPattern* pattern, const RowDates& dates)
{
    if (rules.searchRegex && !pattern && !rules.search.empty() && !rules.replaceEntireName) {
        const SearchPattern compiled(rules);
        return BuildNewNameInto(out, name, index, rules, &compiled, dates);
    }
    const bool regex = pattern && pattern->Active();
    if (regex && !pattern->Error().empty()) {
        out.assign(name);
        return false;
    }
    const std::wstring_view whole(name);
    const size_t dot = ExtensionDot(whole);
    const std::wstring_view extension = dot == std::wstring_view::npos ? std::wstring_view() : whole.substr(dot);

    // Written front to back into `out`, so a re-plan reuses the row's memory.
    wchar_t seq[32];
    out.clear();
    const size_t prefixLength = FormatSequence(rules.prefix, index, dates, seq);
    if (prefixLength > 0) out.append(seq, prefixLength).append(rules.prefix.sep);
    const size_t stemStart = out.size();
    if (rules.replaceEntireName) {
        out.append(TrimmedView(rules.replaceName));
    } else {
        const std::wstring_view stem = whole.substr(0, dot);
        if (regex) {
            if (!pattern->AppendReplaced(out, stem, rules.replace)) {
                out.assign(name);
                return false;
            }
        } else if (!rules.search.empty() && stem.find(rules.search) != std::wstring_view::npos) {
            AppendReplaced(out, stem, rules.search, rules.replace);
        } else {
            out.append(stem);
        }
        RemoveInPlace(out, stemStart, rules.removeChars);
    }
    CaseInPlace(out, stemStart, rules.caseMode);
    if (out.size() == stemStart) out.resize(prefixLength);  // no separator before an empty stem

    const size_t suffixLength = FormatSequence(rules.suffix, index, dates, seq);
    if (suffixLength > 0) {
        if (!out.empty()) out.append(rules.suffix.sep);
        out.append(seq, suffixLength);
    }
    if (out.empty()) out.assign(L"unnamed");
    AppendExtension(out, extension, rules);
    return true;
}

std::wstring BuildNewName(const std::wstring& name, int32_t index, const RenameRules& rules, const RowDates& dates)
{
    std::wstring out;
    BuildNewNameInto(out, name, index, rules, nullptr, dates);
    return out;
}

std::wstring SequenceText(const SequenceRule& rule, int32_t index, const RowDates& dates)
{
    wchar_t buf[32];
    return std::wstring(buf, FormatSequence(rule, index, dates, buf));
}

NameParts SplitExtension(const std::wstring& name)
{
    const size_t dot = ExtensionDot(name);
    if (dot == std::wstring::npos) return NameParts{name, std::wstring()};
    return NameParts{name.substr(0, dot), name.substr(dot)};
}

std::wstring ReplaceAll(const std::wstring& text, const std::wstring& search, const std::wstring& replacement)
{
    if (search.empty()) return text;
    std::wstring out;
    out.reserve(text.size());
    AppendReplaced(out, text, search, replacement);
    return out;
}

std::wstring RemoveCharacters(const std::wstring& text, const std::wstring& set)
{
    std::wstring out = text;
    RemoveInPlace(out, 0, set);
    return out;
}

std::wstring ApplyCase(const std::wstring& text, CaseMode mode)
{
    std::wstring out = text;
    CaseInPlace(out, 0, mode);
    return out;
}

std::wstring TrimSpace(const std::wstring& text)
{
    return std::wstring(TrimmedView(text));
}
