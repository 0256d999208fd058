#include "engine/rename_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <cwctype>

#include "engine/wide_char.h"

namespace {

SequenceRule Seq(SequenceType type, int32_t start = 1, int32_t step = 1, int32_t pad = 3, const wchar_t* sep = L" - ")
{
    SequenceRule r;
    r.type = type;
    r.start = start;
    r.step = step;
    r.pad = pad;
    r.sep = sep;
    return r;
}

}  // namespace

TEST(SplitExtension, Table)
{
    struct Row { const wchar_t* name; const wchar_t* stem; const wchar_t* ext; };
    const Row rows[] = {
        {L"", L"", L""},
        {L"README", L"README", L""},
        {L"a.txt", L"a", L".txt"},
        {L".gitignore", L".gitignore", L""},
        {L"archive.tar.gz", L"archive.tar", L".gz"},
        {L"file.", L"file", L"."},
        {L".", L".", L""},
        {L"..", L".", L"."},
        {L".a.b", L".a", L".b"},
        {L"My Photo.JPG", L"My Photo", L".JPG"},
    };
    for (const Row& r : rows) {
        const NameParts parts = SplitExtension(r.name);
        EXPECT_EQ(parts.stem, r.stem) << r.name;
        EXPECT_EQ(parts.extension, r.ext) << r.name;
    }
}

TEST(SequenceText, Table)
{
    struct Row { SequenceRule rule; int32_t index; const wchar_t* expected; };
    const Row rows[] = {
        {Seq(SequenceType::None), 0, L""},
        {Seq(static_cast<SequenceType>(7)), 3, L""},
        {Seq(SequenceType::Numbers), 0, L"001"},
        {Seq(SequenceType::Numbers), 4, L"005"},
        {Seq(SequenceType::Numbers, 1, 1, 1), 0, L"1"},
        {Seq(SequenceType::Numbers, 10, 5, 3), 2, L"020"},
        {Seq(SequenceType::Numbers, 12345, 1, 3), 0, L"12345"},
        {Seq(SequenceType::Numbers, -2, 1, 3), 0, L"-02"},
        {Seq(SequenceType::Numbers, -2, 1, 3), 1, L"-01"},
        {Seq(SequenceType::Numbers, -2, 1, 3), 2, L"000"},
        {Seq(SequenceType::Numbers, -2, 1, 3), 3, L"001"},
        {Seq(SequenceType::Numbers, -5, 1, 3), 0, L"-05"},
        {Seq(SequenceType::Numbers, -5, 1, 1), 0, L"-5"},
        {Seq(SequenceType::Numbers, -999999, 1, 10), 0, L"-000999999"},
        {Seq(SequenceType::Numbers, 7, 1, 10), 0, L"0000000007"},
        {Seq(SequenceType::Letters), 0, L"A"},
        {Seq(SequenceType::Letters, 26), 0, L"Z"},
        {Seq(SequenceType::Letters, 27), 0, L"AA"},
        {Seq(SequenceType::Letters, 28), 0, L"AB"},
        {Seq(SequenceType::Letters, 52), 0, L"AZ"},
        {Seq(SequenceType::Letters, 53), 0, L"BA"},
        {Seq(SequenceType::Letters, 702), 0, L"ZZ"},
        {Seq(SequenceType::Letters, 703), 0, L"AAA"},
        {Seq(SequenceType::Letters, 0), 0, L"A"},
        {Seq(SequenceType::Letters, 0), 1, L"A"},
        {Seq(SequenceType::Letters, 0), 2, L"B"},
        {Seq(SequenceType::Letters, -999999), 0, L"A"},
        {Seq(SequenceType::Letters, 1, 1, 10), 25, L"Z"},  // pad is not used by letters
    };
    for (const Row& r : rows) {
        EXPECT_EQ(SequenceText(r.rule, r.index), r.expected)
            << static_cast<int>(r.rule.type) << " start " << r.rule.start << " index " << r.index;
    }
}

// start + step * index wraps around in 32 bits instead of overflowing.
TEST(SequenceText, WrapsAroundAtTheExtremes)
{
    struct Row { SequenceRule rule; int32_t index; const wchar_t* expected; };
    const Row rows[] = {
        {Seq(SequenceType::Numbers, 999999, 100000, 3), INT32_MAX, L"899999"},
        {Seq(SequenceType::Numbers, -999999, 100000, 3), INT32_MAX, L"-1099999"},
        {Seq(SequenceType::Numbers, 999999, 1, 10), INT32_MAX, L"-2146483650"},
        {Seq(SequenceType::Numbers, 1, 1, 10), INT32_MAX, L"-2147483648"},
        {Seq(SequenceType::Numbers, 0, 1, 10), INT32_MAX, L"2147483647"},
        {Seq(SequenceType::Numbers, 1, 100000, 1), 21475, L"-2147467295"},  // 2147500001 wrapped
        {Seq(SequenceType::Letters, 1, 1), INT32_MAX - 1, L"FXSHRXW"},
        {Seq(SequenceType::Letters, 999999, 100000), INT32_MAX, L"AYEII"},
        {Seq(SequenceType::Letters, 999999, 1), INT32_MAX, L"A"},  // wrapped below 1
    };
    for (const Row& r : rows) {
        EXPECT_EQ(SequenceText(r.rule, r.index), r.expected) << r.rule.start << " " << r.rule.step;
    }
}

