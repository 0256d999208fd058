#pragma once
// The one table of settings keys. Reading and writing both walk it, so a key cannot be read
// without also being written, and the file order is the table order.
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

#include "settings/app_settings.h"

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
