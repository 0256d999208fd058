// Creation of the main window's child controls from one table.
#include "app/controls.h"

#include <commctrl.h>

#include "app/app_state.h"
#include "app/cell_tips.h"
#include "app/list_views.h"
#include "app/splitter.h"
#include "app/theme.h"

const wchar_t* const kSequenceItems[] = {L"None",
                                         L"Numbers (001, 002)",
                                         L"Letters (A, B, AA)",
                                         L"Date (2024-05-17)",
                                         L"Date and time (2024-05-17 13.45.10)",
                                         L"Date taken (2024-05-17)",
                                         L"Date and time taken (2024-05-17 13.45.10)",
                                         nullptr};
const wchar_t* const kCaseItems[] = {L"No change", L"UPPERCASE", L"lowercase", L"Title Case", nullptr};
const wchar_t* const kExtItems[] = {L"Preserve", L"Change", L"Lowercase", nullptr};

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
// Centred in its row, so a label's text sits level with the text of the edit beside it.
constexpr DWORD kLabel = kChild | SS_LEFT | SS_CENTERIMAGE;
// A heading keeps its text at the top of its row; only a label beside an edit is centred on it.
constexpr DWORD kHeading = kChild | SS_LEFT;
constexpr DWORD kEdit = kChild | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kNumber = kEdit | ES_NUMBER;
constexpr DWORD kCombo = kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kCheck = kChild | BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kRadio = kChild | BS_AUTORADIOBUTTON | WS_TABSTOP;
constexpr DWORD kPush = kChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kList =
    kChild | LVS_REPORT | LVS_SINGLESEL | LVS_SHAREIMAGELISTS | LVS_OWNERDATA | WS_BORDER | WS_TABSTOP;
constexpr DWORD kSunken = WS_EX_CLIENTEDGE;

