#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "settings/settings_keys.h"
#include "tests/settings/settings_compare.h"

namespace {

const char kDefaultFile[] = "{\n"
                            "  \"inputDir\": \"\",\n"
                            "  \"outputDir\": \"\",\n"
                            "  \"sameAsInput\": true,\n"
                            "  \"mode\": 0,\n"
                            "  \"prefixType\": 0,\n"
                            "  \"prefixStart\": 1,\n"
                            "  \"prefixStep\": 1,\n"
                            "  \"prefixPad\": 3,\n"
                            "  \"prefixSep\": \" - \",\n"
                            "  \"replaceEntireName\": false,\n"
                            "  \"replaceName\": \"\",\n"
                            "  \"suffixType\": 0,\n"
                            "  \"suffixStart\": 1,\n"
                            "  \"suffixStep\": 1,\n"
                            "  \"suffixPad\": 3,\n"
                            "  \"suffixSep\": \" - \",\n"
                            "  \"search\": \"\",\n"
                            "  \"replace\": \"\",\n"
                            "  \"removeChars\": \"\",\n"
                            "  \"caseMode\": 0,\n"
                            "  \"extMode\": 0,\n"
                            "  \"newExt\": \"\",\n"
                            "  \"darkTheme\": false,\n"
                            "  \"fontPt\": 9,\n"
                            "  \"autoSave\": true,\n"
                            "  \"hasWindowPos\": false,\n"
                            "  \"winX\": -2147483648,\n"
                            "  \"winY\": -2147483648,\n"
                            "  \"winW\": 1180,\n"
                            "  \"winH\": 760,\n"
                            "  \"showCmd\": 1,\n"
                            "  \"winMaximized\": false,\n"
                            "  \"colOrig0\": 0,\n"
                            "  \"colOrig1\": 0,\n"
                            "  \"colOrig2\": 0,\n"
                            "  \"colNew0\": 0,\n"
                            "  \"colNew1\": 0,\n"
                            "  \"colNew2\": 0,\n"
                            "  \"splitPct\": 50,\n"
                            "  \"fileFilter\": \"\",\n"
                            "  \"searchRegex\": false,\n"
                            "  \"renameWithinBatch\": false,\n"
                            "  \"colOrig3\": 0\n"
                            "}\n";

// Settings that differ from the defaults wherever a file could change them.
AppSettings Sentinel()
{
    AppSettings s = UnusualSettings();
    s.winW = 12345;
    return s;
}

using Check = std::function<bool(const AppSettings&)>;

}  // namespace

TEST(SettingsFile, DefaultFileIsByteExact)
{
    EXPECT_EQ(FormatSettingsText(DefaultSettings()), kDefaultFile);
    int lines = 0;
    for (const char c : std::string(kDefaultFile)) lines += c == '\n';
    EXPECT_EQ(lines, 45);
}

TEST(SettingsFile, DefaultSettingsMatchTheDefaultFile)
{
    AppSettings loaded = Sentinel();
    ASSERT_TRUE(ParseSettingsText(kDefaultFile, loaded));
    // Any file holding "winX" marks the position as saved; the unset coordinates keep the
    // window from being placed by it.
    EXPECT_EQ(SettingsDifference(loaded, DefaultSettings()), "hasWindowPos");
    EXPECT_TRUE(loaded.hasWindowPos);
    const AppSettings initial;
    EXPECT_FALSE(initial.hasWindowPos);
    loaded.hasWindowPos = false;
    EXPECT_EQ(SettingsDifference(loaded, initial), "");

    // A file written before the "Modified" column had a width loads the same.
    std::string older = kDefaultFile;
    older.replace(older.find(",\n  \"colOrig3\": 0"), 17, "");
    AppSettings fromOlder = Sentinel();
    ASSERT_TRUE(ParseSettingsText(older, fromOlder)) << older;
    fromOlder.colOrig3 = 0;
    EXPECT_EQ(SettingsDifference(fromOlder, loaded), "hasWindowPos");
}

