#pragma once
// File > Load Rules... and Save Rules As...: rules files through the system's file dialogs.
#include <string>

void LoadRulesCommand();
void SaveRulesCommand();
// What follows the dialogs. Loading sets the controls as a naming preset does and refreshes the
// preview; a file that is not a rules file changes nothing and says why in a box. False when
// nothing was loaded or saved.
bool LoadRulesFromFile(const std::wstring& path);
bool SaveRulesToFile(const std::wstring& path);
