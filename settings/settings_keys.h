#pragma once
// The one table of settings keys. Reading and writing both walk it, so a key cannot be read
// without also being written, and the file order is the table order.
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

#include "settings/app_settings.h"
#include "settings/json_text.h"

// Where a key's value lives; the alternative decides how it is read and written.
using SettingField = std::variant<std::wstring*, bool*, int32_t*, ProcessMode*, SequenceType*, CaseMode*, ExtMode*>;

struct SettingKey {
    const char* name;
    SettingField (*field)(AppSettings& settings);
};

constexpr size_t kSettingKeyCount = 43;
extern const SettingKey kSettingKeys[kSettingKeyCount];

// Null when the name is not a current key (legacy and unknown keys).
const SettingKey* FindSettingKey(const std::string& name);

// One value of the file into its field; a value of the wrong kind fails. Integers keep their low
// 32 bits (two's complement); the range check comes later.
bool ReadSettingField(const std::string& text, JsonCursor& cursor, const SettingField& field);
void WriteSettingField(JsonTextWriter& writer, const char* key, const SettingField& field);
