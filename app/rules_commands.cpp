#include "app/rules_commands.h"

#include <windows.h>
#include <shobjidl.h>

#include "app/app_state.h"
#include "app/binding.h"
#include "app/commands.h"
#include "app/file_list.h"
#include "app/main_window.h"
#include "app/win_util.h"
#include "engine/path.h"
#include "settings/rules_file.h"

namespace {

constexpr COMDLG_FILTERSPEC kRulesFileType[] = {{L"Rename rules (*.oprules)", L"*.oprules"}};

// The folder of the last rules file loaded or saved: both dialogs start there.
std::wstring g_lastRulesFolder;

void RememberFolderOf(const std::wstring& path)
{
    const std::wstring folder = FolderOf(path);
    if (!folder.empty()) g_lastRulesFolder = folder;
}

// The path the user chose in a file dialog of rules files; false when cancelled.
bool AskForRulesPath(REFCLSID kind, FILEOPENDIALOGOPTIONS extra, std::wstring& path)
{
    ComPtr<IFileDialog> dialog;
    if (FAILED(CoCreateInstance(kind, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(dialog.put())))) return false;
    OpenAtFolder(dialog.get(), g_lastRulesFolder);
    return SUCCEEDED(dialog->SetFileTypes(1, kRulesFileType)) && SUCCEEDED(dialog->SetDefaultExtension(L"oprules")) &&
           RunFileDialog(dialog.get(), FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | extra, path);
}

}  // namespace

bool LoadRulesFromFile(const std::wstring& path)
{
    ReadControlsIntoSettings();
    AppSettings& settings = g_app.settings;
    const std::wstring filterBefore = settings.fileFilter;
    std::wstring reason;
    if (!LoadRulesFile(path, settings, reason)) {
        const std::wstring text = L"This file is not a rules file: " + reason;
        MessageBoxW(g_app.mainWindow, text.c_str(), kMainWindowTitle, MB_ICONWARNING);
        return false;
    }
    RememberFolderOf(path);
    WriteSettingsToControls();
    UpdateMenuChecks();  // the rules carry "Allow renames within the batch"
    if (settings.fileFilter != filterBefore) {
        ApplyFileFilter();  // other rows of the scan's files, then the preview
    } else {
        RefreshPreview();
    }
    return true;
}

bool SaveRulesToFile(const std::wstring& path)
{
    ReadControlsIntoSettings();
    if (!WriteRulesFile(path, g_app.settings)) {
        MessageBoxW(g_app.mainWindow, L"Could not save the rules file.", kMainWindowTitle, MB_ICONERROR);
        return false;
    }
    RememberFolderOf(path);
    return true;
}

void LoadRulesCommand()
{
    std::wstring path;
    if (AskForRulesPath(CLSID_FileOpenDialog, FOS_FILEMUSTEXIST, path)) LoadRulesFromFile(path);
}

void SaveRulesCommand()
{
    std::wstring path;
    if (AskForRulesPath(CLSID_FileSaveDialog, FOS_OVERWRITEPROMPT, path)) SaveRulesToFile(path);
}
