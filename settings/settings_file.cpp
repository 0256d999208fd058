#include "settings/settings_file.h"

#include <algorithm>
#include <type_traits>
#include <utility>

#include "engine/path.h"
#include "settings/json_text.h"
#include "settings/settings_io.h"
#include "settings/settings_keys.h"

namespace {

// Values of the keys older versions wrote; they survive only as far as the migration.
struct LegacyKeys {
    int64_t sequenceType = 0;
    int64_t seqStart = 1;
    int64_t seqStep = 1;
    int64_t seqPad = 3;
    int64_t placement = 0;
    bool sawSequenceType = false;
    bool sawPrefixType = false;
    bool sawSuffixType = false;
};

// Integers keep their low 32 bits (two's complement); the range check comes later.
int32_t Low32(int64_t value)
{
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

}  // namespace

bool ReadSettingField(const std::string& text, JsonCursor& cursor, const SettingField& field)
{
    return std::visit(
        [&](auto* target) {
            using T = std::remove_pointer_t<decltype(target)>;
            if constexpr (std::is_same_v<T, std::wstring>) {
                return ReadJsonWideString(text, cursor, *target);
            } else if constexpr (std::is_same_v<T, bool>) {
                return ReadJsonBool(text, cursor, *target);
            } else {
                int64_t value = 0;
                if (!ReadJsonInteger(text, cursor, value)) return false;
                *target = static_cast<T>(Low32(value));
                return true;
            }
        },
        field);
}

void WriteSettingField(JsonTextWriter& writer, const char* key, const SettingField& field)
{
    std::visit(
        [&](auto* source) {
            using T = std::remove_pointer_t<decltype(source)>;
            if constexpr (std::is_same_v<T, std::wstring>)
                writer.String(key, *source);
            else if constexpr (std::is_same_v<T, bool>)
                writer.Bool(key, *source);
            else
                writer.Integer(key, static_cast<int32_t>(*source));
        },
        field);
}

namespace {

bool ReadLegacyKey(const std::string& key, const std::string& text, JsonCursor& cursor, LegacyKeys& legacy)
{
    struct Row {
        const char* name;
        int64_t LegacyKeys::*value;
    };
    static const Row rows[] = {
        {"sequenceType", &LegacyKeys::sequenceType}, {"seqStart", &LegacyKeys::seqStart},
        {"seqStep", &LegacyKeys::seqStep},           {"seqPad", &LegacyKeys::seqPad},
        {"placement", &LegacyKeys::placement},
    };
    int64_t value = 0;
    if (key == "insertPos") return ReadJsonInteger(text, cursor, value);
    for (const Row& row : rows) {
        if (key != row.name) continue;
        if (!ReadJsonInteger(text, cursor, value)) return false;
        legacy.*row.value = value;
        if (row.value == &LegacyKeys::sequenceType) legacy.sawSequenceType = true;
        return true;
    }
    return SkipJsonValue(text, cursor);
}

bool ReadMember(const std::string& key, const std::string& text, JsonCursor& cursor, AppSettings& work,
                LegacyKeys& legacy)
{
    const SettingKey* entry = FindSettingKey(key);
    if (!entry) return ReadLegacyKey(key, text, cursor, legacy);
    if (!ReadSettingField(text, cursor, entry->field(work))) return false;
    if (key == "winX") work.hasWindowPos = true;
    if (key == "prefixType") legacy.sawPrefixType = true;
    if (key == "suffixType") legacy.sawSuffixType = true;
    return true;
}

// A file from before the prefix and suffix existed had one sequence, placed by "placement".
void MigrateLegacySequence(const LegacyKeys& legacy, AppSettings& work)
{
    if (legacy.sawPrefixType || legacy.sawSuffixType || !legacy.sawSequenceType) return;
    if (Low32(legacy.sequenceType) == 0) return;
    SequenceRule& rule = Low32(legacy.placement) == 1 ? work.rules.suffix : work.rules.prefix;
    rule.type = static_cast<SequenceType>(Low32(legacy.sequenceType));
    rule.start = Low32(legacy.seqStart);
    rule.step = Low32(legacy.seqStep);
    rule.pad = Low32(legacy.seqPad);
}

template <typename E>
void ClampEnum(E& value, int32_t maximum)
{
    const int32_t n = static_cast<int32_t>(value);
    if (n < 0 || n > maximum) value = static_cast<E>(0);
}

void ClampSequence(SequenceRule& rule)
{
    ClampEnum(rule.type, kLastSequenceType);
    rule.start = std::clamp(rule.start, -999999, 999999);
    rule.step = std::clamp(rule.step, 1, 100000);
    rule.pad = std::clamp(rule.pad, 1, 10);
}

int32_t SnapFontPt(int32_t pt)
{
    if (pt <= 10) return 9;
    if (pt <= 13) return 12;
    return 15;
}

}  // namespace

AppSettings DefaultSettings()
{
    return AppSettings{};
}

void ClampSettings(AppSettings& s)
{
    ClampEnum(s.mode, 2);
    ClampSequence(s.rules.prefix);
    ClampSequence(s.rules.suffix);
    ClampEnum(s.rules.caseMode, 3);
    ClampEnum(s.rules.extMode, 2);
    s.fontPt = SnapFontPt(s.fontPt);
    s.winW = std::clamp(s.winW, 640, 20000);
    s.winH = std::clamp(s.winH, 480, 20000);
    if (s.showCmd == 3) s.winMaximized = true;
    for (int32_t* width : {&s.colOrig0, &s.colOrig1, &s.colOrig2, &s.colOrig3, &s.colNew0, &s.colNew1, &s.colNew2}) {
        *width = std::clamp(*width, 0, 5000);
    }
    s.splitPct = std::clamp(s.splitPct, 20, 80);
}

bool ParseSettingsText(const std::string& text, AppSettings& target)
{
    AppSettings work = DefaultSettings();
    LegacyKeys legacy;
    const bool complete = ReadJsonObject(text, [&](const std::string& key, const std::string& t, JsonCursor& cursor) {
        return ReadMember(key, t, cursor, work, legacy);
    });
    if (!complete) return false;
    MigrateLegacySequence(legacy, work);
    ClampSettings(work);
    target = std::move(work);
    return true;
}

std::string FormatSettingsText(const AppSettings& settings)
{
    AppSettings copy = settings;
    ClampSettings(copy);
    JsonTextWriter writer;
    for (const SettingKey& key : kSettingKeys) WriteSettingField(writer, key.name, key.field(copy));
    return writer.Finish();
}

bool LoadSettings(const std::wstring& path, AppSettings& target)
{
    std::string text;
    if (!ReadWholeFile(path, text)) return false;
    return ParseSettingsText(text, target);
}

bool WriteSettingsFile(const std::wstring& path, const AppSettings& settings)
{
    return ReplaceFileContents(path, FormatSettingsText(settings));
}

std::wstring SettingsFilePath()
{
    return JoinPath(GetExeDirectory(), L"settings.json");
}
