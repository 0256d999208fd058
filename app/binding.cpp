// Binding of the main window's controls to the settings, enabling rules, and the live preview.
#include "app/binding.h"

#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <cwctype>

#include "app/app_state.h"
#include "app/controls.h"
#include "app/date_reading_window.h"
#include "app/file_list.h"
#include "app/main_window.h"
#include "app/processing.h"
#include "app/win_util.h"
#include "files/batch.h"
#include "files/folder_snapshot.h"
#include "resources/resource.h"
#include "settings/settings_file.h"

namespace {

// Set while the program itself writes controls: their change notifications plan nothing.
bool g_updatingControls = false;

// The control of a bound row; null for rows that are not bound or not created.
HWND BoundControl(const ControlRow& row)
{
    return row.binding.kind != Bind::None && row.handle ? g_app.*row.handle : nullptr;
}

std::wstring WindowText(HWND control)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    const int length = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

std::wstring TrimWhiteSpace(const std::wstring& text)
{
    size_t first = 0, last = text.size();
    while (first < last && iswspace(text[first])) ++first;
    while (last > first && iswspace(text[last - 1])) --last;
    return text.substr(first, last - first);
}

bool Checked(HWND control)
{
    return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int Selection(HWND control)
{
    return static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
}

bool RuleHolds(Enable rule)
{
    switch (rule) {
    case Enable::Always: return true;
    case Enable::OutputDir: return !Checked(g_app.sameAsInputCheck) && !Checked(g_app.modeRename);
    case Enable::SameAsInput: return !Checked(g_app.modeRename);
    case Enable::PrefixSequence: return Selection(g_app.prefixTypeCombo) != 0;
    case Enable::PrefixPad: return Selection(g_app.prefixTypeCombo) == 1;
    case Enable::SuffixSequence: return Selection(g_app.suffixTypeCombo) != 0;
    case Enable::SuffixPad: return Selection(g_app.suffixTypeCombo) == 1;
    case Enable::PrefixCounter: return IsCounterType(static_cast<SequenceType>(Selection(g_app.prefixTypeCombo)));
    case Enable::SuffixCounter: return IsCounterType(static_cast<SequenceType>(Selection(g_app.suffixTypeCombo)));
    case Enable::NewExt: return Selection(g_app.extCombo) == 1;
    case Enable::ReplaceName: return Checked(g_app.replaceEntireCheck);
    case Enable::SearchGroup: return !Checked(g_app.replaceEntireCheck);
    case Enable::HasFiles: return !g_app.files.empty();
    }
    return true;
}

// Copy & Rename wins over Move & Rename; neither checked means Rename in Place.
ProcessMode ReadMode()
{
    if (Checked(g_app.modeCopy)) return ProcessMode::CopyAndRename;
    if (Checked(g_app.modeMove)) return ProcessMode::MoveAndRename;
    return ProcessMode::RenameInPlace;
}

void ReadBinding(const Binding& b, HWND control, AppSettings& s)
{
    switch (b.kind) {
    case Bind::Folder: b.text(s) = ReadFolderEdit(control); break;
    case Bind::Text: b.text(s) = WindowText(control); break;
    case Bind::Number: b.set(s, ParseNumberText(WindowText(control), b.value)); break;
    case Bind::Combo: b.set(s, Selection(control) < 0 ? 0 : Selection(control)); break;
    case Bind::Check: b.set(s, Checked(control) ? 1 : 0); break;
    case Bind::Radio:  // read together by ReadMode
    case Bind::Button:
    case Bind::None: break;
    }
}

void WriteBinding(const Binding& b, HWND control, AppSettings& s)
{
    switch (b.kind) {
    case Bind::Folder:
    case Bind::Text: SetWindowTextW(control, b.text(s).c_str()); break;
    case Bind::Number: SetWindowTextW(control, std::to_wstring(b.get(s)).c_str()); break;
    case Bind::Combo: SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(b.get(s)), 0); break;
    case Bind::Check: SendMessageW(control, BM_SETCHECK, b.get(s) ? BST_CHECKED : BST_UNCHECKED, 0); break;
    case Bind::Radio: SendMessageW(control, BM_SETCHECK, b.get(s) == b.value ? BST_CHECKED : BST_UNCHECKED, 0); break;
    case Bind::Button:
    case Bind::None: break;
    }
}

// Controls are read only while they exist: after the window is gone the handles are stale and
// would read as empty, wiping the settings.
bool ControlsExist()
{
    return g_app.mainWindow && g_app.inputEdit && IsWindow(g_app.inputEdit);
}

void SetTextQuietly(HWND control, const std::wstring& text)
{
    const ScopedFlag quiet(g_updatingControls);
    SetWindowTextW(control, text.c_str());
}

}  // namespace

