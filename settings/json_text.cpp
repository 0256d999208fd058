#include "settings/json_text.h"

#include <cstdio>

namespace {

bool AtEnd(const std::string& text, JsonCursor cursor)
{
    return cursor >= text.size();
}

unsigned char ByteAt(const std::string& text, JsonCursor cursor)
{
    return static_cast<unsigned char>(text[static_cast<size_t>(cursor)]);
}

bool IsJsonSpace(unsigned char c)
{
    return c == 0x20 || (c >= 0x09 && c <= 0x0D);
}
bool IsDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

int HexValue(unsigned char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool StartsWithAt(const std::string& text, JsonCursor cursor, const char* word, size_t length)
{
    if (AtEnd(text, cursor) || text.size() - static_cast<size_t>(cursor) < length) return false;
    return text.compare(static_cast<size_t>(cursor), length, word) == 0;
}

// The four hex digits of a \u escape, cursor on the first; one UTF-16 unit, converted alone.
bool ReadUnicodeEscape(const std::string& text, JsonCursor& cursor, std::string& out)
{
    if (AtEnd(text, cursor) || text.size() - static_cast<size_t>(cursor) < 4) return false;
    unsigned unit = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = HexValue(ByteAt(text, cursor++));
        if (digit < 0) return false;
        unit = unit * 16 + static_cast<unsigned>(digit);
    }
    out += Utf16ToUtf8(std::wstring(1, static_cast<wchar_t>(unit)));
    return true;
}

void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendUtf16(std::wstring& out, uint32_t cp)
{
    if (cp < 0x10000) {
        out += static_cast<wchar_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (cp >> 10));
        out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
    }
}

// Length of the UTF-8 sequence led by `lead` and the allowed range of its second byte
// (which rules out overlong forms, surrogates and code points above U+10FFFF). 0: invalid lead.
int SequenceLength(unsigned char lead, unsigned char& low, unsigned char& high)
{
    low = 0x80;
    high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
        return 4;
    }
    return 0;
}

}  // namespace

void SkipJsonWhitespace(const std::string& text, JsonCursor& cursor)
{
    while (!AtEnd(text, cursor) && IsJsonSpace(ByteAt(text, cursor))) ++cursor;
}

bool ReadJsonString(const std::string& text, JsonCursor& cursor, std::string& out)
{
    SkipJsonWhitespace(text, cursor);
    if (AtEnd(text, cursor) || ByteAt(text, cursor) != '"') return false;
    ++cursor;
    out.clear();
    for (;;) {
        if (AtEnd(text, cursor)) return false;
        const unsigned char c = ByteAt(text, cursor++);
        if (c == '"') return true;
        if (c != '\\') {
            out += static_cast<char>(c);
            continue;
        }
        if (AtEnd(text, cursor)) return false;
        const unsigned char e = ByteAt(text, cursor++);
        if (e == 'n')
            out += '\n';
        else if (e == 'r')
            out += '\r';
        else if (e == 't')
            out += '\t';
        else if (e == 'u') {
            if (!ReadUnicodeEscape(text, cursor, out)) return false;
        } else
            out += static_cast<char>(e);
    }
}

