// Binding of the main window's controls to the settings, enabling rules, and the live preview.
#include "app/binding.h"

#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <cwctype>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/win_util.h"
#include "files/folder_snapshot.h"
#include "settings/settings_file.h"

namespace {

enum class Kind { None, Folder, Text, Number, Combo, Check, Radio };

// When a control is enabled (always also: no batch is running).
enum class Enable {
    Always,
    OutputDir,       // "Same as input directory" and "Rename in Place" both unchecked
    SameAsInput,     // "Rename in Place" unchecked
    PrefixSequence,  // prefix type is not None
    PrefixPad,       // prefix type is Numbers
    SuffixSequence,
    SuffixPad,
    NewExt,          // extension mode is Change
    ReplaceName,     // "Replace entire name with:" checked
    SearchGroup,     // "Replace entire name with:" unchecked
    HasFiles,
};

using TextField = std::wstring& (*)(AppSettings&);
using GetInt = int32_t (*)(const AppSettings&);
using SetInt = void (*)(AppSettings&, int32_t);

struct Binding {
    HWND AppState::*control;
    Kind kind;
    Enable enable;
    int32_t value;  // Number: the value of an edit without digits; Radio: the mode it selects
    TextField text = nullptr;
    GetInt get = nullptr;
    SetInt set = nullptr;
};

// clang-format off
const Binding kBindings[] = {
    {&AppState::inputEdit, Kind::Folder, Enable::Always, 0,
     [](AppSettings& s) -> std::wstring& { return s.inputDir; }},
    {&AppState::inputBrowse, Kind::None, Enable::Always, 0},
    {&AppState::outputEdit, Kind::Folder, Enable::OutputDir, 0,
     [](AppSettings& s) -> std::wstring& { return s.outputDir; }},
    {&AppState::outputBrowse, Kind::None, Enable::OutputDir, 0},
    {&AppState::sameAsInputCheck, Kind::Check, Enable::SameAsInput, 0, nullptr,
     [](const AppSettings& s) -> int32_t { return s.sameAsInput; },
     [](AppSettings& s, int32_t v) { s.sameAsInput = v != 0; }},
    {&AppState::modeRename, Kind::Radio, Enable::Always, 0, nullptr,
     [](const AppSettings& s) { return static_cast<int32_t>(s.mode); }},
    {&AppState::modeCopy, Kind::Radio, Enable::Always, 1, nullptr,
     [](const AppSettings& s) { return static_cast<int32_t>(s.mode); }},
    {&AppState::modeMove, Kind::Radio, Enable::Always, 2, nullptr,
     [](const AppSettings& s) { return static_cast<int32_t>(s.mode); }},
    {&AppState::prefixTypeCombo, Kind::Combo, Enable::Always, 0, nullptr,
     [](const AppSettings& s) { return static_cast<int32_t>(s.rules.prefix.type); },
     [](AppSettings& s, int32_t v) { s.rules.prefix.type = static_cast<SequenceType>(v); }},
    {&AppState::prefixStartEdit, Kind::Number, Enable::PrefixSequence, 1, nullptr,
     [](const AppSettings& s) { return s.rules.prefix.start; },
     [](AppSettings& s, int32_t v) { s.rules.prefix.start = v; }},
    {&AppState::prefixStepEdit, Kind::Number, Enable::PrefixSequence, 1, nullptr,
     [](const AppSettings& s) { return s.rules.prefix.step; },
     [](AppSettings& s, int32_t v) { s.rules.prefix.step = v; }},
    {&AppState::prefixPadEdit, Kind::Number, Enable::PrefixPad, 3, nullptr,
     [](const AppSettings& s) { return s.rules.prefix.pad; },
     [](AppSettings& s, int32_t v) { s.rules.prefix.pad = v; }},
    {&AppState::prefixSepEdit, Kind::Text, Enable::PrefixSequence, 0,
     [](AppSettings& s) -> std::wstring& { return s.rules.prefix.sep; }},
    {&AppState::replaceEntireCheck, Kind::Check, Enable::Always, 0, nullptr,
     [](const AppSettings& s) -> int32_t { return s.rules.replaceEntireName; },
     [](AppSettings& s, int32_t v) { s.rules.replaceEntireName = v != 0; }},
    {&AppState::replaceNameEdit, Kind::Text, Enable::ReplaceName, 0,
     [](AppSettings& s) -> std::wstring& { return s.rules.replaceName; }},
    {&AppState::suffixTypeCombo, Kind::Combo, Enable::Always, 0, nullptr,
     [](const AppSettings& s) { return static_cast<int32_t>(s.rules.suffix.type); },
     [](AppSettings& s, int32_t v) { s.rules.suffix.type = static_cast<SequenceType>(v); }},
    {&AppState::suffixStartEdit, Kind::Number, Enable::SuffixSequence, 1, nullptr,
     [](const AppSettings& s) { return s.rules.suffix.start; },
     [](AppSettings& s, int32_t v) { s.rules.suffix.start = v; }},
    {&AppState::suffixStepEdit, Kind::Number, Enable::SuffixSequence, 1, nullptr,
     [](const AppSettings& s) { return s.rules.suffix.step; },
     [](AppSettings& s, int32_t v) { s.rules.suffix.step = v; }},
    {&AppState::suffixPadEdit, Kind::Number, Enable::SuffixPad, 3, nullptr,
     [](const AppSettings& s) { return s.rules.suffix.pad; },
     [](AppSettings& s, int32_t v) { s.rules.suffix.pad = v; }},
    {&AppState::suffixSepEdit, Kind::Text, Enable::SuffixSequence, 0,
     [](AppSettings& s) -> std::wstring& { return s.rules.suffix.sep; }},
    {&AppState::searchEdit, Kind::Text, Enable::SearchGroup, 0,
     [](AppSettings& s) -> std::wstring& { return s.rules.search; }},
    {&AppState::replaceEdit, Kind::Text, Enable::SearchGroup, 0,
     [](AppSettings& s) -> std::wstring& { return s.rules.replace; }},
    {&AppState::removeCharsEdit, Kind::Text, Enable::SearchGroup, 0,
     [](AppSettings& s) -> std::wstring& { return s.rules.removeChars; }},
    {&AppState::caseCombo, Kind::Combo, Enable::Always, 0, nullptr,
     [](const AppSettings& s) { return static_cast<int32_t>(s.rules.caseMode); },
     [](AppSettings& s, int32_t v) { s.rules.caseMode = static_cast<CaseMode>(v); }},
    {&AppState::extCombo, Kind::Combo, Enable::Always, 0, nullptr,
     [](const AppSettings& s) { return static_cast<int32_t>(s.rules.extMode); },
     [](AppSettings& s, int32_t v) { s.rules.extMode = static_cast<ExtMode>(v); }},
    {&AppState::newExtEdit, Kind::Text, Enable::NewExt, 0,
     [](AppSettings& s) -> std::wstring& { return s.rules.newExt; }},
    {&AppState::processButton, Kind::None, Enable::HasFiles, 0},
};
// clang-format on

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
    case Kind::Folder: b.text(s) = ReadFolderEdit(control); break;
    case Kind::Text: b.text(s) = WindowText(control); break;
    case Kind::Number: b.set(s, ParseNumberText(WindowText(control), b.value)); break;
    case Kind::Combo: b.set(s, Selection(control) < 0 ? 0 : Selection(control)); break;
    case Kind::Check: b.set(s, Checked(control) ? 1 : 0); break;
    case Kind::Radio:  // read together by ReadMode
    case Kind::None: break;
    }
}

