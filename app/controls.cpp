// Creation of the main window's child controls from one table.
#include "app/controls.h"

#include <commctrl.h>

#include "app/app_state.h"
#include "app/list_views.h"
#include "app/splitter.h"
#include "app/theme.h"

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kLabel = kChild | SS_LEFT;
constexpr DWORD kEdit = kChild | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kNumber = kEdit | ES_NUMBER;
constexpr DWORD kCombo = kChild | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kCheck = kChild | BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kRadio = kChild | BS_AUTORADIOBUTTON | WS_TABSTOP;
constexpr DWORD kPush = kChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kList = kChild | LVS_REPORT | LVS_SINGLESEL | LVS_SHAREIMAGELISTS | LVS_OWNERDATA |
                        WS_BORDER | WS_TABSTOP;
constexpr DWORD kSunken = WS_EX_CLIENTEDGE;

struct ControlRow {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;  // complete style
    DWORD exStyle;
    HWND AppState::*handle;  // null: reached by ID only
};

// Creation order is also the initial Tab order.
const ControlRow kControls[] = {
    {kIdHeadingMode, L"STATIC", L"Processing action", kLabel, 0, nullptr},
    {kIdModeRename, L"BUTTON", L"Rename in Place", kRadio | WS_GROUP, 0, &AppState::modeRename},
    {kIdModeCopy, L"BUTTON", L"Copy && Rename", kRadio, 0, &AppState::modeCopy},
    {kIdModeMove, L"BUTTON", L"Move && Rename", kRadio, 0, &AppState::modeMove},
    {kIdHeadingDirs, L"STATIC", L"Directories", kLabel, 0, nullptr},
    {kIdInputLabel, L"STATIC", L"Input directory", kLabel, 0, nullptr},
    {kIdInputEdit, L"EDIT", L"", kEdit, kSunken, &AppState::inputEdit},
    {kIdInputBrowse, L"BUTTON", L"Browse...", kPush, 0, &AppState::inputBrowse},
    {kIdOutputLabel, L"STATIC", L"Output directory", kLabel, 0, nullptr},
    {kIdOutputEdit, L"EDIT", L"", kEdit, kSunken, &AppState::outputEdit},
    {kIdOutputBrowse, L"BUTTON", L"Browse...", kPush, 0, &AppState::outputBrowse},
    {kIdSameAsInput, L"BUTTON", L"Same as input directory", kCheck, 0, &AppState::sameAsInputCheck},
    {kIdHeadingRules, L"STATIC", L"Renaming rules", kLabel, 0, nullptr},
    {kIdPrefixLabel, L"STATIC", L"Prefix", kLabel, 0, nullptr},
    {kIdPrefixType, L"COMBOBOX", L"", kCombo, 0, &AppState::prefixTypeCombo},
    {kIdPrefixStartLabel, L"STATIC", L"Start", kLabel, 0, nullptr},
    {kIdPrefixStart, L"EDIT", L"1", kNumber, kSunken, &AppState::prefixStartEdit},
    {kIdPrefixStepLabel, L"STATIC", L"Step", kLabel, 0, nullptr},
    {kIdPrefixStep, L"EDIT", L"1", kNumber, kSunken, &AppState::prefixStepEdit},
    {kIdPrefixPadLabel, L"STATIC", L"Pad", kLabel, 0, nullptr},
    {kIdPrefixPad, L"EDIT", L"3", kNumber, kSunken, &AppState::prefixPadEdit},
    {kIdPrefixSepLabel, L"STATIC", L"Separator", kLabel, 0, nullptr},
    {kIdPrefixSep, L"EDIT", L" - ", kEdit, kSunken, &AppState::prefixSepEdit},
    {kIdReplaceEntire, L"BUTTON", L"Replace entire name with:", kCheck, 0, &AppState::replaceEntireCheck},
    {kIdReplaceName, L"EDIT", L"", kEdit, kSunken, &AppState::replaceNameEdit},
    {kIdSuffixLabel, L"STATIC", L"Suffix", kLabel, 0, nullptr},
    {kIdSuffixType, L"COMBOBOX", L"", kCombo, 0, &AppState::suffixTypeCombo},
    {kIdSuffixStartLabel, L"STATIC", L"Start", kLabel, 0, nullptr},
    {kIdSuffixStart, L"EDIT", L"1", kNumber, kSunken, &AppState::suffixStartEdit},
    {kIdSuffixStepLabel, L"STATIC", L"Step", kLabel, 0, nullptr},
    {kIdSuffixStep, L"EDIT", L"1", kNumber, kSunken, &AppState::suffixStepEdit},
    {kIdSuffixPadLabel, L"STATIC", L"Pad", kLabel, 0, nullptr},
    {kIdSuffixPad, L"EDIT", L"3", kNumber, kSunken, &AppState::suffixPadEdit},
    {kIdSuffixSepLabel, L"STATIC", L"Separator", kLabel, 0, nullptr},
    {kIdSuffixSep, L"EDIT", L" - ", kEdit, kSunken, &AppState::suffixSepEdit},
    {kIdSearchLabel, L"STATIC", L"Search", kLabel, 0, nullptr},
    {kIdSearch, L"EDIT", L"", kEdit, kSunken, &AppState::searchEdit},
    {kIdReplaceLabel, L"STATIC", L"Replace", kLabel, 0, nullptr},
    {kIdReplace, L"EDIT", L"", kEdit, kSunken, &AppState::replaceEdit},
    {kIdRemoveLabel, L"STATIC", L"Remove chars", kLabel, 0, nullptr},
    {kIdRemoveChars, L"EDIT", L"", kEdit, kSunken, &AppState::removeCharsEdit},
    {kIdCaseLabel, L"STATIC", L"Case", kLabel, 0, nullptr},
    {kIdCaseCombo, L"COMBOBOX", L"", kCombo, 0, &AppState::caseCombo},
    {kIdExtLabel, L"STATIC", L"Extension", kLabel, 0, nullptr},
    {kIdExtCombo, L"COMBOBOX", L"", kCombo, 0, &AppState::extCombo},
    {kIdNewExtLabel, L"STATIC", L"New ext", kLabel, 0, nullptr},
    {kIdNewExt, L"EDIT", L"", kEdit, kSunken, &AppState::newExtEdit},
    {kIdHeadingPreview, L"STATIC", L"Preview", kLabel, 0, nullptr},
    // The list headings share the panes' width, which the splitter can make narrower than the
    // text: one line with an ellipsis, never a half-hidden second line.
    {kIdOriginalHeading, L"STATIC", L"Original file names", kLabel | SS_ENDELLIPSIS, 0, nullptr},
    {kIdListOriginal, WC_LISTVIEWW, L"", kList, kSunken, &AppState::listOriginal},
    {kIdSplitter, L"STATIC", L"", kChild | SS_NOTIFY, 0, &AppState::splitter},
    {kIdNewHeading, L"STATIC", L"New / preview names", kLabel | SS_ENDELLIPSIS, 0, nullptr},
    {kIdListNew, WC_LISTVIEWW, L"", kList, kSunken, &AppState::listNew},
    {kIdProcess, L"BUTTON", L"Process", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, &AppState::processButton},
    // The status bar sizes itself; clipping siblings is not wanted for it.
    {kIdStatusBar, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, &AppState::statusBar},
};


