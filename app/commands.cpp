// Menu and control commands of the main window, the menu marks, the folder picker, About.
#include "app/commands.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shobjidl.h>

#include "app/app_state.h"
#include "app/binding.h"
#include "app/controls.h"
#include "app/file_list.h"
#include "app/main_window.h"
#include "app/processing.h"
#include "app/rules_commands.h"
#include "app/theme.h"
#include "app/win_util.h"
#include "engine/path.h"
#include "files/file_order.h"
#include "files/worker.h"

namespace {

std::wstring g_handedOver;  // the latest folder a second start handed over, not opened yet
constexpr UINT_PTR kHandOverTimer = 0x4F48;

// Runs once the code that showed the box has gone on (a batch it started is running then).
void CALLBACK OpenLater(HWND window, UINT, UINT_PTR id, DWORD)
{
    KillTimer(window, id);
    OpenHandedOverFolder();
}

bool IsChecked(HWND button)
{
    return button && SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ToggleAutoSave(int)
{
    g_app.settings.autoSave = !g_app.settings.autoSave;
    UpdateMenuChecks();
    SaveSettings(true);
}

// The preview judges targets anew: with the option, against the folder as the batch leaves it.
void ToggleRenameWithinBatch(int)
{
    g_app.settings.renameWithinBatch = !g_app.settings.renameWithinBatch;
    UpdateMenuChecks();
    RefreshPreview();
    SaveSettings(false);
}

void ToggleDarkTheme(int)
{
    g_app.settings.darkTheme = !g_app.settings.darkTheme;
    CreateUiFont();
    ApplyTheme();
    UpdateMenuChecks();
    if (g_app.statusBar)
        SendMessageW(g_app.statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(g_app.statusBarText.c_str()));
    ApplyAppearanceChange();
}

void SetFontSize(int id)
{
    g_app.settings.fontPt = id == IDM_FONT_15 ? 15 : id == IDM_FONT_12 ? 12 : 9;
    CreateUiFont();
    ApplyTheme();
    UpdateMenuChecks();
    ApplyAppearanceChange();
}

void ShowAbout(int)
{
    DialogBoxParamW(g_app.instance, MAKEINTRESOURCEW(IDD_ABOUT), g_app.mainWindow, AboutDialogProc, 0);
    OnFinished();  // the dialog's own loop may have taken the end of a batch
}

struct MenuCommand {
    int id;
    void (*run)(int id);
};

const MenuCommand kMenuCommands[] = {
    {IDM_REFRESH,
     [](int) {
         ForgetRemovedRows();
         ScanInputDirectory();
     }},
    {IDM_CLEAR_LIST, [](int) { ClearFileList(); }},
    {IDM_LOAD_RULES, [](int) { LoadRulesCommand(); }},
    {IDM_SAVE_RULES, [](int) { SaveRulesCommand(); }},
    {IDM_UNDO_LAST_BATCH, [](int) { StartUndo(); }},
    {IDM_REMOVE_FROM_LIST, [](int) { RemoveSelectedRow(); }},
    {IDM_STOP_BATCH, [](int) { AskToStopBatch(); }},
    // Through WM_CLOSE, so a running batch still refuses.
    {IDM_EXIT, [](int) { PostMessageW(g_app.mainWindow, WM_CLOSE, 0, 0); }},
    {IDM_AUTO_SAVE, ToggleAutoSave},
    {IDM_PRESET_NUMBERS3, ApplyNamingPreset},
    {IDM_PRESET_NUMBERS2, ApplyNamingPreset},
    {IDM_PRESET_LETTERS, ApplyNamingPreset},
    {IDM_PRESET_NONE, ApplyNamingPreset},
    {IDM_RESET_SETTINGS, [](int) { ResetSettings(); }},
    {IDM_DARK_THEME, ToggleDarkTheme},
    {IDM_RENAME_WITHIN_BATCH, ToggleRenameWithinBatch},
    {IDM_FONT_9, SetFontSize},
    {IDM_FONT_12, SetFontSize},
    {IDM_FONT_15, SetFontSize},
    {IDM_ABOUT, ShowAbout},
};

void SetEditText(HWND edit, const std::wstring& text)
{
    if (edit) SetWindowTextW(edit, text.c_str());
}

// A folder chosen by Browse or dropped on the window: shown, followed by the output when it
// follows the input, scanned and saved.
void UseInputFolder(const std::wstring& folder)
{
    g_handedOver.clear();  // the user's own choice is the latest
    SetEditText(g_app.inputEdit, folder);
    if (IsChecked(g_app.sameAsInputCheck) || IsChecked(g_app.modeRename)) SetEditText(g_app.outputEdit, folder);
    ScanInputDirectory();
    SaveSettings(true);
}

void BrowseInput()
{
    std::wstring folder = ReadFolderEdit(g_app.inputEdit);
    if (BrowseForFolder(folder)) UseInputFolder(folder);
}

void BrowseOutput()
{
    std::wstring folder = ReadFolderEdit(g_app.outputEdit);
    if (!BrowseForFolder(folder)) return;
    SetEditText(g_app.outputEdit, folder);
    RefreshPreview();
    SaveSettings(true);
}

void OnComboCommand(int code, HWND combo)
{
    if (code == CBN_DROPDOWN) {
        COMBOBOXINFO info = {};
        info.cbSize = sizeof(info);
        if (combo && GetComboBoxInfo(combo, &info) && info.hwndList) ApplyControlTheme(info.hwndList);
    } else if (code == CBN_SELCHANGE) {
        UpdateControlStates();
        RefreshPreview();
    }
}

// The input edit names the folder to list; a file's path, typed or pasted, stands for its
// folder, as a dropped file does.
void LoadInputEdit()
{
    const std::wstring typed = ReadFolderEdit(g_app.inputEdit);
    const std::wstring folder = FolderOfPath(typed);
    if (folder != typed) {
        UseInputFolder(folder);
    } else {
        ScanInputDirectory();
    }
}

// Enter in a single-line edit reaches the window as IDOK through the dialog navigation.
void OnEnterKey()
{
    HWND focus = GetFocus();
    if (focus && focus == g_app.inputEdit) {
        LoadInputEdit();
    } else if (focus && focus == g_app.outputEdit) {
        RefreshPreview();
    }
}

void HandleControlCommand(int id, int code, HWND control)
{
    switch (id) {
    case kIdInputEdit:
        if (code == EN_KILLFOCUS && !g_app.closing) LoadInputEdit();
        return;
    case IDOK: OnEnterKey(); return;
    case kIdInputBrowse: BrowseInput(); return;
    case kIdOutputBrowse: BrowseOutput(); return;
    case kIdProcess: StartProcessing(); return;
    case kIdFilter:
        if (code == EN_CHANGE && !UpdatingControls()) ApplyFileFilter();
        return;
    }
    const ControlRow* row = FindControl(id);
    if (!row) return;
    if (row->items) {
        OnComboCommand(code, control);
    } else if (row->binding.kind == Bind::Check || row->binding.kind == Bind::Radio) {
        UpdateControlStates();
        RefreshPreview();
    } else if (code == EN_CHANGE && row->replans) {
        RefreshPreview();
    }
}

}  // namespace

void OpenAtFolder(IFileDialog* dialog, const std::wstring& folder)
{
    const DWORD attributes = folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    ComPtr<IShellItem> item;
    if (SUCCEEDED(SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_PPV_ARGS(item.put()))))
        dialog->SetFolder(item.get());
}

