#include "settings/json_text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

std::string Hex(const std::string& bytes)
{
    std::string out;
    char buffer[4];
    for (const char c : bytes) {
        std::snprintf(buffer, sizeof buffer, "%02X ", static_cast<unsigned char>(c));
        out += buffer;
    }
    return out;
}

// Reads an object and lists its members as key=value, the value read by SkipJsonValue's rules
// but recorded as the raw text it consumed.
bool ReadMembers(const std::string& text, std::string& members)
{
    members.clear();
    return ReadJsonObject(text, [&](const std::string& key, const std::string& t, JsonCursor& cursor) {
        const JsonCursor start = cursor;
        if (!SkipJsonValue(t, cursor)) return false;
        members += key + "=" + t.substr(static_cast<size_t>(start), static_cast<size_t>(cursor - start)) + ";";
        return true;
    });
}

}  // namespace

TEST(SkipJsonWhitespace, StopsAtFirstOtherByte)
{
    struct Row {
        std::string text;
        JsonCursor expected;
    };
    const Row rows[] = {
        {"", 0},     {" \t\n\v\f\rx", 6}, {"      ", 6}, {"\xA0x", 0},  // no byte from 0x80 up is whitespace
        {"\x85", 0}, {"\x08 ", 0},                                      // backspace is not whitespace
        {"\x1F", 0}, {" \x0E", 1},
    };
    for (const Row& r : rows) {
        JsonCursor cursor = 0;
        SkipJsonWhitespace(r.text, cursor);
        EXPECT_EQ(cursor, r.expected) << Hex(r.text);
    }
}

TEST(ReadJsonString, Table)
{
    struct Row {
        std::string text;
        bool ok;
        std::string value;
        JsonCursor end;
    };
    const Row rows[] = {
        {"\"\"", true, "", 2},
        {"  \"abc\" tail", true, "abc", 7},
        {"\"a\\nb\\rc\\td\"", true, "a\nb\rc\td", 12},
        {"\"\\u00e9\"", true, "\xC3\xA9", 8},
        {"\"\\u00E9\"", true, "\xC3\xA9", 8},
        {"\"\\u0041\"", true, "A", 8},
        {"\"\\u0000\"", true, "\0"s, 8},
        {"\"\\ud83d\\ude00\"", true, "\xEF\xBF\xBD\xEF\xBF\xBD", 14},  // halves never combine
        {"\"\\b\\f\\/\\\\\\\"\"", true, "bf/\\\"", 12},
        {"\"\\x\"", true, "x", 4},
        {"\"raw\nline\"", true, "raw\nline", 10},
        {"\"\x01\x7F\xFF\"", true, "\x01\x7F\xFF", 5},
        {"\"\\u00\"", false, "", 0},
        {"\"\\u00e\"", false, "", 0},
        {"\"\\u00g9\"", false, "", 0},
        {"\"\\u12", false, "", 0},
        {"\"abc", false, "", 0},
        {"\"abc\\", false, "", 0},
        {"\"abc\\\"", false, "", 0},
        {"", false, "", 0},
        {"   ", false, "", 0},
        {"abc", false, "", 0},
        {"'abc'", false, "", 0},
    };
    for (const Row& r : rows) {
        JsonCursor cursor = 0;
        std::string out = "stale";
        EXPECT_EQ(ReadJsonString(r.text, cursor, out), r.ok) << Hex(r.text);
        if (!r.ok) continue;
        EXPECT_EQ(Hex(out), Hex(r.value)) << Hex(r.text);
        EXPECT_EQ(cursor, r.end) << Hex(r.text);
    }
}

