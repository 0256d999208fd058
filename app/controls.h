#pragma once
// The child controls of the main window: their IDs, the one table of their facts, their creation.
#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "app/app_state.h"

// Control IDs (the menu argument of CreateWindowExW).
constexpr int kIdInputLabel = 1001;
constexpr int kIdInputEdit = 1002;
constexpr int kIdInputBrowse = 1003;
constexpr int kIdOutputLabel = 1004;
constexpr int kIdOutputEdit = 1005;
constexpr int kIdOutputBrowse = 1006;
constexpr int kIdSameAsInput = 1007;
constexpr int kIdModeRename = 1010;
constexpr int kIdModeCopy = 1011;
constexpr int kIdModeMove = 1012;
constexpr int kIdFilterLabel = 1013;
constexpr int kIdFilter = 1014;
constexpr int kIdHeadingMode = 1019;
constexpr int kIdHeadingDirs = 1020;
constexpr int kIdHeadingRules = 1021;
constexpr int kIdHeadingPreview = 1022;
constexpr int kIdRuleScroll = 1023;  // the rule area's scroll bar, shown while the rules scroll
constexpr int kIdPrefixLabel = 1030;
constexpr int kIdPrefixType = 1031;
constexpr int kIdPrefixStartLabel = 1032;
constexpr int kIdPrefixStart = 1033;
constexpr int kIdPrefixStepLabel = 1034;
constexpr int kIdPrefixStep = 1035;
constexpr int kIdPrefixPadLabel = 1036;
constexpr int kIdPrefixPad = 1037;
constexpr int kIdPrefixSepLabel = 1038;
constexpr int kIdPrefixSep = 1039;
constexpr int kIdSuffixLabel = 1040;
constexpr int kIdSuffixType = 1041;
constexpr int kIdSuffixStartLabel = 1042;
constexpr int kIdSuffixStart = 1043;
constexpr int kIdSuffixStepLabel = 1044;
constexpr int kIdSuffixStep = 1045;
constexpr int kIdSuffixPadLabel = 1046;
constexpr int kIdSuffixPad = 1047;
constexpr int kIdSuffixSepLabel = 1048;
constexpr int kIdSuffixSep = 1049;
constexpr int kIdSearchLabel = 1050;
constexpr int kIdSearch = 1051;
constexpr int kIdReplaceLabel = 1052;
constexpr int kIdReplace = 1053;
constexpr int kIdRemoveLabel = 1054;
constexpr int kIdRemoveChars = 1055;
constexpr int kIdSearchRegex = 1056;
constexpr int kIdCaseLabel = 1060;
constexpr int kIdCaseCombo = 1061;
constexpr int kIdExtLabel = 1062;
constexpr int kIdExtCombo = 1063;
constexpr int kIdNewExtLabel = 1064;
constexpr int kIdNewExt = 1065;
constexpr int kIdReplaceEntire = 1066;
constexpr int kIdReplaceName = 1067;
constexpr int kIdOriginalHeading = 1070;
constexpr int kIdListOriginal = 1071;
constexpr int kIdNewHeading = 1072;
constexpr int kIdListNew = 1073;
constexpr int kIdSplitter = 1074;
constexpr int kIdProcess = 1080;
constexpr int kIdStatusBar = 1081;

// Subclass IDs of SetWindowSubclass; WM_DESTROY removes them with the same IDs.
constexpr UINT_PTR kSubclassListOriginal = 1;
constexpr UINT_PTR kSubclassListNew = 2;
constexpr UINT_PTR kSubclassSplitter = 3;

// How a control's value is tied to the settings (read and written by app/binding.cpp).
enum class Bind {
    None,    // not bound, never disabled (labels, lists, splitter, status bar)
    Button,  // no value; only enabled by its rule
    Folder,  // a directory edit: trimmed, one pair of quotes dropped
    Text,
    Number,  // `value` stands in when the text holds no digit
    Combo,   // the selected index is the stored value
    Check,
    Radio,  // checked when the mode is `value`; the mode is read from all three together
};

// When a bound control is enabled (always also: no batch is running).
enum class Enable {
    Always,
    OutputDir,       // "Same as input directory" and "Rename in Place" both unchecked
    SameAsInput,     // "Rename in Place" unchecked
    PrefixSequence,  // prefix type is not None
    PrefixPad,       // prefix type is Numbers
    SuffixSequence,
    SuffixPad,
    PrefixCounter,  // the prefix counts rows (numbers or letters): Start and Step apply
    SuffixCounter,
    NewExt,       // extension mode is Change
    ReplaceName,  // "Replace entire name with:" checked
    SearchGroup,  // "Replace entire name with:" unchecked
    HasFiles,
};

using TextField = std::wstring& (*)(AppSettings&);
using GetInt = int32_t (*)(const AppSettings&);
using SetInt = void (*)(AppSettings&, int32_t);

struct Binding {
    Bind kind = Bind::None;
    Enable enable = Enable::Always;
    int32_t value = 0;
    TextField text = nullptr;  // Folder, Text
    GetInt get = nullptr;      // Number, Combo, Check, Radio
    SetInt set = nullptr;      // Number, Combo, Check
};

// Everything about one child control.
struct ControlRow {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;  // complete style
    DWORD exStyle;
    HWND AppState::*handle = nullptr;  // null: reached by ID only
    Binding binding = {};
    const wchar_t* const* items = nullptr;  // a combo box's items, ending in null
    bool replans = false;                   // every EN_CHANGE plans the preview again
};

// Every child of the main window, in creation order (which is also the first Tab order).
std::span<const ControlRow> ControlTable();
// The row of a control ID, or null.
const ControlRow* FindControl(int id);

// Creates every child of g_app.mainWindow (zero-sized; LayoutControls places them), fills the
// combo boxes, inserts the list columns, installs the subclasses, then the font and the theme.
void CreateControls();

// A child of the main window by ID (labels and headings have no AppState member).
HWND ControlById(int id);

// Combo-box items in index order (the index is the stored value), each list ending in null.
extern const wchar_t* const kSequenceItems[];
constexpr int kSequenceCounterItems = 3;  // "None", numbers and letters come before the dates
extern const wchar_t* const kCaseItems[];
extern const wchar_t* const kExtItems[];