void HandleCommand(int id, int code, HWND control)
{
    // While a batch runs only Exit (which still asks WM_CLOSE), Stop Batch and About get through.
    if (g_app.busy && id != IDM_EXIT && id != IDM_STOP_BATCH && id != IDM_ABOUT) return;
    for (const MenuCommand& command : kMenuCommands) {
        if (command.id == id) {
            command.run(id);
            return;
        }
    }
    HandleControlCommand(id, code, control);
}

std::wstring FolderOfPath(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return path;
    const std::wstring folder = FolderOf(path);
    return folder.empty() ? path : folder;
}

bool OnOpenFolderMessage(const COPYDATASTRUCT* data)
{
    if (!data || data->dwData != kOpenFolderCopyData || !data->lpData) return false;
    // Another process wrote this: the size must hold whole UTF-16 units ending in the only null.
    if (data->cbData < 2 * sizeof(wchar_t) || data->cbData % sizeof(wchar_t) != 0 ||
        data->cbData > kMaxHandedOverPath * sizeof(wchar_t))
        return false;
    const wchar_t* text = static_cast<const wchar_t*>(data->lpData);
    const size_t units = data->cbData / sizeof(wchar_t);
    if (text[units - 1] != L'\0' || wcslen(text) != units - 1) return false;
    if (g_app.busy || !g_app.mainWindow) return false;
    g_handedOver = text;
    // A box or dialog over the window (which disables it) keeps the list as it is until it closes.
    if (IsWindowEnabled(g_app.mainWindow)) OpenHandedOverFolder();
    return true;
}

