#include "engine/search_pattern.h"

#include <boost/regex.hpp>

#include <iterator>
#include <stdexcept>

#include "engine/rename_rules.h"

const wchar_t kPatternTooComplexText[] = L"Search pattern too complex for this name";

struct SearchPattern::Compiled {
    boost::wregex regex;
};

namespace {

// The library appends the pattern around a ">>>HERE>>>" marker to its reason, narrowed to
// bytes; the reason alone reads better in a status cell.
std::wstring PlainReason(const char* what)
{
    std::string reason(what);
    const size_t context = reason.find("  The error occurred");
    if (context != std::string::npos) reason.resize(context);
    return std::wstring(reason.begin(), reason.end());
}

}  // namespace

SearchPattern::SearchPattern(const RenameRules& rules)
{
    if (!rules.searchRegex || rules.search.empty() || rules.replaceEntireName) return;
    active_ = true;
    try {
        compiled_ = std::make_unique<Compiled>(Compiled{boost::wregex(rules.search, boost::regex_constants::perl)});
    } catch (const boost::regex_error& e) {
        error_ = PlainReason(e.what());
    } catch (const std::exception&) {
        error_ = L"the pattern cannot be compiled.";
    }
}

SearchPattern::~SearchPattern() = default;

bool SearchPattern::AppendReplaced(std::wstring& out, std::wstring_view stem, const std::wstring& replacement) const
{
    if (!compiled_) return false;
    const size_t before = out.size();
    try {
        boost::regex_replace(std::back_inserter(out), stem.begin(), stem.end(), compiled_->regex, replacement,
                             boost::match_default | boost::format_perl);
        return true;
    } catch (const std::runtime_error&) {
        // The complexity bound (or the matcher's own stack limit) stopped it.
        out.resize(before);
        return false;
    }
}

std::wstring InvalidPatternText(const std::wstring& reason)
{
    return L"Invalid search pattern: " + reason;
}

std::wstring PatternNotTriedText(int giveUps)
{
    return L"Not tried: search pattern gave up on " + std::to_wstring(giveUps) + L" names";
}