// One row per control holds everything about it. A new control needs its ID (controls.h), its
// row here in reading order (the rows' order is the Tab order), its place in its layout row
// (layout_rows.cpp) and, when the program reads it, an AppState
// handle; a bound value also needs its settings key (settings/settings_keys.cpp). A new enabling
// rule is a value of `Enable` and its case in RuleHolds (binding.cpp); a new command of a control
// goes to HandleControlCommand (commands.cpp).
// clang-format off
const ControlRow kControls[] = {
    {kIdHeadingMode, L"STATIC", L"Processing action", kHeading, 0},
    {kIdModeRename, L"BUTTON", L"Rename in Place", kRadio | WS_GROUP, 0, &AppState::modeRename,
     {Bind::Radio, Enable::Always, 0, nullptr, [](const AppSettings& s) { return static_cast<int32_t>(s.mode); }}},
    {kIdModeCopy, L"BUTTON", L"Copy && Rename", kRadio, 0, &AppState::modeCopy,
     {Bind::Radio, Enable::Always, 1, nullptr, [](const AppSettings& s) { return static_cast<int32_t>(s.mode); }}},
    {kIdModeMove, L"BUTTON", L"Move && Rename", kRadio, 0, &AppState::modeMove,
     {Bind::Radio, Enable::Always, 2, nullptr, [](const AppSettings& s) { return static_cast<int32_t>(s.mode); }}},
    // Read on every change, but it chooses rows from the last scan instead of re-planning them.
    {kIdFilterLabel, L"STATIC", L"Only files matching", kLabel, 0},
    {kIdFilter, L"EDIT", L"", kEdit, kSunken, &AppState::filterEdit,
     {Bind::Text, Enable::Always, 0, [](AppSettings& s) -> std::wstring& { return s.fileFilter; }}},
    {kIdHeadingDirs, L"STATIC", L"Directories", kHeading, 0},
    {kIdInputLabel, L"STATIC", L"Input directory", kLabel, 0},
    // Read when it loses the focus, not on every change.
    {kIdInputEdit, L"EDIT", L"", kEdit, kSunken, &AppState::inputEdit,
     {Bind::Folder, Enable::Always, 0, [](AppSettings& s) -> std::wstring& { return s.inputDir; }}},
    {kIdInputBrowse, L"BUTTON", L"Browse...", kPush, 0, &AppState::inputBrowse, {Bind::Button, Enable::Always}},
    {kIdOutputLabel, L"STATIC", L"Output directory", kLabel, 0},
    {kIdOutputEdit, L"EDIT", L"", kEdit, kSunken, &AppState::outputEdit,
     {Bind::Folder, Enable::OutputDir, 0, [](AppSettings& s) -> std::wstring& { return s.outputDir; }}, nullptr, true},
    {kIdOutputBrowse, L"BUTTON", L"Browse...", kPush, 0, &AppState::outputBrowse, {Bind::Button, Enable::OutputDir}},
    {kIdSameAsInput, L"BUTTON", L"Same as input directory", kCheck, 0, &AppState::sameAsInputCheck,
     {Bind::Check, Enable::SameAsInput, 0, nullptr,
      [](const AppSettings& s) -> int32_t { return s.sameAsInput; },
      [](AppSettings& s, int32_t v) { s.sameAsInput = v != 0; }}},
    {kIdHeadingRules, L"STATIC", L"Renaming rules", kHeading, 0},
    {kIdPrefixLabel, L"STATIC", L"Prefix", kLabel, 0},
    {kIdPrefixType, L"COMBOBOX", L"", kCombo, 0, &AppState::prefixTypeCombo,
     {Bind::Combo, Enable::Always, 0, nullptr,
      [](const AppSettings& s) { return static_cast<int32_t>(s.rules.prefix.type); },
      [](AppSettings& s, int32_t v) { s.rules.prefix.type = static_cast<SequenceType>(v); }},
     kSequenceItems},
    {kIdPrefixStartLabel, L"STATIC", L"Start", kLabel, 0},
    {kIdPrefixStart, L"EDIT", L"1", kNumber, kSunken, &AppState::prefixStartEdit,
     {Bind::Number, Enable::PrefixCounter, 1, nullptr,
      [](const AppSettings& s) { return s.rules.prefix.start; },
      [](AppSettings& s, int32_t v) { s.rules.prefix.start = v; }}, nullptr, true},
    {kIdPrefixStepLabel, L"STATIC", L"Step", kLabel, 0},
    {kIdPrefixStep, L"EDIT", L"1", kNumber, kSunken, &AppState::prefixStepEdit,
     {Bind::Number, Enable::PrefixCounter, 1, nullptr,
      [](const AppSettings& s) { return s.rules.prefix.step; },
      [](AppSettings& s, int32_t v) { s.rules.prefix.step = v; }}, nullptr, true},
    {kIdPrefixPadLabel, L"STATIC", L"Pad", kLabel, 0},
    {kIdPrefixPad, L"EDIT", L"3", kNumber, kSunken, &AppState::prefixPadEdit,
     {Bind::Number, Enable::PrefixPad, 3, nullptr,
      [](const AppSettings& s) { return s.rules.prefix.pad; },
      [](AppSettings& s, int32_t v) { s.rules.prefix.pad = v; }}, nullptr, true},
    {kIdPrefixSepLabel, L"STATIC", L"Separator", kLabel, 0},
    {kIdPrefixSep, L"EDIT", L" - ", kEdit, kSunken, &AppState::prefixSepEdit,
     {Bind::Text, Enable::PrefixSequence, 0, [](AppSettings& s) -> std::wstring& { return s.rules.prefix.sep; }},
     nullptr, true},
    {kIdReplaceEntire, L"BUTTON", L"Replace entire name with:", kCheck, 0, &AppState::replaceEntireCheck,
     {Bind::Check, Enable::Always, 0, nullptr,
      [](const AppSettings& s) -> int32_t { return s.rules.replaceEntireName; },
      [](AppSettings& s, int32_t v) { s.rules.replaceEntireName = v != 0; }}},
    {kIdReplaceName, L"EDIT", L"", kEdit, kSunken, &AppState::replaceNameEdit,
     {Bind::Text, Enable::ReplaceName, 0, [](AppSettings& s) -> std::wstring& { return s.rules.replaceName; }},
     nullptr, true},
    {kIdSuffixLabel, L"STATIC", L"Suffix", kLabel, 0},
    {kIdSuffixType, L"COMBOBOX", L"", kCombo, 0, &AppState::suffixTypeCombo,
     {Bind::Combo, Enable::Always, 0, nullptr,
      [](const AppSettings& s) { return static_cast<int32_t>(s.rules.suffix.type); },
      [](AppSettings& s, int32_t v) { s.rules.suffix.type = static_cast<SequenceType>(v); }},
     kSequenceItems},
    {kIdSuffixStartLabel, L"STATIC", L"Start", kLabel, 0},
    {kIdSuffixStart, L"EDIT", L"1", kNumber, kSunken, &AppState::suffixStartEdit,
     {Bind::Number, Enable::SuffixCounter, 1, nullptr,
      [](const AppSettings& s) { return s.rules.suffix.start; },
      [](AppSettings& s, int32_t v) { s.rules.suffix.start = v; }}, nullptr, true},
    {kIdSuffixStepLabel, L"STATIC", L"Step", kLabel, 0},
    {kIdSuffixStep, L"EDIT", L"1", kNumber, kSunken, &AppState::suffixStepEdit,
     {Bind::Number, Enable::SuffixCounter, 1, nullptr,
      [](const AppSettings& s) { return s.rules.suffix.step; },
      [](AppSettings& s, int32_t v) { s.rules.suffix.step = v; }}, nullptr, true},
    {kIdSuffixPadLabel, L"STATIC", L"Pad", kLabel, 0},
    {kIdSuffixPad, L"EDIT", L"3", kNumber, kSunken, &AppState::suffixPadEdit,
     {Bind::Number, Enable::SuffixPad, 3, nullptr,
      [](const AppSettings& s) { return s.rules.suffix.pad; },
      [](AppSettings& s, int32_t v) { s.rules.suffix.pad = v; }}, nullptr, true},
    {kIdSuffixSepLabel, L"STATIC", L"Separator", kLabel, 0},
    {kIdSuffixSep, L"EDIT", L" - ", kEdit, kSunken, &AppState::suffixSepEdit,
     {Bind::Text, Enable::SuffixSequence, 0, [](AppSettings& s) -> std::wstring& { return s.rules.suffix.sep; }},
     nullptr, true},
    {kIdSearchLabel, L"STATIC", L"Search", kLabel, 0},
    {kIdSearch, L"EDIT", L"", kEdit, kSunken, &AppState::searchEdit,
     {Bind::Text, Enable::SearchGroup, 0, [](AppSettings& s) -> std::wstring& { return s.rules.search; }},
     nullptr, true},
    {kIdReplaceLabel, L"STATIC", L"Replace", kLabel, 0},
    {kIdReplace, L"EDIT", L"", kEdit, kSunken, &AppState::replaceEdit,
     {Bind::Text, Enable::SearchGroup, 0, [](AppSettings& s) -> std::wstring& { return s.rules.replace; }},
     nullptr, true},
    {kIdRemoveLabel, L"STATIC", L"Remove chars", kLabel, 0},
    {kIdRemoveChars, L"EDIT", L"", kEdit, kSunken, &AppState::removeCharsEdit,
     {Bind::Text, Enable::SearchGroup, 0, [](AppSettings& s) -> std::wstring& { return s.rules.removeChars; }},
     nullptr, true},
    {kIdSearchRegex, L"BUTTON", L"Regular expression", kCheck, 0, &AppState::searchRegexCheck,
     {Bind::Check, Enable::SearchGroup, 0, nullptr,
      [](const AppSettings& s) -> int32_t { return s.rules.searchRegex; },
      [](AppSettings& s, int32_t v) { s.rules.searchRegex = v != 0; }}},
    {kIdCaseLabel, L"STATIC", L"Case", kLabel, 0},
    {kIdCaseCombo, L"COMBOBOX", L"", kCombo, 0, &AppState::caseCombo,
     {Bind::Combo, Enable::Always, 0, nullptr,
      [](const AppSettings& s) { return static_cast<int32_t>(s.rules.caseMode); },
      [](AppSettings& s, int32_t v) { s.rules.caseMode = static_cast<CaseMode>(v); }},
     kCaseItems},
    {kIdExtLabel, L"STATIC", L"Extension", kLabel, 0},
    {kIdExtCombo, L"COMBOBOX", L"", kCombo, 0, &AppState::extCombo,
     {Bind::Combo, Enable::Always, 0, nullptr,
      [](const AppSettings& s) { return static_cast<int32_t>(s.rules.extMode); },
      [](AppSettings& s, int32_t v) { s.rules.extMode = static_cast<ExtMode>(v); }},
     kExtItems},
    {kIdNewExtLabel, L"STATIC", L"New ext", kLabel, 0},
    {kIdNewExt, L"EDIT", L"", kEdit, kSunken, &AppState::newExtEdit,
     {Bind::Text, Enable::NewExt, 0, [](AppSettings& s) -> std::wstring& { return s.rules.newExt; }}, nullptr, true},
    // Hidden until the rules no longer fit above the lists.
    {kIdRuleScroll, L"SCROLLBAR", L"", WS_CHILD | WS_CLIPSIBLINGS | SBS_VERT, 0},
    {kIdHeadingPreview, L"STATIC", L"Preview", kHeading, 0},
    // The list headings share the panes' width, which the splitter can make narrower than the
    // text: one line with an ellipsis, never a half-hidden second line.
    {kIdOriginalHeading, L"STATIC", L"Original file names", kHeading | SS_ENDELLIPSIS, 0},
    {kIdListOriginal, WC_LISTVIEWW, L"", kList, kSunken, &AppState::listOriginal},
    {kIdSplitter, L"STATIC", L"", kChild | SS_NOTIFY, 0, &AppState::splitter},
    {kIdNewHeading, L"STATIC", L"New / preview names", kHeading | SS_ENDELLIPSIS, 0},
    {kIdListNew, WC_LISTVIEWW, L"", kList, kSunken, &AppState::listNew},
    {kIdProcess, L"BUTTON", L"Process", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, &AppState::processButton,
     {Bind::Button, Enable::HasFiles}},
    // The status bar sizes itself; clipping siblings is not wanted for it.
    {kIdStatusBar, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, &AppState::statusBar},
};
// clang-format on