// Explorer's "Copy as path" quotes the path; a path never holds a double quote, so one pair
// around the text is the quoting, not part of the name.
std::wstring ReadFolderEdit(HWND edit)
{
    std::wstring text = TrimWhiteSpace(WindowText(edit));
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') text = text.substr(1, text.size() - 2);
    return text;
}

int ParseNumberText(const std::wstring& text, int fallback)
{
    const wchar_t* begin = text.c_str();
    wchar_t* end = nullptr;
    const long value = std::wcstol(begin, &end, 10);
    return end == begin ? fallback : static_cast<int>(value);
}

void ReadControlsIntoSettings()
{
    if (!ControlsExist()) return;
    AppSettings& s = g_app.settings;
    for (const ControlRow& row : ControlTable()) {
        if (HWND control = BoundControl(row)) ReadBinding(row.binding, control, s);
    }
    s.mode = ReadMode();
    ClampSettings(s);
}

void WriteSettingsToControls()
{
    if (!ControlsExist()) return;
    {
        const ScopedFlag quiet(g_updatingControls);
        for (const ControlRow& row : ControlTable()) {
            if (HWND control = BoundControl(row)) WriteBinding(row.binding, control, g_app.settings);
        }
    }
    UpdateControlStates();
}

void UpdateControlStates()
{
    for (const ControlRow& row : ControlTable()) {
        if (HWND control = BoundControl(row)) EnableWindow(control, !g_app.busy && RuleHolds(row.binding.enable));
    }
    UpdateFileMenu();
}

void UpdateFileMenu()
{
    HMENU menu = g_app.mainWindow ? GetMenu(g_app.mainWindow) : nullptr;
    if (!menu) return;
    EnableMenuItem(menu, IDM_UNDO_LAST_BATCH, MF_BYCOMMAND | (CanUndoLastBatch() ? MF_ENABLED : MF_GRAYED));
    const bool canRemove = !g_app.busy && SelectedRow() >= 0;
    EnableMenuItem(menu, IDM_REMOVE_FROM_LIST, MF_BYCOMMAND | (canRemove ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, IDM_STOP_BATCH, MF_BYCOMMAND | (g_app.busy ? MF_ENABLED : MF_GRAYED));
    // They do nothing during a batch, and a rules file loaded then would change the rules under it.
    for (const UINT idle : {IDM_REFRESH, IDM_CLEAR_LIST, IDM_LOAD_RULES, IDM_SAVE_RULES})
        EnableMenuItem(menu, idle, MF_BYCOMMAND | (g_app.busy ? MF_GRAYED : MF_ENABLED));
}

bool UpdatingControls()
{
    return g_updatingControls;
}

void RefreshPreview()
{
    if (g_updatingControls) return;
    ReadControlsIntoSettings();
    AppSettings& s = g_app.settings;
    if (s.sameAsInput || s.mode == ProcessMode::RenameInPlace) {
        s.outputDir = s.inputDir;
        if (g_app.outputEdit && WindowText(g_app.outputEdit) != s.outputDir)
            SetTextQuietly(g_app.outputEdit, s.outputDir);
    }
    PrepareDatesTaken();
    PlanPreview(g_app.files, s, TargetsExist);
    SetBothItemCounts(static_cast<int>(g_app.files.size()), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    InvalidateBothLists(FALSE);
    UpdateStatusCounts();
    UpdateControlStates();
    SaveSettings(false);
}

void UpdateStatusCounts()
{
    g_app.statusBarText = StatusCountsLine(g_app.files, g_app.hiddenByFilter, g_app.removedRows, &g_app.settings.rules);
    const std::wstring reading = DatesTakenStatusText();
    if (!reading.empty()) g_app.statusBarText = reading;
    if (g_app.statusBar)
        SendMessageW(g_app.statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(g_app.statusBarText.c_str()));
}