bool ReadJsonInteger(const std::string& text, JsonCursor& cursor, int64_t& out)
{
    SkipJsonWhitespace(text, cursor);
    if (AtEnd(text, cursor)) return false;
    bool negative = false;
    const unsigned char sign = ByteAt(text, cursor);
    if (sign == '-' || sign == '+') {
        negative = sign == '-';
        ++cursor;
    }
    if (AtEnd(text, cursor) || !IsDigit(ByteAt(text, cursor))) return false;
    // Magnitude limit: 2^63 - 1, or 2^63 for a negative value.
    const uint64_t limit = negative ? (uint64_t{1} << 63) : (uint64_t{1} << 63) - 1;
    uint64_t magnitude = 0;
    bool overflow = false;
    while (!AtEnd(text, cursor) && IsDigit(ByteAt(text, cursor))) {
        const unsigned digit = ByteAt(text, cursor++) - '0';
        if (magnitude > (limit - digit) / 10)
            overflow = true;
        else
            magnitude = magnitude * 10 + digit;
    }
    if (overflow) return false;
    out = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

bool ReadJsonBool(const std::string& text, JsonCursor& cursor, bool& out)
{
    SkipJsonWhitespace(text, cursor);
    if (StartsWithAt(text, cursor, "true", 4)) {
        out = true;
        cursor += 4;
        return true;
    }
    if (StartsWithAt(text, cursor, "false", 5)) {
        out = false;
        cursor += 5;
        return true;
    }
    return false;
}

bool ReadJsonWideString(const std::string& text, JsonCursor& cursor, std::wstring& target)
{
    std::string bytes;
    if (!ReadJsonString(text, cursor, bytes)) return false;
    target = Utf8ToUtf16(bytes);
    return true;
}

bool SkipJsonValue(const std::string& text, JsonCursor& cursor)
{
    int64_t number = 0;
    if (AtEnd(text, cursor)) return ReadJsonInteger(text, cursor, number);
    const unsigned char c = ByteAt(text, cursor);
    if (c == '"') {
        std::string ignored;
        return ReadJsonString(text, cursor, ignored);
    }
    if (c == 't' || c == 'f') {
        bool ignored = false;
        return ReadJsonBool(text, cursor, ignored);
    }
    return ReadJsonInteger(text, cursor, number);
}

bool ReadJsonObject(const std::string& text, const JsonMemberHandler& handler)
{
    JsonCursor cursor = 0;
    SkipJsonWhitespace(text, cursor);
    if (AtEnd(text, cursor) || ByteAt(text, cursor) != '{') return false;
    ++cursor;
    if (cursor == text.size()) return true;
    std::string key;
    for (;;) {
        SkipJsonWhitespace(text, cursor);
        if (!AtEnd(text, cursor) && ByteAt(text, cursor) == '}') return true;
        if (!ReadJsonString(text, cursor, key)) return false;
        SkipJsonWhitespace(text, cursor);
        if (AtEnd(text, cursor) || ByteAt(text, cursor) != ':') return false;
        ++cursor;
        SkipJsonWhitespace(text, cursor);
        if (!handler(key, text, cursor)) return false;
        SkipJsonWhitespace(text, cursor);
        if (!AtEnd(text, cursor) && ByteAt(text, cursor) == ',') ++cursor;
        if (AtEnd(text, cursor)) return true;
    }
}

std::wstring Utf8ToUtf16(const std::string& bytes)
{
    std::wstring out;
    out.reserve(bytes.size());
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            out += static_cast<wchar_t>(lead);
            ++i;
            continue;
        }
        unsigned char low = 0, high = 0;
        const int length = SequenceLength(lead, low, high);
        uint32_t cp = length == 2 ? (lead & 0x1Fu) : length == 3 ? (lead & 0x0Fu) : (lead & 0x07u);
        size_t j = i + 1;
        // Consume the longest valid prefix; a broken sequence yields one U+FFFD for that prefix.
        for (int k = 1; k < length && j < n; ++k, ++j) {
            const unsigned char c = static_cast<unsigned char>(bytes[j]);
            if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) break;
            cp = (cp << 6) | (c & 0x3Fu);
        }
        if (length == 0) j = i + 1;
        if (length != 0 && j - i == static_cast<size_t>(length))
            AppendUtf16(out, cp);
        else
            out += static_cast<wchar_t>(0xFFFD);
        i = j;
    }
    return out;
}

std::string Utf16ToUtf8(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        uint32_t cp = static_cast<uint16_t>(text[i]);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n) {
            const uint32_t next = static_cast<uint16_t>(text[i + 1]);
            if (next >= 0xDC00 && next <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (next - 0xDC00);
                ++i;
            }
        }
        if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;
        AppendUtf8(out, cp);
    }
    return out;
}

std::string EscapeJsonString(const std::string& bytes)
{
    std::string out;
    out.reserve(bytes.size() + 8);
    for (const char ch : bytes) {
        const unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
        case 0x09: out += "\\t"; break;
        case 0x0A: out += "\\n"; break;
        case 0x0D: out += "\\r"; break;
        case 0x22: out += "\\\""; break;
        case 0x5C: out += "\\\\"; break;
        default:
            if (c < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                out += buffer;
            } else {
                out += ch;
            }
        }
    }
    return out;
}

void JsonTextWriter::String(const char* key, const std::wstring& value)
{
    members_.push_back("  \"" + std::string(key) + "\": \"" + EscapeJsonString(Utf16ToUtf8(value)) + "\"");
}

void JsonTextWriter::Integer(const char* key, int32_t value)
{
    members_.push_back("  \"" + std::string(key) + "\": " + std::to_string(value));
}

void JsonTextWriter::Bool(const char* key, bool value)
{
    members_.push_back("  \"" + std::string(key) + "\": " + (value ? "true" : "false"));
}

std::string JsonTextWriter::Finish() const
{
    std::string text = "{\n";
    for (size_t i = 0; i < members_.size(); ++i) {
        text += members_[i];
        text += i + 1 < members_.size() ? ",\n" : "\n";
    }
    text += "}\n";
    return text;
}