TEST(ReadJsonInteger, Table)
{
    struct Row {
        std::string text;
        bool ok;
        int64_t value;
        JsonCursor end;
    };
    const Row rows[] = {
        {"0", true, 0, 1},
        {"  42,", true, 42, 4},
        {"+7", true, 7, 2},
        {"007", true, 7, 3},
        {"-0", true, 0, 2},
        {"-12x", true, -12, 3},
        {"1.5", true, 1, 1},  // the '.' is left for the member loop
        {"9223372036854775807", true, INT64_MAX, 19},
        {"-9223372036854775808", true, INT64_MIN, 20},
        {"00000000000000000000000000007", true, 7, 29},
        {"9223372036854775808", false, 0, 0},
        {"-9223372036854775809", false, 0, 0},
        {"12345678901234567890", false, 0, 0},
        {"-", false, 0, 0},
        {"+", false, 0, 0},
        {"--1", false, 0, 0},
        {"- 1", false, 0, 0},
        {"", false, 0, 0},
        {" ", false, 0, 0},
        {".5", false, 0, 0},
        {"x", false, 0, 0},
        {"\"1\"", false, 0, 0},
    };
    for (const Row& r : rows) {
        JsonCursor cursor = 0;
        int64_t value = 99;
        EXPECT_EQ(ReadJsonInteger(r.text, cursor, value), r.ok) << r.text;
        if (!r.ok) continue;
        EXPECT_EQ(value, r.value) << r.text;
        EXPECT_EQ(cursor, r.end) << r.text;
    }
}

TEST(ReadJsonBool, Table)
{
    struct Row {
        std::string text;
        bool ok;
        bool value;
        JsonCursor end;
    };
    const Row rows[] = {
        {"true", true, true, 4},    {" false", true, false, 6}, {"truex", true, true, 4},  // the next byte is the
                                                                                           // member loop's business
        {"falsey", true, false, 5}, {"True", false, false, 0},  {"FALSE", false, false, 0}, {"tru", false, false, 0},
        {"fals", false, false, 0},  {"1", false, false, 0},     {"", false, false, 0},      {"null", false, false, 0},
    };
    for (const Row& r : rows) {
        JsonCursor cursor = 0;
        bool value = !r.value;
        EXPECT_EQ(ReadJsonBool(r.text, cursor, value), r.ok) << r.text;
        if (!r.ok) continue;
        EXPECT_EQ(value, r.value) << r.text;
        EXPECT_EQ(cursor, r.end) << r.text;
    }
}

TEST(ReadJsonWideString, ReplacesTargetOnlyOnSuccess)
{
    std::wstring target = L"kept";
    JsonCursor cursor = 0;
    EXPECT_FALSE(ReadJsonWideString("\"unterminated", cursor, target));
    EXPECT_EQ(target, L"kept");
    cursor = 0;
    EXPECT_TRUE(ReadJsonWideString("\"J\xC3\xB6rg \\u65e5\"", cursor, target));
    EXPECT_EQ(target, L"J\u00f6rg \u65e5");
}

TEST(SkipJsonValue, Table)
{
    struct Row {
        std::string text;
        bool ok;
        JsonCursor end;
    };
    const Row rows[] = {
        {"\"x\\\"y\"", true, 6}, {"true", true, 4}, {"false", true, 5}, {"-17", true, 3}, {"", false, 0},
        {"null", false, 0},      {"[1]", false, 0}, {"{}", false, 0},   {"t", false, 0},  {"1e5", true, 1},
    };
    for (const Row& r : rows) {
        JsonCursor cursor = 0;
        EXPECT_EQ(SkipJsonValue(r.text, cursor), r.ok) << r.text;
        if (r.ok) {
            EXPECT_EQ(cursor, r.end) << r.text;
        }
    }
}

