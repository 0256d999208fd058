#pragma once
// Search and Replace as a regular expression (Boost.Regex, Perl syntax), compiled once per plan.
#include <memory>
#include <string>
#include <string_view>

struct RenameRules;

class SearchPattern {
public:
    // Compiles rules.search when rules.searchRegex is set, the search is not empty and the stem
    // is not replaced whole; otherwise the pattern is inactive.
    explicit SearchPattern(const RenameRules& rules);
    ~SearchPattern();
    SearchPattern(const SearchPattern&) = delete;
    SearchPattern& operator=(const SearchPattern&) = delete;

    bool Active() const { return active_; }
    // The library's reason in plain words when the pattern does not compile; empty otherwise.
    const std::wstring& Error() const { return error_; }
    // Appends `stem` with every non-overlapping match replaced by the format `replacement`
    // ($1..$99, ${n}, $&, $$). False when the matcher gave up on this text (too complex);
    // `out` then holds what it held before.
    bool AppendReplaced(std::wstring& out, std::wstring_view stem, const std::wstring& replacement) const;

private:
    struct Compiled;
    std::unique_ptr<Compiled> compiled_;
    bool active_ = false;
    std::wstring error_;
};

// Status texts of rows the pattern could not be applied to.
std::wstring InvalidPatternText(const std::wstring& reason);  // "Invalid search pattern: <reason>"
extern const wchar_t kPatternTooComplexText[];                // "Search pattern too complex for this name"
std::wstring PatternNotTriedText(int giveUps);                // "Not tried: search pattern gave up on <giveUps> names"
