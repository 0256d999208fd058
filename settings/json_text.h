#pragma once
// The small JSON subset of the settings file: one flat object of strings, integers and booleans.
// Everything here works on an in-memory UTF-8 byte string and a cursor; no file or OS calls.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Byte index into the text. Read operations start at its value and, on success, leave it just
// past what they consumed. After a failure its value is meaningless.
using JsonCursor = uint64_t;

void SkipJsonWhitespace(const std::string& text, JsonCursor& cursor);
bool ReadJsonString(const std::string& text, JsonCursor& cursor, std::string& out);
bool ReadJsonInteger(const std::string& text, JsonCursor& cursor, int64_t& out);
bool ReadJsonBool(const std::string& text, JsonCursor& cursor, bool& out);
// ReadJsonString then Utf8ToUtf16; the target is replaced only on success.
bool ReadJsonWideString(const std::string& text, JsonCursor& cursor, std::wstring& target);
// Reads and discards a string, boolean or integer; anything else fails.
bool SkipJsonValue(const std::string& text, JsonCursor& cursor);

// Called once per member with the unescaped key and the cursor on the value's first byte.
// It reads (or skips) the value and returns whether that succeeded.
using JsonMemberHandler = std::function<bool(const std::string& key, const std::string& text, JsonCursor& cursor)>;
// True when one object was read completely; any failure (including the handler's) aborts it.
bool ReadJsonObject(const std::string& text, const JsonMemberHandler& handler);

// Malformed UTF-8 and unpaired surrogates become U+FFFD.
std::wstring Utf8ToUtf16(const std::string& bytes);
std::string Utf16ToUtf8(const std::wstring& text);
// Escapes UTF-8 bytes for output between double quotes; non-ASCII stays raw.
std::string EscapeJsonString(const std::string& bytes);

// Builds the file text: "{", one "  \"key\": value" line per member, "}", LF line ends.
class JsonTextWriter {
public:
    void String(const char* key, const std::wstring& value);
    void Integer(const char* key, int32_t value);
    void Bool(const char* key, bool value);
    std::string Finish() const;

private:
    std::vector<std::string> members_;
};