TEST(SettingsFile, KeyTableCoversEveryKeyOnce)
{
    ASSERT_EQ(kSettingKeyCount, 43u);
    for (size_t i = 0; i < kSettingKeyCount; ++i) {
        EXPECT_EQ(FindSettingKey(kSettingKeys[i].name), &kSettingKeys[i]) << kSettingKeys[i].name;
    }
    EXPECT_EQ(FindSettingKey("FontPt"), nullptr);
    EXPECT_EQ(FindSettingKey("sequenceType"), nullptr);
}

TEST(SettingsFile, EveryFieldRoundTrips)
{
    const AppSettings original = UnusualSettings();
    const std::string text = FormatSettingsText(original);
    AppSettings loaded;
    ASSERT_TRUE(ParseSettingsText(text, loaded));
    EXPECT_EQ(SettingsDifference(loaded, original), "");
    EXPECT_EQ(FormatSettingsText(loaded), text);
    EXPECT_EQ(text.find('\r'), std::string::npos);
    EXPECT_NE(text.find("\\\\J\xC3\xB6rg\\\\\xE6\x97\xA5\xE6\x9C\xAC \\\"quoted\\\"\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"\\u0001-\\u001f-\x7F\""), std::string::npos) << text;
}

TEST(SettingsFile, WritingClampsACopyOnly)
{
    AppSettings s;
    s.splitPct = 95;
    s.fontPt = 13;
    const std::string text = FormatSettingsText(s);
    EXPECT_EQ(s.splitPct, 95);
    EXPECT_EQ(s.fontPt, 13);
    EXPECT_NE(text.find("\"splitPct\": 80,\n"), std::string::npos);
    EXPECT_NE(text.find("\"fontPt\": 12,"), std::string::npos);
}

