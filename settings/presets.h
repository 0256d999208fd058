#pragma once
// The four naming presets of the "Default naming &format" submenu, as data.
#include <cstddef>
#include <cstdint>

#include "settings/app_settings.h"

struct NamingPreset {
    int commandId;  // 40011 ... 40014
    const wchar_t* menuText;
    bool setsPrefix;  // false: prefix and suffix both end up None, nothing else changes
    SequenceType prefixType;
    int32_t start;
    int32_t step;
    int32_t pad;  // 0 keeps the current pad
    const wchar_t* prefixSep;
};

constexpr size_t kNamingPresetCount = 4;
extern const NamingPreset kNamingPresets[kNamingPresetCount];

const NamingPreset* FindNamingPreset(int commandId);
// Sets both sequence types to None and both separators to " - ", then applies the preset.
// Returns false, changing nothing, for an id that is not a preset.
bool ApplyNamingPresetToSettings(int commandId, AppSettings& settings);
