#include "settings/presets.h"

const NamingPreset kNamingPresets[kNamingPresetCount] = {
    {40011, L"Sequential (001, 002, ...)", true, SequenceType::Numbers, 1, 1, 3, L""},
    {40012, L"Sequential (01, 02, ...)", true, SequenceType::Numbers, 1, 1, 2, L""},
    {40013, L"Alphabetical prefix (A - name)", true, SequenceType::Letters, 1, 1, 0, L" - "},
    {40014, L"None (search/replace only)", false, SequenceType::None, 0, 0, 0, L" - "},
};

const NamingPreset* FindNamingPreset(int commandId)
{
    for (const NamingPreset& preset : kNamingPresets) {
        if (preset.commandId == commandId) return &preset;
    }
    return nullptr;
}

bool ApplyNamingPresetToSettings(int commandId, AppSettings& settings)
{
    const NamingPreset* preset = FindNamingPreset(commandId);
    if (!preset) return false;
    RenameRules& rules = settings.rules;
    rules.prefix.type = SequenceType::None;
    rules.suffix.type = SequenceType::None;
    rules.prefix.sep = L" - ";
    rules.suffix.sep = L" - ";
    if (!preset->setsPrefix) return true;
    rules.prefix.type = preset->prefixType;
    rules.prefix.start = preset->start;
    rules.prefix.step = preset->step;
    if (preset->pad != 0) rules.prefix.pad = preset->pad;
    rules.prefix.sep = preset->prefixSep;
    return true;
}