TEST(SettingsFile, LoadedValuesAreClamped)
{
    struct Row {
        const char* text;
        Check check;
    };
    const Row rows[] = {
        {"{\"fontPt\": 13}", [](const AppSettings& s) { return s.fontPt == 12; }},
        {"{\"fontPt\": 10}", [](const AppSettings& s) { return s.fontPt == 9; }},
        {"{\"fontPt\": -5}", [](const AppSettings& s) { return s.fontPt == 9; }},
        {"{\"fontPt\": 11}", [](const AppSettings& s) { return s.fontPt == 12; }},
        {"{\"fontPt\": 14}", [](const AppSettings& s) { return s.fontPt == 15; }},
        {"{\"fontPt\": 4294967308}", [](const AppSettings& s) { return s.fontPt == 12; }},  // 2^32 + 12
        {"{\"prefixStep\": 0}", [](const AppSettings& s) { return s.rules.prefix.step == 1; }},
        {"{\"prefixStep\": 100001}", [](const AppSettings& s) { return s.rules.prefix.step == 100000; }},
        {"{\"suffixStep\": -3}", [](const AppSettings& s) { return s.rules.suffix.step == 1; }},
        {"{\"prefixPad\": 0}", [](const AppSettings& s) { return s.rules.prefix.pad == 1; }},
        {"{\"prefixPad\": 11}", [](const AppSettings& s) { return s.rules.prefix.pad == 10; }},
        {"{\"suffixPad\": 10}", [](const AppSettings& s) { return s.rules.suffix.pad == 10; }},
        {"{\"prefixStart\": -1000000}", [](const AppSettings& s) { return s.rules.prefix.start == -999999; }},
        {"{\"suffixStart\": 1000000}", [](const AppSettings& s) { return s.rules.suffix.start == 999999; }},
        {"{\"winW\": 100}", [](const AppSettings& s) { return s.winW == 640; }},
        {"{\"winW\": 20001}", [](const AppSettings& s) { return s.winW == 20000; }},
        {"{\"winH\": 479}", [](const AppSettings& s) { return s.winH == 480; }},
        {"{\"splitPct\": 95}", [](const AppSettings& s) { return s.splitPct == 80; }},
        {"{\"splitPct\": 19}", [](const AppSettings& s) { return s.splitPct == 20; }},
        {"{\"mode\": 3}", [](const AppSettings& s) { return s.mode == ProcessMode::RenameInPlace; }},
        {"{\"mode\": 2}", [](const AppSettings& s) { return s.mode == ProcessMode::MoveAndRename; }},
        {"{\"prefixType\": -1}", [](const AppSettings& s) { return s.rules.prefix.type == SequenceType::None; }},
        {"{\"suffixType\": 7}", [](const AppSettings& s) { return s.rules.suffix.type == SequenceType::None; }},
        {"{\"prefixType\": 3}", [](const AppSettings& s) { return s.rules.prefix.type == SequenceType::Date; }},
        {"{\"suffixType\": 6}",
         [](const AppSettings& s) { return s.rules.suffix.type == SequenceType::DateTimeTaken; }},
        {"{\"caseMode\": -1}", [](const AppSettings& s) { return s.rules.caseMode == CaseMode::NoChange; }},
        {"{\"caseMode\": 3}", [](const AppSettings& s) { return s.rules.caseMode == CaseMode::Title; }},
        {"{\"extMode\": 4294967298}", [](const AppSettings& s) { return s.rules.extMode == ExtMode::Lowercase; }},
        {"{\"colOrig0\": -1}", [](const AppSettings& s) { return s.colOrig0 == 0; }},
        {"{\"colNew2\": 5001}", [](const AppSettings& s) { return s.colNew2 == 5000; }},
        {"{\"winX\": -99999999, \"winY\": 4294967295}",
         [](const AppSettings& s) { return s.winX == -99999999 && s.winY == -1 && s.hasWindowPos; }},
        {"{\"showCmd\": 3, \"winMaximized\": false}",
         [](const AppSettings& s) { return s.winMaximized && s.showCmd == 3; }},
        {"{\"showCmd\": 7}", [](const AppSettings& s) { return !s.winMaximized && s.showCmd == 7; }},
        {"{\"winX\": 5}", [](const AppSettings& s) { return s.hasWindowPos && s.winX == 5; }},
        {"{\"winX\": 5, \"hasWindowPos\": false}", [](const AppSettings& s) { return !s.hasWindowPos; }},
        {"{\"winY\": 5}", [](const AppSettings& s) { return !s.hasWindowPos; }},
        {"{\"fontPt\": 15, \"fontPt\": 9}", [](const AppSettings& s) { return s.fontPt == 9; }},
    };
    for (const Row& r : rows) {
        AppSettings s = Sentinel();
        ASSERT_TRUE(ParseSettingsText(r.text, s)) << r.text;
        EXPECT_TRUE(r.check(s)) << r.text;
    }
}

TEST(SettingsFile, MissingKeysTakeDefaultsNotMemory)
{
    AppSettings s = Sentinel();
    ASSERT_TRUE(ParseSettingsText("{\"fontPt\": 13}", s));
    AppSettings expected;
    expected.fontPt = 12;
    EXPECT_EQ(SettingsDifference(s, expected), "");
}