TEST(ReplaceAll, Table)
{
    struct Row { const wchar_t* text; const wchar_t* search; const wchar_t* repl; const wchar_t* expected; };
    const Row rows[] = {
        {L"", L"a", L"b", L""},
        {L"abc", L"", L"x", L"abc"},
        {L"aaa", L"a", L"aa", L"aaaaaa"},  // inserted text is not searched again
        {L"aaaa", L"aa", L"a", L"aa"},     // no overlapping matches
        {L"aaa", L"aa", L"b", L"ba"},
        {L"abab", L"ab", L"", L""},
        {L"xax", L"a", L"a", L"xax"},
        {L"Photo photo", L"photo", L"pic", L"Photo pic"},  // case-sensitive
        {L"My Photo", L"Photo", L"Pic", L"My Pic"},
        {L"ab", L"abc", L"x", L"ab"},
    };
    for (const Row& r : rows) EXPECT_EQ(ReplaceAll(r.text, r.search, r.repl), r.expected) << r.text << L"/" << r.search;
}

TEST(RemoveCharacters, Table)
{
    struct Row { const wchar_t* text; const wchar_t* set; const wchar_t* expected; };
    const Row rows[] = {
        {L"", L"x", L""},
        {L"abc", L"", L"abc"},
        {L"banana", L"aeiou", L"bnn"},
        {L"a-b_c-d", L"-_", L"abcd"},  // a set of characters, not a substring
        {L"ABC", L"abc", L"ABC"},
        {L"aaa", L"a", L""},
    };
    for (const Row& r : rows) EXPECT_EQ(RemoveCharacters(r.text, r.set), r.expected) << r.text << L"/" << r.set;
}

TEST(ApplyCase, Table)
{
    struct Row { const wchar_t* text; CaseMode mode; const wchar_t* expected; };
    const Row rows[] = {
        {L"", CaseMode::Title, L""},
        {L"MiXed 1", CaseMode::NoChange, L"MiXed 1"},
        {L"MiXed 1", CaseMode::Upper, L"MIXED 1"},
        {L"MiXed 1", CaseMode::Lower, L"mixed 1"},
        {L"hello world", CaseMode::Title, L"Hello World"},
        {L"SNAKE_case-name", CaseMode::Title, L"Snake_Case-Name"},
        {L"2nd place", CaseMode::Title, L"2nd Place"},
        {L"it's", CaseMode::Title, L"It's"},
        {L"hello   world", CaseMode::Title, L"Hello   World"},
        {L"a.b\tc", CaseMode::Title, L"A.B\tC"},
        {L"(x)y", CaseMode::Title, L"(x)y"},
        {L"a\u3000b", CaseMode::Title, L"A\u3000B"},  // ideographic space starts a word
        {L"x", static_cast<CaseMode>(9), L"x"},
    };
    for (const Row& r : rows) EXPECT_EQ(ApplyCase(r.text, r.mode), r.expected) << r.text;
}

TEST(TrimSpace, Table)
{
    struct Row { const wchar_t* text; const wchar_t* expected; };
    const Row rows[] = {
        {L"", L""},
        {L"   ", L""},
        {L"\t\r\n\v\f", L""},
        {L"  a b  ", L"a b"},
        {L"\u3000x\u3000", L"x"},
        {L"x", L"x"},
    };
    for (const Row& r : rows) EXPECT_EQ(TrimSpace(r.text), r.expected) << r.text;
}

// The inline ASCII answers must agree with the C library for every UTF-16 unit.
TEST(WideChar, AgreesWithTheCLibrary)
{
    for (unsigned u = 0; u <= 0xFFFF; ++u) {
        const wchar_t c = static_cast<wchar_t>(u);
        ASSERT_EQ(LowerUnit(c), static_cast<wchar_t>(std::towlower(c))) << u;
        ASSERT_EQ(UpperUnit(c), static_cast<wchar_t>(std::towupper(c))) << u;
        ASSERT_EQ(IsSpaceUnit(c), std::iswspace(c) != 0) << u;
    }
}