TEST(ReadJsonObject, Table)
{
    struct Row {
        std::string text;
        bool ok;
        std::string members;
    };
    const Row rows[] = {
        {"{}", true, ""},
        {"{", true, ""},
        {"{ ", false, ""},
        {"{ }", true, ""},
        {"\n\t {\"a\":1}", true, "a=1;"},
        {"{\"a\":1,\"b\":\"x\",\"c\":true}", true, "a=1;b=\"x\";c=true;"},
        {"{\"a\":1 \"b\":2}", true, "a=1;b=2;"},  // commas are optional
        {"{\"a\":1,}", true, "a=1;"},             // one trailing comma
        {"{\"a\":1,,\"b\":2}", false, ""},
        {"{,}", false, ""},
        {"{\"a\":1", true, "a=1;"},  // missing brace after a value
        {"{\"a\":1  \n", true, "a=1;"},
        {"{\"a\":1,", true, "a=1;"},
        {"{\"a\":1,\n", false, ""},
        {"{\"a\":1}garbage", true, "a=1;"},
        {"{\"a\" : 1 , \"a\" : 2 }", true, "a=1;a=2;"},
        {"\xEF\xBB\xBF{\"a\":1}", false, ""},  // byte-order mark
        {"", false, ""},
        {"   ", false, ""},
        {"[]", false, ""},
        {"{\"a\"1}", false, ""},
        {"{\"a\":}", false, ""},
        {"{\"a\":1.5}", false, ""},
        {"{\"a\":truex}", false, ""},
        {"{\"a\":True}", false, ""},
        {"{\"a\":null}", false, ""},
        {"{\"a\":[1]}", false, ""},
        {"{\"a\":{}}", false, ""},
        {"{a:1}", false, ""},
        {"{\"a\":1 \"b\"", false, ""},
        {"{\"\\u0061\\\"\":1}", true, "a\"=1;"},
    };
    for (const Row& r : rows) {
        std::string members;
        EXPECT_EQ(ReadMembers(r.text, members), r.ok) << Hex(r.text);
        if (r.ok) {
            EXPECT_EQ(members, r.members) << Hex(r.text);
        }
    }
}

TEST(ReadJsonObject, HandlerFailureAbortsAndStopsReading)
{
    int calls = 0;
    const bool ok =
        ReadJsonObject("{\"a\":1,\"b\":2,\"c\":3}", [&](const std::string& key, const std::string& t, JsonCursor& c) {
            ++calls;
            return key != "b" && SkipJsonValue(t, c);
        });
    EXPECT_FALSE(ok);
    EXPECT_EQ(calls, 2);
}

TEST(Utf8ToUtf16, Table)
{
    struct Row {
        std::string bytes;
        std::wstring text;
    };
    const Row rows[] = {
        {"", L""},
        {"abc", L"abc"},
        {"\0x"s, L"\0x"s},
        {"\xC3\xA9", L"\u00e9"},
        {"\xE6\x97\xA5", L"\u65e5"},
        {"\xF0\x9F\x98\x80", L"\U0001F600"},
        {"\xF4\x8F\xBF\xBF", L"\U0010FFFF"},
        {"\xEF\xBF\xBD", L"\ufffd"},
        {"\x80", L"\ufffd"},  // lone continuation byte
        {"\xC3", L"\ufffd"},  // truncated at the end
        {"\xC3x", L"\ufffdx"},
        {"\xE6\x97x", L"\ufffdx"},      // one U+FFFD for the broken prefix
        {"\xC0\xAF", L"\ufffd\ufffd"},  // overlong
        {"\xE0\x80\xAF", L"\ufffd\ufffd\ufffd"},
        {"\xED\xA0\x80", L"\ufffd\ufffd\ufffd"},            // encoded surrogate
        {"\xF4\x90\x80\x80", L"\ufffd\ufffd\ufffd\ufffd"},  // above U+10FFFF
        {"\xF5\x80", L"\ufffd\ufffd"},
        {"\xFF\xFE", L"\ufffd\ufffd"},
        {"a\xF0\x9F\x98", L"a\ufffd"},
    };
    for (const Row& r : rows) EXPECT_EQ(Utf8ToUtf16(r.bytes), r.text) << Hex(r.bytes);
}

