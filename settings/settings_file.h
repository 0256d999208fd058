#pragma once
// Defaults, ranges and the "settings.json" file of AppSettings.
#include <string>

#include "settings/app_settings.h"

AppSettings DefaultSettings();
// Brings every field into its valid range, in place.
void ClampSettings(AppSettings& settings);

// Directory of the running executable, without a trailing separator (empty if it has none).
std::wstring GetExeDirectory();
// "settings.json" beside the executable.
std::wstring SettingsFilePath();

// Replaces the target completely on success; on any failure the target is left untouched.
bool LoadSettings(const std::wstring& path, AppSettings& target);
// Writes a clamped copy. The file is replaced in one step, so a failed write leaves the old
// file as it was.
bool WriteSettingsFile(const std::wstring& path, const AppSettings& settings);

// The text halves of the two above, without any file.
bool ParseSettingsText(const std::string& text, AppSettings& target);
std::string FormatSettingsText(const AppSettings& settings);
