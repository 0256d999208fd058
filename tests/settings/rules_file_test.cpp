#include "settings/rules_file.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "settings/settings_file.h"
#include "settings/settings_keys.h"
#include "tests/settings/settings_compare.h"

TEST(RulesFile, HoldsTheRulesAloneAndRoundTrips)
{
    const AppSettings original = UnusualSettings();
    const std::string text = FormatRulesText(original);
    size_t ruleKeys = 0;
    for (const SettingKey& key : kSettingKeys) {
        const bool written = text.find("\"" + std::string(key.name) + "\":") != std::string::npos;
        EXPECT_EQ(written, IsRuleKey(key.name)) << key.name;
        ruleKeys += IsRuleKey(key.name);
    }
    EXPECT_GE(ruleKeys, 20u);
    size_t lines = 0;
    for (const char c : text) lines += c == '\n';
    EXPECT_EQ(lines, ruleKeys + 2) << text;
    EXPECT_LT(text.find("\"prefixType\""), text.find("\"newExt\"")) << "the settings file's order";
    EXPECT_LT(text.find("\"fileFilter\""), text.find("\"searchRegex\""));

    AppSettings loaded = DefaultSettings();
    std::wstring reason;
    ASSERT_TRUE(ParseRulesText(text, loaded, reason)) << reason;
    // The defaults with every rule key's value taken over, whichever keys are rules.
    AppSettings expected = DefaultSettings();
    AppSettings source = original;
    for (const SettingKey& key : kSettingKeys) {
        if (!IsRuleKey(key.name)) continue;
        std::visit([&](auto* to) { *to = *std::get<decltype(to)>(key.field(source)); }, key.field(expected));
    }
    EXPECT_NE(SettingsDifference(expected, DefaultSettings()), "");
    EXPECT_EQ(SettingsDifference(loaded, expected), "");
}

TEST(RulesFile, LoadingTable)
{
    struct Case {
        const char* text;
        bool loads;
        const wchar_t* reason;  // what the reason says on failure
    };
    const Case cases[] = {
        {"{\"prefixPad\": 11, \"unknownKey\": \"x\", \"fontPt\": 15}", true, L""},
        {"{\"search\": \"a\", \"inputDir\": \"C:\\\\elsewhere\", \"mode\": 2}", true, L""},
        {"not json at all", false, L"it is not a JSON object"},
        {"[\"search\", \"a\"]", false, L"it is not a JSON object"},
        {"{}", false, L"it holds none of the rules."},
        {"{\"fontPt\": 12, \"darkTheme\": true}", false, L"it holds none of the rules."},
        {"{\"search\": \"a\", \"prefixStart\": \"5\"}", false, L"\"prefixStart\" holds a value of another kind"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const AppSettings before = UnusualSettings();
        AppSettings target = before;
        std::wstring reason;
        EXPECT_EQ(ParseRulesText(c.text, target, reason), c.loads);
        if (!c.loads) {
            EXPECT_EQ(reason.rfind(c.reason, 0), 0u) << std::string(reason.begin(), reason.end());
            EXPECT_EQ(SettingsDifference(target, before), "") << "a rejected file changes nothing";
            continue;
        }
        // Only the rules the file names change, clamped; everything else keeps its value.
        AppSettings expected = before;
        if (std::string(c.text).find("prefixPad") != std::string::npos) expected.rules.prefix.pad = 10;
        if (std::string(c.text).find("search") != std::string::npos) expected.rules.search = L"a";
        EXPECT_EQ(SettingsDifference(target, expected), "");
    }
}