struct ComboItems {
    HWND AppState::*combo;
    const wchar_t* const* items;
};

const ComboItems kComboItems[] = {
    {&AppState::prefixTypeCombo, kSequenceItems},
    {&AppState::suffixTypeCombo, kSequenceItems},
    {&AppState::caseCombo, kCaseItems},
    {&AppState::extCombo, kExtItems},
};

HINSTANCE ModuleInstance()
{
    return g_app.instance ? g_app.instance : GetModuleHandleW(nullptr);
}

}  // namespace

HWND ControlById(int id)
{
    return g_app.mainWindow ? GetDlgItem(g_app.mainWindow, id) : nullptr;
}

void CreateControls()
{
    HINSTANCE instance = ModuleInstance();
    for (const ControlRow& row : kControls) {
        HWND control = CreateWindowExW(row.exStyle, row.className, row.text, row.style, 0, 0, 0, 0,
                                       g_app.mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)),
                                       instance, nullptr);
        if (row.handle) g_app.*row.handle = control;
    }
    for (const ComboItems& combo : kComboItems) {
        for (const wchar_t* const* item = combo.items; *item; ++item)
            SendMessageW(g_app.*combo.combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(*item));
    }
    InsertListColumns(g_app.listOriginal, true);
    InsertListColumns(g_app.listNew, false);
    SetWindowSubclass(g_app.listOriginal, ListSubclassProc, kSubclassListOriginal, 0);
    SetWindowSubclass(g_app.listNew, ListSubclassProc, kSubclassListNew, 0);
    SetWindowSubclass(g_app.splitter, SplitterProc, kSubclassSplitter, 0);
    CreateUiFont();
    ApplyTheme();
}

const wchar_t* const kSequenceItems[] = {L"None", L"Numbers (001, 002)", L"Letters (A, B, AA)", nullptr};
const wchar_t* const kCaseItems[] = {L"No change", L"UPPERCASE", L"lowercase", L"Title Case", nullptr};
const wchar_t* const kExtItems[] = {L"Preserve", L"Change", L"Lowercase", nullptr};