namespace {

struct BuildRow {
    const char* what;
    const wchar_t* name;
    int32_t index;
    void (*setup)(RenameRules&);
    const wchar_t* expected;
};

const BuildRow kBuildRows[] = {
    {"neutral rules keep the name", L"My Photo.JPG", 0, [](RenameRules&) {}, L"My Photo.JPG"},
    {"worked example", L"My Photo.JPG", 4,
     [](RenameRules& r) {
         r.prefix = Seq(SequenceType::Numbers);
         r.search = L"Photo";
         r.replace = L"Pic";
         r.caseMode = CaseMode::Title;
         r.extMode = ExtMode::Lowercase;
     },
     L"005 - My Pic.jpg"},
    {"change on a leading-dot name", L".gitignore", 0,
     [](RenameRules& r) { r.extMode = ExtMode::Change; r.newExt = L"txt"; }, L".gitignore.txt"},
    {"blank-padded new extension", L"README", 0,
     [](RenameRules& r) { r.extMode = ExtMode::Change; r.newExt = L" md "; }, L"README.md"},
    {"new extension with its dot", L"README", 0,
     [](RenameRules& r) { r.extMode = ExtMode::Change; r.newExt = L".md"; }, L"README.md"},
    {"new extension keeps its case", L"a.txt", 0,
     [](RenameRules& r) { r.extMode = ExtMode::Change; r.newExt = L"MD"; }, L"a.MD"},
    {"blank new extension removes it", L"a.txt", 0,
     [](RenameRules& r) { r.extMode = ExtMode::Change; r.newExt = L"  "; }, L"a"},
    {"empty new extension removes it", L"a.txt", 0,
     [](RenameRules& r) { r.extMode = ExtMode::Change; }, L"a"},
    {"blank replacement with numbers", L"x.txt", 0,
     [](RenameRules& r) { r.replaceEntireName = true; r.replaceName = L"  "; r.prefix = Seq(SequenceType::Numbers); },
     L"001.txt"},
    {"blank replacement with numbers and letters", L"x.txt", 0,
     [](RenameRules& r) {
         r.replaceEntireName = true;
         r.prefix = Seq(SequenceType::Numbers);
         r.suffix = Seq(SequenceType::Letters);
     },
     L"001 - A.txt"},
    {"only a suffix on an empty stem", L"x.txt", 2,
     [](RenameRules& r) { r.replaceEntireName = true; r.suffix = Seq(SequenceType::Letters); }, L"C.txt"},
    {"empty replacement, no sequences", L"x.txt", 0, [](RenameRules& r) { r.replaceEntireName = true; },
     L"unnamed.txt"},
    {"search removes the whole stem", L"abc.txt", 0, [](RenameRules& r) { r.search = L"abc"; }, L"unnamed.txt"},
    {"removal empties a name without extension", L"aaa", 0, [](RenameRules& r) { r.removeChars = L"a"; },
     L"unnamed"},
    {"removal leaves the extension", L"banana.txt", 0, [](RenameRules& r) { r.removeChars = L"aeiou"; },
     L"bnn.txt"},
    {"search leaves the extension", L"txt.txt", 0,
     [](RenameRules& r) { r.search = L"txt"; r.replace = L"doc"; }, L"doc.txt"},
    {"replacement is trimmed, not searched or filtered", L"x.txt", 0,
     [](RenameRules& r) {
         r.replaceEntireName = true;
         r.replaceName = L"  aaa  ";
         r.search = L"a";
         r.replace = L"b";
         r.removeChars = L"a";
     },
     L"aaa.txt"},
    {"case applies to the replacement", L"x.txt", 0,
     [](RenameRules& r) { r.replaceEntireName = true; r.replaceName = L"new name"; r.caseMode = CaseMode::Upper; },
     L"NEW NAME.txt"},
    {"case leaves separator and extension", L"photo.Jpg", 0,
     [](RenameRules& r) {
         r.prefix = Seq(SequenceType::Letters, 1, 1, 3, L" - x ");
         r.suffix = Seq(SequenceType::Numbers, 1, 1, 2, L"_y");
         r.caseMode = CaseMode::Upper;
     },
     L"A - x PHOTO_y01.Jpg"},
    {"separator used exactly as typed", L"a.txt", 0,
     [](RenameRules& r) { r.prefix = Seq(SequenceType::Numbers, 1, 1, 1, L""); }, L"1a.txt"},
    {"trailing dot is kept", L"file.", 0, [](RenameRules&) {}, L"file."},
    {"lower-cased extension", L"A.TXT", 0, [](RenameRules& r) { r.extMode = ExtMode::Lowercase; }, L"A.txt"},
    {"negative numbers", L"a.txt", 1,
     [](RenameRules& r) { r.suffix = Seq(SequenceType::Numbers, -2, 1, 3); }, L"a - -01.txt"},
    {"step and index", L"a.txt", 3,
     [](RenameRules& r) { r.prefix = Seq(SequenceType::Numbers, 10, 10, 4, L"_"); }, L"0040_a.txt"},
};

}  // namespace

TEST(BuildNewName, Table)
{
    for (const BuildRow& row : kBuildRows) {
        RenameRules rules;
        row.setup(rules);
        EXPECT_EQ(BuildNewName(row.name, row.index, rules), row.expected) << row.what;
    }
}

// The planner rebuilds into each row's previous name: whatever was there must not leak through.
TEST(BuildNewName, IntoReusedBufferMatches)
{
    std::wstring out = L"previous name that is long enough to need the heap.txt";
    for (const BuildRow& row : kBuildRows) {
        RenameRules rules;
        row.setup(rules);
        BuildNewNameInto(out, row.name, row.index, rules);
        EXPECT_EQ(out, row.expected) << row.what;
    }
}