HINSTANCE ModuleInstance()
{
    return g_app.instance ? g_app.instance : GetModuleHandleW(nullptr);
}

}  // namespace

std::span<const ControlRow> ControlTable()
{
    return kControls;
}

const ControlRow* FindControl(int id)
{
    for (const ControlRow& row : kControls) {
        if (row.id == id) return &row;
    }
    return nullptr;
}

HWND ControlById(int id)
{
    return g_app.mainWindow ? GetDlgItem(g_app.mainWindow, id) : nullptr;
}

void CreateControls()
{
    HINSTANCE instance = ModuleInstance();
    for (const ControlRow& row : kControls) {
        HWND control = CreateWindowExW(row.exStyle, row.className, row.text, row.style, 0, 0, 0, 0, g_app.mainWindow,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance, nullptr);
        if (row.handle) g_app.*row.handle = control;
        for (const wchar_t* const* item = row.items; item && *item; ++item)
            SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(*item));
    }
    InsertListColumns(g_app.listOriginal, true);
    InsertListColumns(g_app.listNew, false);
    SetWindowSubclass(g_app.listOriginal, ListSubclassProc, kSubclassListOriginal, 0);
    SetWindowSubclass(g_app.listNew, ListSubclassProc, kSubclassListNew, 0);
    for (HWND list : {g_app.listOriginal, g_app.listNew}) CreateCellTip(list);
    SetWindowSubclass(g_app.splitter, SplitterProc, kSubclassSplitter, 0);
    CreateUiFont();
    ApplyTheme();
}
