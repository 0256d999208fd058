#pragma once
// Rules files (*.oprules): the rule keys of the settings file, alone, in its order and form.
// The window saves and loads them; the command line runs a batch from one.
#include <string>

#include "settings/app_settings.h"

// Whether a settings key is one of the rules (not a folder, the mode, the window or the theme).
bool IsRuleKey(const char* name);

// The text of a rules file: the rule keys of the settings table, written as the settings file
// writes them (a clamped copy).
std::string FormatRulesText(const AppSettings& settings);
// Reads the rule keys of `text` into `target` and clamps it; keys the text lacks keep their
// value, other keys are ignored. On failure `target` is untouched and `reason` says why.
bool ParseRulesText(const std::string& text, AppSettings& target, std::wstring& reason);

// Written like the settings file: a temporary file, then one replacement.
bool WriteRulesFile(const std::wstring& path, const AppSettings& settings);
bool LoadRulesFile(const std::wstring& path, AppSettings& target, std::wstring& reason);