void WriteBinding(const Binding& b, HWND control, AppSettings& s)
{
    switch (b.kind) {
    case Kind::Folder:
    case Kind::Text: SetWindowTextW(control, b.text(s).c_str()); break;
    case Kind::Number: SetWindowTextW(control, std::to_wstring(b.get(s)).c_str()); break;
    case Kind::Combo: SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(b.get(s)), 0); break;
    case Kind::Check: SendMessageW(control, BM_SETCHECK, b.get(s) ? BST_CHECKED : BST_UNCHECKED, 0); break;
    case Kind::Radio:
        SendMessageW(control, BM_SETCHECK, b.get(s) == b.value ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case Kind::None: break;
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
    const ScopedFlag quiet(g_app.updatingControls);
    SetWindowTextW(control, text.c_str());
}

}  // namespace

// Explorer's "Copy as path" quotes the path; a path never holds a double quote, so one pair
// around the text is the quoting, not part of the name.
std::wstring ReadFolderEdit(HWND edit)
{
    std::wstring text = TrimWhiteSpace(WindowText(edit));
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"')
        text = text.substr(1, text.size() - 2);
    return text;
}

int ParseNumberText(const std::wstring& text, int fallback)
{
    const wchar_t* begin = text.c_str();
    wchar_t* end = nullptr;
    const long value = std::wcstol(begin, &end, 10);
    return end == begin ? fallback : static_cast<int>(value);
}

