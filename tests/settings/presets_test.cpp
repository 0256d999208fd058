#include "settings/presets.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/settings/settings_compare.h"

namespace {

AppSettings Before()
{
    AppSettings s = UnusualSettings();
    s.rules.prefix = {SequenceType::Numbers, 7, 9, 5, L"x"};
    s.rules.suffix = {SequenceType::Letters, 4, 6, 8, L"y"};
    return s;
}

}  // namespace

TEST(NamingPresets, Table)
{
    struct Row {
        int id;
        SequenceRule prefix;
    };
    const Row rows[] = {
        {40011, {SequenceType::Numbers, 1, 1, 3, L""}},
        {40012, {SequenceType::Numbers, 1, 1, 2, L""}},
        {40013, {SequenceType::Letters, 1, 1, 5, L" - "}},  // pad keeps its value
        {40014, {SequenceType::None, 7, 9, 5, L" - "}},     // only the types and separators change
    };
    for (const Row& r : rows) {
        AppSettings s = Before();
        ASSERT_TRUE(ApplyNamingPresetToSettings(r.id, s)) << r.id;
        const SequenceRule& p = s.rules.prefix;
        EXPECT_EQ(p.type, r.prefix.type) << r.id;
        EXPECT_EQ(p.start, r.prefix.start) << r.id;
        EXPECT_EQ(p.step, r.prefix.step) << r.id;
        EXPECT_EQ(p.pad, r.prefix.pad) << r.id;
        EXPECT_EQ(p.sep, r.prefix.sep) << r.id;
        // The suffix is switched off; its numbers stay, its separator is reset.
        AppSettings expected = Before();
        expected.rules.prefix = s.rules.prefix;
        expected.rules.suffix.type = SequenceType::None;
        expected.rules.suffix.sep = L" - ";
        EXPECT_EQ(SettingsDifference(s, expected), "") << r.id;
    }
}

TEST(NamingPresets, UnknownCommandChangesNothing)
{
    for (int id : {0, 40010, 40015, -40011}) {
        AppSettings s = Before();
        EXPECT_FALSE(ApplyNamingPresetToSettings(id, s)) << id;
        EXPECT_EQ(SettingsDifference(s, Before()), "") << id;
        EXPECT_EQ(FindNamingPreset(id), nullptr) << id;
    }
}

TEST(NamingPresets, MenuTexts)
{
    const wchar_t* const texts[] = {L"Sequential (001, 002, ...)", L"Sequential (01, 02, ...)",
                                    L"Alphabetical prefix (A - name)", L"None (search/replace only)"};
    for (int i = 0; i < 4; ++i) {
        const NamingPreset* preset = FindNamingPreset(40011 + i);
        ASSERT_NE(preset, nullptr);
        EXPECT_STREQ(preset->menuText, texts[i]);
    }
}
