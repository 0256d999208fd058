#include "engine/rename_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cwchar>
#include <string>
#include <cwctype>

#include "engine/wide_char.h"
#include "tests/support/lcg.h"
#include "tests/support/system_case.h"

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
    struct Row {
        const wchar_t* name;
        const wchar_t* stem;
        const wchar_t* ext;
    };
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
    struct Row {
        SequenceRule rule;
        int32_t index;
        const wchar_t* expected;
    };
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
    struct Row {
        SequenceRule rule;
        int32_t index;
        const wchar_t* expected;
    };
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
    struct Row {
        const wchar_t* text;
        const wchar_t* search;
        const wchar_t* repl;
        const wchar_t* expected;
    };
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
    struct Row {
        const wchar_t* text;
        const wchar_t* set;
        const wchar_t* expected;
    };
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
    struct Row {
        const wchar_t* text;
        CaseMode mode;
        const wchar_t* expected;
    };
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
        {L"caf\u00e9 menu", CaseMode::Upper, L"CAF\u00c9 MENU"},
        {L"\u0391\u0392\u0393 \u03b4", CaseMode::Lower, L"\u03b1\u03b2\u03b3 \u03b4"},
        {L"\u043f\u0420\u0418\u0432\u0435\u0442 \u043c\u0438\u0440", CaseMode::Title,
         L"\u041f\u0440\u0438\u0432\u0435\u0442 \u041c\u0438\u0440"},
        {L"stra\u00dfe", CaseMode::Upper, L"STRA\u00dfE"},                      // no longer, no shorter
        {L"\U00010428x\U00010400", CaseMode::Upper, L"\U00010428X\U00010400"},  // a pair is never split
        {L"\U00010428x\U00010400", CaseMode::Lower, L"\U00010428x\U00010400"},
    };
    for (const Row& r : rows) EXPECT_EQ(ApplyCase(r.text, r.mode), r.expected) << r.text;
}

TEST(TrimSpace, Table)
{
    struct Row {
        const wchar_t* text;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {L"", L""}, {L"   ", L""}, {L"\t\r\n\v\f", L""}, {L"  a b  ", L"a b"}, {L"\u3000x\u3000", L"x"}, {L"x", L"x"},
    };
    for (const Row& r : rows) EXPECT_EQ(TrimSpace(r.text), r.expected) << r.text;
}