TEST(Utf16ToUtf8, Table)
{
    struct Row {
        std::wstring text;
        std::string bytes;
    };
    const Row rows[] = {
        {L"", ""},
        {L"A", "A"},
        {L"\u007f\u0080", "\x7F\xC2\x80"},
        {L"\u07ff\u0800", "\xDF\xBF\xE0\xA0\x80"},
        {L"\uffff", "\xEF\xBF\xBF"},
        {L"\U0001F600", "\xF0\x9F\x98\x80"},
        {std::wstring(1, wchar_t(0xD83D)), "\xEF\xBF\xBD"},
        {std::wstring(1, wchar_t(0xDE00)), "\xEF\xBF\xBD"},
        {std::wstring{wchar_t(0xDE00), wchar_t(0xD83D)}, "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {std::wstring{wchar_t(0xD83D), L'x'}, "\xEF\xBF\xBDx"},
        {std::wstring{wchar_t(0xD83D), wchar_t(0xD83D), wchar_t(0xDE00)}, "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
    };
    for (const Row& r : rows) EXPECT_EQ(Hex(Utf16ToUtf8(r.text)), Hex(r.bytes));
}

// The codec must agree with the system's UTF-8 conversion on well-formed text.
TEST(Utf16ToUtf8, AgreesWithSystemOnWellFormedText)
{
    uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int round = 0; round < 200; ++round) {
        std::wstring text;
        for (int i = 0; i < 40; ++i) {
            uint32_t cp = next() % 0x110000;
            if (cp >= 0xD800 && cp <= 0xDFFF) cp -= 0x800;
            if (cp < 0x10000)
                text += static_cast<wchar_t>(cp);
            else
                text += {static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10)),
                         static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF))};
        }
        const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
        std::string expected(size_t(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), expected.data(), size, nullptr, nullptr);
        ASSERT_EQ(Utf16ToUtf8(text), expected);
        ASSERT_EQ(Utf8ToUtf16(expected), text);
    }
}

TEST(EscapeJsonString, Table)
{
    struct Row {
        std::string bytes;
        std::string escaped;
    };
    const Row rows[] = {
        {"", ""},
        {"plain / text", "plain / text"},
        {"\t\n\r", "\\t\\n\\r"},
        {"\"\\", "\\\"\\\\"},
        {"\x01", "\\u0001"},
        {"\x1F", "\\u001f"},
        {"\0"s, "\\u0000"},
        {"\x08\x0C", "\\u0008\\u000c"},
        {"\x7F \xC3\xA9 \xFF", "\x7F \xC3\xA9 \xFF"},
    };
    for (const Row& r : rows) EXPECT_EQ(EscapeJsonString(r.bytes), r.escaped) << Hex(r.bytes);
}

TEST(JsonTextWriter, LayoutIsFixed)
{
    JsonTextWriter writer;
    writer.String("s", L"a\"b\\c\u00e9\t");
    writer.Integer("neg", INT32_MIN);
    writer.Integer("zero", 0);
    writer.Bool("t", true);
    writer.Bool("f", false);
    EXPECT_EQ(writer.Finish(), "{\n"
                               "  \"s\": \"a\\\"b\\\\c\xC3\xA9\\t\",\n"
                               "  \"neg\": -2147483648,\n"
                               "  \"zero\": 0,\n"
                               "  \"t\": true,\n"
                               "  \"f\": false\n"
                               "}\n");
    EXPECT_EQ(JsonTextWriter().Finish(), "{\n}\n");
}

// What the writer produces the reader reads back, whatever the string holds.
TEST(JsonTextWriter, EveryUnitSurvivesWriteAndRead)
{
    std::wstring all;
    for (uint32_t u = 1; u < 0xD800; ++u) all += static_cast<wchar_t>(u);
    for (uint32_t u = 0xE000; u <= 0xFFFF; ++u) all += static_cast<wchar_t>(u);
    all += L"\U0001F600\U0010FFFF";
    all += L'\0';
    JsonTextWriter writer;
    writer.String("k", all);
    std::wstring back;
    ASSERT_TRUE(ReadJsonObject(writer.Finish(), [&](const std::string& key, const std::string& t, JsonCursor& c) {
        return key == "k" && ReadJsonWideString(t, c, back);
    }));
    EXPECT_EQ(back, all);
}
