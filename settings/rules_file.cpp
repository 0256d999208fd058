#include "settings/rules_file.h"

#include <cstring>

#include "settings/json_text.h"
#include "settings/settings_file.h"
#include "settings/settings_io.h"
#include "settings/settings_keys.h"

namespace {

// In the settings table's order. A name the table does not hold (yet) is neither read nor
// written: it joins the file as soon as the settings gain the key.
const char* const kRuleKeyNames[] = {
    "prefixType",  "prefixStart", "prefixStep",        "prefixPad",  "prefixSep", "replaceEntireName",
    "replaceName", "suffixType",  "suffixStart",       "suffixStep", "suffixPad", "suffixSep",
    "search",      "replace",     "removeChars",       "caseMode",   "extMode",   "newExt",
    "fileFilter",  "searchRegex", "renameWithinBatch",
};

std::wstring KindMismatch(const std::string& key)
{
    return L"\"" + Utf8ToUtf16(key) + L"\" holds a value of another kind than the rule takes.";
}

}  // namespace

bool IsRuleKey(const char* name)
{
    for (const char* rule : kRuleKeyNames) {
        if (std::strcmp(rule, name) == 0) return true;
    }
    return false;
}

std::string FormatRulesText(const AppSettings& settings)
{
    AppSettings copy = settings;
    ClampSettings(copy);
    JsonTextWriter writer;
    for (const SettingKey& key : kSettingKeys) {
        if (IsRuleKey(key.name)) WriteSettingField(writer, key.name, key.field(copy));
    }
    return writer.Finish();
}

bool ParseRulesText(const std::string& text, AppSettings& target, std::wstring& reason)
{
    AppSettings work = target;
    int rules = 0;
    std::wstring failure;
    const bool complete = ReadJsonObject(text, [&](const std::string& key, const std::string& t, JsonCursor& cursor) {
        const SettingKey* entry = FindSettingKey(key);
        if (!entry || !IsRuleKey(entry->name)) return SkipJsonValue(t, cursor);
        ++rules;
        if (ReadSettingField(t, cursor, entry->field(work))) return true;
        failure = KindMismatch(key);
        return false;
    });
    if (!complete) {
        reason = failure.empty() ? L"it is not a JSON object of names and plain values." : failure;
        return false;
    }
    if (rules == 0) {
        reason = L"it holds none of the rules.";
        return false;
    }
    ClampSettings(work);
    target = std::move(work);
    return true;
}

bool WriteRulesFile(const std::wstring& path, const AppSettings& settings)
{
    return ReplaceFileContents(path, FormatRulesText(settings));
}

bool LoadRulesFile(const std::wstring& path, AppSettings& target, std::wstring& reason)
{
    std::string text;
    if (!ReadWholeFile(path, text)) {
        reason = L"it cannot be read.";
        return false;
    }
    return ParseRulesText(text, target, reason);
}