// The inline ASCII answers and the table must agree with the system for every UTF-16 unit.
TEST(WideChar, AgreesWithTheSystem)
{
    for (unsigned u = 0; u <= 0xFFFF; ++u) {
        const wchar_t c = static_cast<wchar_t>(u);
        ASSERT_EQ(LowerUnit(c), SystemLower(c)) << u;
        ASSERT_EQ(UpperUnit(c), SystemUpper(c)) << u;
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
     [](RenameRules& r) {
         r.extMode = ExtMode::Change;
         r.newExt = L"txt";
     },
     L".gitignore.txt"},
    {"blank-padded new extension", L"README", 0,
     [](RenameRules& r) {
         r.extMode = ExtMode::Change;
         r.newExt = L" md ";
     },
     L"README.md"},
    {"new extension with its dot", L"README", 0,
     [](RenameRules& r) {
         r.extMode = ExtMode::Change;
         r.newExt = L".md";
     },
     L"README.md"},
    {"new extension keeps its case", L"a.txt", 0,
     [](RenameRules& r) {
         r.extMode = ExtMode::Change;
         r.newExt = L"MD";
     },
     L"a.MD"},
    {"blank new extension removes it", L"a.txt", 0,
     [](RenameRules& r) {
         r.extMode = ExtMode::Change;
         r.newExt = L"  ";
     },
     L"a"},
    {"empty new extension removes it", L"a.txt", 0, [](RenameRules& r) { r.extMode = ExtMode::Change; }, L"a"},
    {"blank replacement with numbers", L"x.txt", 0,
     [](RenameRules& r) {
         r.replaceEntireName = true;
         r.replaceName = L"  ";
         r.prefix = Seq(SequenceType::Numbers);
     },
     L"001.txt"},
    {"blank replacement with numbers and letters", L"x.txt", 0,
     [](RenameRules& r) {
         r.replaceEntireName = true;
         r.prefix = Seq(SequenceType::Numbers);
         r.suffix = Seq(SequenceType::Letters);
     },
     L"001 - A.txt"},
    {"only a suffix on an empty stem", L"x.txt", 2,
     [](RenameRules& r) {
         r.replaceEntireName = true;
         r.suffix = Seq(SequenceType::Letters);
     },
     L"C.txt"},
    {"empty replacement, no sequences", L"x.txt", 0, [](RenameRules& r) { r.replaceEntireName = true; },
     L"unnamed.txt"},
    {"search removes the whole stem", L"abc.txt", 0, [](RenameRules& r) { r.search = L"abc"; }, L"unnamed.txt"},
    {"removal empties a name without extension", L"aaa", 0, [](RenameRules& r) { r.removeChars = L"a"; }, L"unnamed"},
    {"removal leaves the extension", L"banana.txt", 0, [](RenameRules& r) { r.removeChars = L"aeiou"; }, L"bnn.txt"},
    {"search leaves the extension", L"txt.txt", 0,
     [](RenameRules& r) {
         r.search = L"txt";
         r.replace = L"doc";
     },
     L"doc.txt"},
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
     [](RenameRules& r) {
         r.replaceEntireName = true;
         r.replaceName = L"new name";
         r.caseMode = CaseMode::Upper;
     },
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
    {"negative numbers", L"a.txt", 1, [](RenameRules& r) { r.suffix = Seq(SequenceType::Numbers, -2, 1, 3); },
     L"a - -01.txt"},
    {"step and index", L"a.txt", 3, [](RenameRules& r) { r.prefix = Seq(SequenceType::Numbers, 10, 10, 4, L"_"); },
     L"0040_a.txt"},
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

// Search as a regular expression (Perl syntax), through the name builder: only the stem,
// every match, the Perl replacement format with its escapes (control characters, groups, case).
TEST(BuildNewName, RegularExpressionTable)
{
    struct Row {
        const wchar_t* name;
        const wchar_t* search;
        const wchar_t* replace;
        std::wstring expected;
    };
    const Row rows[] = {
        {L"IMG_1234.jpg", L"^IMG_(\\d+)$", L"Holiday $1", L"Holiday 1234.jpg"},
        {L"2024-05-17 party.png", L"(\\d+)-(\\d+)-(\\d+)", L"$3.$2.$1", L"17.05.2024 party.png"},
        {L"abcdefghijk.txt", L"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)", L"$10|${10}|${1}0|$11", L"j|j|a0|k.txt"},
        {L"abc.txt", L"b", L"[$&]", L"a[b]c.txt"},
        {L"cost 5.txt", L"\\d", L"$$$&", L"cost $5.txt"},
        {L"aaaa.txt", L"aa", L"b", L"bb.txt"},
        {L"Photo.jpg", L"^photo", L"Pic", L"Photo.jpg"},
        {L"Photo.jpg", L"(?i)^photo", L"Pic", L"Pic.jpg"},
        {L"name.txt", L"^", L"New ", L"New name.txt"},
        {L"abc.txt", L"x*", L"-", L"-a-b-c-.txt"},
        {L"abc.txt", L".*", L"", L"unnamed.txt"},
        {L"a.b.c", L"\\.", L"_", L"a_b.c"},
        {L"abc.txt", L"", L"x", L"abc.txt"},
        {L"a b.txt", L" ", L"\\n", L"a\nb.txt"},
        {L"a b.txt", L" ", L"\\t", L"a\tb.txt"},
        {L"a b.txt", L" ", L"\\0", std::wstring(L"a\0b.txt", 7)},
        {L"IMG_1234.jpg", L"^IMG_(\\d+)$", L"P\\1", L"P1234.jpg"},
        {L"ab.txt", L"(a)", L"\\12|${1}00", L"a2|a00b.txt"},
        {L"draft notes.txt", L"^(\\w+)", L"\\U$1", L"DRAFT notes.txt"},
        {L"holiday in rome.jpg", L"^(\\w+) in (\\w+)$", L"\\U$1\\E in \\u$2", L"HOLIDAY in Rome.jpg"},
        {L"IMG_ABC.jpg", L"^IMG_(\\w+)$", L"\\L$1\\E-X", L"abc-X.jpg"},
        {L"Photo One.jpg", L"^(\\w+)", L"\\l$1", L"photo One.jpg"},
        {L"abc.txt", L"(b)", L"[$100]", L"a[]c.txt"},
        {L"a b.txt", L" ", L"\\$1\\\\\\q", L"a$1\\qb.txt"},
    };
    for (const Row& r : rows) {
        RenameRules rules;
        rules.searchRegex = true;
        rules.search = r.search;
        rules.replace = r.replace;
        EXPECT_EQ(BuildNewName(r.name, 0, rules), r.expected) << r.name << L" / " << r.search;
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

namespace {

// The builder written step by step from its rules, with the C library called directly: the
// real one works in place in one buffer and answers ASCII inline, so the two are compared on
// many generated cases.
std::wstring RefTrim(const std::wstring& t)
{
    size_t a = 0, b = t.size();
    while (a < b && std::iswspace(t[a])) ++a;
    while (b > a && std::iswspace(t[b - 1])) --b;
    return t.substr(a, b - a);
}

std::wstring RefSequence(const SequenceRule& rule, int32_t index)
{
    const int64_t wide = int64_t{rule.start} + int64_t{rule.step} * index;
    const auto value = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(wide)));
    if (rule.type == SequenceType::Numbers) {
        wchar_t buf[32];
        std::swprintf(buf, 32, L"%0*d", rule.pad, value);
        return buf;
    }
    if (rule.type != SequenceType::Letters) return L"";
    std::wstring text;
    int64_t n = value < 1 ? 1 : value;
    do {
        --n;
        text.insert(text.begin(), static_cast<wchar_t>(L'A' + n % 26));
        n /= 26;
    } while (n > 0);
    return text;
}

std::wstring RefBuild(const std::wstring& name, int32_t index, const RenameRules& r)
{
    const size_t dot = name.rfind(L'.');
    const bool hasExt = dot != std::wstring::npos && dot != 0;
    std::wstring ext = hasExt ? name.substr(dot) : L"";
    std::wstring stem = hasExt ? name.substr(0, dot) : name;
    if (r.replaceEntireName) {
        stem = RefTrim(r.replaceName);
    } else {
        if (!r.search.empty()) {
            for (size_t at = stem.find(r.search); at != std::wstring::npos;
                 at = stem.find(r.search, at + r.replace.size()))
                stem.replace(at, r.search.size(), r.replace);
        }
        std::wstring kept;
        for (wchar_t c : stem)
            if (r.removeChars.find(c) == std::wstring::npos) kept += c;
        stem = kept;
    }
    bool wordStart = true;
    for (wchar_t& c : stem) {
        if (r.caseMode == CaseMode::Upper) c = SystemUpper(c);
        if (r.caseMode == CaseMode::Lower) c = SystemLower(c);
        if (r.caseMode != CaseMode::Title) continue;
        if (std::iswspace(c) || c == L'-' || c == L'.' || c == L'_') {
            wordStart = true;
        } else {
            c = wordStart ? SystemUpper(c) : SystemLower(c);
            wordStart = false;
        }
    }
    const std::wstring p = RefSequence(r.prefix, index), s = RefSequence(r.suffix, index);
    std::wstring out = stem;
    if (!p.empty()) out = stem.empty() ? p : p + r.prefix.sep + stem;
    if (!s.empty()) out = out.empty() ? s : out + r.suffix.sep + s;
    if (r.extMode == ExtMode::Change) {
        ext = RefTrim(r.newExt);
        if (!ext.empty() && ext[0] != L'.') ext.insert(ext.begin(), L'.');
    } else if (r.extMode == ExtMode::Lowercase) {
        for (wchar_t& c : ext) c = SystemLower(c);
    }
    return (out.empty() ? std::wstring(L"unnamed") : out) + ext;
}

std::wstring RandomText(Lcg& rng, size_t maxLength)
{
    static const wchar_t units[] = {L'a', L'A',  L'b',      L'B',      L'.',      L' ',  L'-', L'_',
                                    L'1', L'\'', L'\u00e9', L'\u00c9', L'\u3000', L'\t', L'z', L'Z'};
    std::wstring text;
    const size_t length = rng.Below(static_cast<uint32_t>(maxLength + 1));
    for (size_t i = 0; i < length; ++i) text += rng.Pick(units);
    return text;
}

SequenceRule RandomSequence(Lcg& rng)
{
    static const int32_t starts[] = {-999999, -27, -2, 0, 1, 2, 26, 27, 702, 703, 999999};
    static const int32_t steps[] = {1, 1, 2, 3, 26, 100000};
    static const wchar_t* const seps[] = {L" - ", L"", L"_", L" x ", L"."};
    SequenceRule rule;
    rule.type = static_cast<SequenceType>(rng.Below(3));
    rule.start = rng.Pick(starts);
    rule.step = rng.Pick(steps);
    rule.pad = static_cast<int32_t>(1 + rng.Below(10));
    rule.sep = rng.Pick(seps);
    return rule;
}

}  // namespace

TEST(BuildNewName, AgreesWithTheRulesWrittenStepByStep)
{
    static const int32_t indexes[] = {0, 1, 2, 25, 26, 700, 99999, INT32_MAX - 1, INT32_MAX};
    Lcg rng{12345};
    std::wstring reused;
    for (int round = 0; round < 20000; ++round) {
        RenameRules r;
        r.prefix = RandomSequence(rng);
        r.suffix = RandomSequence(rng);
        r.replaceEntireName = rng.Below(4) == 0;
        r.replaceName = RandomText(rng, 5);
        r.search = RandomText(rng, rng.Below(3) == 0 ? 0 : 2);
        r.replace = RandomText(rng, 3);
        r.removeChars = RandomText(rng, 2);
        r.caseMode = static_cast<CaseMode>(rng.Below(4));
        r.extMode = static_cast<ExtMode>(rng.Below(3));
        r.newExt = RandomText(rng, 4);
        const std::wstring name = RandomText(rng, 10);
        const int32_t index = rng.Pick(indexes);
        const std::wstring expected = RefBuild(name, index, r);
        ASSERT_EQ(BuildNewName(name, index, r), expected) << "round " << round << " name '" << name << "'";
        BuildNewNameInto(reused, name, index, r);
        ASSERT_EQ(reused, expected) << "round " << round;
    }
}