TEST(SettingsFile, LegacySequenceMigration)
{
    struct Row {
        const char* text;
        SequenceType prefixType;
        SequenceType suffixType;
        int32_t pad;
        int32_t start;
    };
    const Row rows[] = {
        {"{\"sequenceType\":1,\"seqPad\":4,\"placement\":1}", SequenceType::None, SequenceType::Numbers, 4, 1},
        {"{\"sequenceType\":2,\"seqStart\":5,\"seqStep\":2,\"placement\":0}", SequenceType::Letters, SequenceType::None,
         3, 5},
        {"{\"sequenceType\":1,\"seqPad\":6,\"placement\":7}", SequenceType::Numbers, SequenceType::None, 6, 1},
        {"{\"sequenceType\":1,\"seqPad\":6}", SequenceType::Numbers, SequenceType::None, 6, 1},
        {"{\"sequenceType\":1,\"seqPad\":4,\"placement\":1,\"prefixType\":0}", SequenceType::None, SequenceType::None,
         3, 1},
        {"{\"sequenceType\":1,\"seqPad\":4,\"placement\":1,\"suffixType\":2}", SequenceType::None,
         SequenceType::Letters, 3, 1},
        {"{\"sequenceType\":0,\"seqPad\":4}", SequenceType::None, SequenceType::None, 3, 1},
        {"{\"seqPad\":4,\"placement\":1}", SequenceType::None, SequenceType::None, 3, 1},
        {"{\"sequenceType\":1,\"seqPad\":40,\"seqStart\":-5000000}", SequenceType::Numbers, SequenceType::None, 10,
         -999999},
        {"{\"sequenceType\":9}", SequenceType::None, SequenceType::None, 3, 1},  // migrated, then clamped
        {"{\"insertPos\":3,\"sequenceType\":1}", SequenceType::Numbers, SequenceType::None, 3, 1},
    };
    for (const Row& r : rows) {
        AppSettings s = Sentinel();
        ASSERT_TRUE(ParseSettingsText(r.text, s)) << r.text;
        EXPECT_EQ(s.rules.prefix.type, r.prefixType) << r.text;
        EXPECT_EQ(s.rules.suffix.type, r.suffixType) << r.text;
        const SequenceRule& moved = r.suffixType != SequenceType::None ? s.rules.suffix : s.rules.prefix;
        EXPECT_EQ(moved.pad, r.pad) << r.text;
        EXPECT_EQ(moved.start, r.start) << r.text;
        EXPECT_EQ(s.rules.prefix.sep, L" - ") << r.text;
        EXPECT_EQ(s.rules.suffix.sep, L" - ") << r.text;
    }
    // The separators keep what the file gave them, and legacy keys never come back.
    AppSettings s;
    ASSERT_TRUE(ParseSettingsText("{\"prefixSep\":\"_\",\"sequenceType\":1,\"seqStep\":5,\"insertPos\":2}", s));
    EXPECT_EQ(s.rules.prefix.sep, L"_");
    EXPECT_EQ(s.rules.prefix.step, 5);
    const std::string text = FormatSettingsText(s);
    EXPECT_EQ(text.find("seq"), std::string::npos);
    EXPECT_EQ(text.find("insertPos"), std::string::npos);
}

TEST(SettingsFile, UnknownKeysAreSkipped)
{
    AppSettings s = Sentinel();
    ASSERT_TRUE(ParseSettingsText("{\"x\":\"s\",\"y\":true,\"z\":-4,\"FONTPT\":15,\"fontPt\":12}", s));
    EXPECT_EQ(s.fontPt, 12);
    EXPECT_EQ(SettingsDifference(s,
                                 [] {
                                     AppSettings d;
                                     d.fontPt = 12;
                                     return d;
                                 }()),
              "");
}

TEST(SettingsFile, FailedParseChangesNothing)
{
    const char* const rows[] = {
        "",
        "{ ",
        "\xEF\xBB\xBF{}",
        "{\"fontPt\": \"12\"}",  // wrong kind
        "{\"inputDir\": 5}",
        "{\"autoSave\": 1}",
        "{\"fontPt\": 1.5}",
        "{\"fontPt\": 99999999999999999999}",
        "{\"unknown\": [1, 2]}",
        "{\"unknown\": null}",
        "{\"unknown\": {\"a\": 1}}",
        "{\"sequenceType\": \"1\"}",
        "{\"insertPos\": true}",
        "{\"inputDir\": \"C:\\\\x\", \"fontPt\": 15,, }",
        "{\"inputDir\": \"C:\\\\x\",\n",
        "{\"darkTheme\": True}",
        "{\"search\": \"\\u12\"}",
        "{\"search\": \"abc",
    };
    for (const char* text : rows) {
        AppSettings s = Sentinel();
        EXPECT_FALSE(ParseSettingsText(text, s)) << text;
        EXPECT_EQ(SettingsDifference(s, Sentinel()), "") << text;
    }
}