std::wstring StatusCountsText(size_t total, int ready, int unchanged, int conflicts)
{
    wchar_t buffer[256];
    std::swprintf(buffer, 256, L"Files: %llu  |  Ready: %d  |  Unchanged: %d  |  Conflicts: %d",
                  static_cast<unsigned long long>(total), ready, unchanged, conflicts);
    return buffer;
}

void ReadControlsIntoSettings()
{
    if (!ControlsExist()) return;
    AppSettings& s = g_app.settings;
    for (const Binding& b : kBindings) {
        if (HWND control = g_app.*b.control) ReadBinding(b, control, s);
    }
    s.mode = ReadMode();
    ClampSettings(s);
}

void WriteSettingsToControls()
{
    if (!ControlsExist()) return;
    {
        const ScopedFlag quiet(g_app.updatingControls);
        for (const Binding& b : kBindings) {
            if (HWND control = g_app.*b.control) WriteBinding(b, control, g_app.settings);
        }
    }
    UpdateControlStates();
}

void UpdateControlStates()
{
    for (const Binding& b : kBindings) {
        if (HWND control = g_app.*b.control) EnableWindow(control, !g_app.busy && RuleHolds(b.enable));
    }
}

void RefreshPreview()
{
    if (g_app.updatingControls) return;
    ReadControlsIntoSettings();
    AppSettings& s = g_app.settings;
    if (s.sameAsInput || s.mode == ProcessMode::RenameInPlace) {
        s.outputDir = s.inputDir;
        if (g_app.outputEdit && WindowText(g_app.outputEdit) != s.outputDir)
            SetTextQuietly(g_app.outputEdit, s.outputDir);
    }
    PlanPreview(g_app.files, s, TargetsExist);
    for (HWND list : {g_app.listOriginal, g_app.listNew}) {
        if (!list) continue;
        SendMessageW(list, LVM_SETITEMCOUNT, g_app.files.size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
        InvalidateRect(list, nullptr, FALSE);
    }
    UpdateStatusCounts();
    UpdateControlStates();
    SaveSettings(false);
}

void UpdateStatusCounts()
{
    int ready = 0, unchanged = 0, conflicts = 0;
    for (const FileEntry& row : g_app.files) {
        if (row.status == ItemStatus::Ready) ++ready;
        else if (row.status == ItemStatus::Unchanged) ++unchanged;
        else if (IsConflict(row.status)) ++conflicts;
    }
    g_app.statusBarText = StatusCountsText(g_app.files.size(), ready, unchanged, conflicts);
    if (g_app.statusBar)
        SendMessageW(g_app.statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(g_app.statusBarText.c_str()));
}