void OnWindowEnabled()
{
    // A timer, not a posted message: a dialog's loop drops the message it takes after its end.
    if (!g_handedOver.empty() && g_app.mainWindow) SetTimer(g_app.mainWindow, kHandOverTimer, 10, OpenLater);
}

void ForgetHandedOverFolder()
{
    g_handedOver.clear();
}

void OpenHandedOverFolder()
{
    if (g_handedOver.empty() || g_app.busy || !g_app.mainWindow || !IsWindowEnabled(g_app.mainWindow)) return;
    const std::wstring path = std::move(g_handedOver);
    g_handedOver.clear();
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        SetStatusText(L"Input directory not found: " + path);
        return;
    }
    UseInputFolder(FolderOfPath(path));
}

void OnDropFiles(HDROP drop)
{
    std::wstring path;
    if (!g_app.busy) {
        const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
        path.resize(length + 1);
        path.resize(DragQueryFileW(drop, 0, path.data(), length + 1));
    }
    DragFinish(drop);
    if (!path.empty()) UseInputFolder(FolderOfPath(path));
}

void UpdateMenuChecks()
{
    HMENU menu = g_app.mainWindow ? GetMenu(g_app.mainWindow) : nullptr;
    if (!menu) return;
    const AppSettings& s = g_app.settings;
    CheckMenuItem(menu, IDM_AUTO_SAVE, MF_BYCOMMAND | (s.autoSave ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, IDM_DARK_THEME, MF_BYCOMMAND | (s.darkTheme ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, IDM_RENAME_WITHIN_BATCH, MF_BYCOMMAND | (s.renameWithinBatch ? MF_CHECKED : MF_UNCHECKED));
    UINT font = s.fontPt >= 15 ? IDM_FONT_15 : s.fontPt >= 12 ? IDM_FONT_12 : IDM_FONT_9;
    CheckMenuRadioItem(menu, IDM_FONT_9, IDM_FONT_15, font, MF_BYCOMMAND);
}

bool RunFileDialog(IFileDialog* dialog, FILEOPENDIALOGOPTIONS add, std::wstring& path)
{
    FILEOPENDIALOGOPTIONS options = 0;
    ComPtr<IShellItem> item;
    PWSTR chosen = nullptr;
    if (FAILED(dialog->GetOptions(&options)) || FAILED(dialog->SetOptions(options | add)) ||
        FAILED(dialog->Show(g_app.mainWindow)) || FAILED(dialog->GetResult(item.put())) ||
        FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &chosen)))
        return false;
    path = chosen;
    CoTaskMemFree(chosen);
    return true;
}

bool BrowseForFolder(std::wstring& path)
{
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(dialog.put()))))
        return false;
    OpenAtFolder(dialog.get(), path);
    return SUCCEEDED(dialog->SetTitle(L"Select folder")) &&
           RunFileDialog(dialog.get(), FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST, path);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, 1);
        return TRUE;
    }
    return FALSE;
}
