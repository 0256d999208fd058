// The main window's children: IDs, classes, texts, styles, order, combo items, subclasses, font.
#include "app/controls.h"

#include "app/layout.h"

#include "app/splitter.h"
#include "tests/support/main_window_fixture.h"
#include "app/list_views.h"

#include <set>
#include <vector>

namespace {

constexpr DWORD kBase = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kEdit = kBase | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kNum = kEdit | ES_NUMBER;
constexpr DWORD kCombo = kBase | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kList =
    kBase | LVS_REPORT | LVS_SINGLESEL | LVS_SHAREIMAGELISTS | LVS_OWNERDATA | WS_BORDER | WS_TABSTOP;

bool IsCombo(int id)
{
    return id == 1031 || id == 1041 || id == 1061 || id == 1063;
}

struct Expected {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;    // bits that must be set
    DWORD exStyle;  // WS_EX_CLIENTEDGE or 0
};

// Written out from the window's design, not from the creating code.
const Expected kExpected[] = {
    {1019, L"Static", L"Processing action", kBase, 0},
    {1010, L"Button", L"Rename in Place", kBase | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0},
    {1011, L"Button", L"Copy && Rename", kBase | BS_AUTORADIOBUTTON | WS_TABSTOP, 0},
    {1012, L"Button", L"Move && Rename", kBase | BS_AUTORADIOBUTTON | WS_TABSTOP, 0},
    {1013, L"Static", L"Only files matching", kBase, 0},
    {1014, L"Edit", L"", kEdit, WS_EX_CLIENTEDGE},
    {1020, L"Static", L"Directories", kBase, 0},
    {1001, L"Static", L"Input directory", kBase, 0},
    {1002, L"Edit", L"", kEdit, WS_EX_CLIENTEDGE},
    {1003, L"Button", L"Browse...", kBase | WS_TABSTOP, 0},
    {1004, L"Static", L"Output directory", kBase, 0},
    {1005, L"Edit", L"", kEdit, WS_EX_CLIENTEDGE},
    {1006, L"Button", L"Browse...", kBase | WS_TABSTOP, 0},
    {1007, L"Button", L"Same as input directory", kBase | BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {1021, L"Static", L"Renaming rules", kBase, 0},
    {1030, L"Static", L"Prefix", kBase, 0},
    {1031, L"ComboBox", L"", kCombo, 0},
    {1032, L"Static", L"Start", kBase, 0},
    {1033, L"Edit", L"1", kNum, WS_EX_CLIENTEDGE},
    {1034, L"Static", L"Step", kBase, 0},
    {1035, L"Edit", L"1", kNum, WS_EX_CLIENTEDGE},
    {1036, L"Static", L"Pad", kBase, 0},
    {1037, L"Edit", L"3", kNum, WS_EX_CLIENTEDGE},
    {1038, L"Static", L"Separator", kBase, 0},
    {1039, L"Edit", L" - ", kEdit, WS_EX_CLIENTEDGE},
    {1066, L"Button", L"Replace entire name with:", kBase | BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {1067, L"Edit", L"", kEdit, WS_EX_CLIENTEDGE},
    {1040, L"Static", L"Suffix", kBase, 0},
    {1041, L"ComboBox", L"", kCombo, 0},
    {1042, L"Static", L"Start", kBase, 0},
    {1043, L"Edit", L"1", kNum, WS_EX_CLIENTEDGE},
    {1044, L"Static", L"Step", kBase, 0},
    {1045, L"Edit", L"1", kNum, WS_EX_CLIENTEDGE},
    {1046, L"Static", L"Pad", kBase, 0},
    {1047, L"Edit", L"3", kNum, WS_EX_CLIENTEDGE},
    {1048, L"Static", L"Separator", kBase, 0},
    {1049, L"Edit", L" - ", kEdit, WS_EX_CLIENTEDGE},
    {1050, L"Static", L"Search", kBase, 0},
    {1051, L"Edit", L"", kEdit, WS_EX_CLIENTEDGE},
    {1052, L"Static", L"Replace", kBase, 0},
    {1053, L"Edit", L"", kEdit, WS_EX_CLIENTEDGE},
    {1054, L"Static", L"Remove chars", kBase, 0},
    {1055, L"Edit", L"", kEdit, WS_EX_CLIENTEDGE},
    {1056, L"Button", L"Regular expression", kBase | BS_AUTOCHECKBOX | WS_TABSTOP, 0},
    {1060, L"Static", L"Case", kBase, 0},
    {1061, L"ComboBox", L"", kCombo, 0},
    {1062, L"Static", L"Extension", kBase, 0},
    {1063, L"ComboBox", L"", kCombo, 0},
    {1064, L"Static", L"New ext", kBase, 0},
    {1065, L"Edit", L"", kEdit, WS_EX_CLIENTEDGE},
    {1023, L"ScrollBar", L"", WS_CHILD | SBS_VERT, 0},  // shown only while the rules scroll
    {1022, L"Static", L"Preview", kBase, 0},
    {1070, L"Static", L"Original file names", kBase | SS_ENDELLIPSIS, 0},
    {1071, L"SysListView32", L"", kList, WS_EX_CLIENTEDGE},
    {1074, L"Static", L"", kBase | SS_NOTIFY, 0},
    {1072, L"Static", L"New / preview names", kBase | SS_ENDELLIPSIS, 0},
    {1073, L"SysListView32", L"", kList, WS_EX_CLIENTEDGE},
    {1080, L"Button", L"Process", kBase | BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
    {1081, L"msctls_statusbar32", L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0},
};

std::vector<int> ChildIdsInZOrder(HWND parent)
{
    std::vector<int> ids;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ids.push_back(GetDlgCtrlID(child));
    return ids;
}

using ControlsTest = MainWindowFixture;

TEST_F(ControlsTest, EveryControlHasItsIdClassTextAndStyles)
{
    for (const Expected& e : kExpected) {
        SCOPED_TRACE(e.id);
        HWND control = GetDlgItem(window_, e.id);
        ASSERT_NE(control, nullptr);
        wchar_t className[64] = {};
        GetClassNameW(control, className, 64);
        EXPECT_EQ(lstrcmpiW(className, e.className), 0) << className;
        const DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
        DWORD expected = e.style;
        if (IsCombo(e.id)) {
            // A combo box shows its selected item, and hands WS_VSCROLL on to its drop-down list.
            EXPECT_EQ(Text(control), e.id == 1063 ? L"Preserve" : e.id == 1061 ? L"No change" : L"None");
            expected &= ~WS_VSCROLL;
        } else if (e.id != 1081) {
            EXPECT_EQ(Text(control), e.text);
        }
        if ((e.style & BS_TYPEMASK) == BS_AUTORADIOBUTTON && lstrcmpiW(e.className, L"Button") == 0) {
            // Checking a radio button moves the Tab stop onto it; only the checked one keeps it.
            EXPECT_EQ((style & WS_TABSTOP) != 0, IsChecked(control));
            expected &= ~WS_TABSTOP;
        }
        EXPECT_EQ(style & expected, expected) << std::hex << style;
        // Only the group start carries WS_GROUP, and the status bar does not clip siblings.
        if (e.id != 1010) {
            EXPECT_EQ(style & WS_GROUP, 0u);
        }
        if (e.id == 1081) {
            EXPECT_EQ(style & WS_CLIPSIBLINGS, 0u);
        }
        // Buttons keep their kind exactly: a check box is not a radio button.
        if (lstrcmpiW(e.className, L"Button") == 0) {
            EXPECT_EQ(style & BS_TYPEMASK, e.style & BS_TYPEMASK);
        }
        const DWORD exStyle = static_cast<DWORD>(GetWindowLongW(control, GWL_EXSTYLE));
        EXPECT_EQ(exStyle & WS_EX_CLIENTEDGE, e.exStyle);
    }
}

// The Tab order is the creation order, which is the reading order of the window: no layout moves
// a control in the Z order.
TEST_F(ControlsTest, TheTabOrderIsTheCreationOrder)
{
    std::vector<int> expected;
    for (const Expected& e : kExpected) expected.push_back(e.id);
    EXPECT_EQ(ChildIdsInZOrder(window_), expected);
    LayoutControls();
    EXPECT_EQ(ChildIdsInZOrder(window_), expected);
}

TEST_F(ControlsTest, ComboItemsInOrder)
{
    const std::vector<std::wstring> sequence = {L"None",
                                                L"Numbers (001, 002)",
                                                L"Letters (A, B, AA)",
                                                L"Date (2024-05-17)",
                                                L"Date and time (2024-05-17 13.45.10)",
                                                L"Date taken (2024-05-17)",
                                                L"Date and time taken (2024-05-17 13.45.10)"};
    const struct {
        HWND combo;
        std::vector<std::wstring> items;
    } rows[] = {
        {g_app.prefixTypeCombo, sequence},
        {g_app.suffixTypeCombo, sequence},
        {g_app.caseCombo, {L"No change", L"UPPERCASE", L"lowercase", L"Title Case"}},
        {g_app.extCombo, {L"Preserve", L"Change", L"Lowercase"}},
    };
    for (const auto& row : rows) {
        std::vector<std::wstring> items;
        const int count = static_cast<int>(SendMessageW(row.combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[64] = {};
            SendMessageW(row.combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            items.push_back(text);
        }
        EXPECT_EQ(items, row.items) << GetDlgCtrlID(row.combo);
    }
}

// The import library lacks GetWindowSubclass; comctl32 exports it as ordinal 411.
BOOL HasSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR* data)
{
    using GetWindowSubclassFn = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR*);
    const auto get = reinterpret_cast<GetWindowSubclassFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"comctl32.dll"), MAKEINTRESOURCEA(411))));
    return get ? get(window, proc, id, data) : FALSE;
}

TEST_F(ControlsTest, SubclassesInstalledWithTheirIds)
{
    DWORD_PTR data = 0;
    EXPECT_TRUE(HasSubclass(g_app.listOriginal, ListSubclassProc, kSubclassListOriginal, &data));
    EXPECT_TRUE(HasSubclass(g_app.listNew, ListSubclassProc, kSubclassListNew, &data));
    EXPECT_TRUE(HasSubclass(g_app.splitter, SplitterProc, kSubclassSplitter, &data));
    // Each list has the procedure once, under its own ID only.
    EXPECT_FALSE(HasSubclass(g_app.listOriginal, ListSubclassProc, kSubclassListNew, &data));
    EXPECT_FALSE(HasSubclass(g_app.listNew, ListSubclassProc, kSubclassListOriginal, &data));
}

TEST_F(ControlsTest, BothListsGotTheirColumns)
{
    for (HWND list : {g_app.listOriginal, g_app.listNew}) {
        HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), list == g_app.listOriginal ? 4 : 3);
    }
}

// What the other files take from the control table holds for every row.
TEST(ControlTable, RowsAreConsistent)
{
    std::set<int> ids;
    for (const ControlRow& row : ControlTable()) {
        SCOPED_TRACE(row.id);
        EXPECT_TRUE(ids.insert(row.id).second) << "ID used twice";
        EXPECT_EQ(FindControl(row.id), &row);
        const bool combo = lstrcmpiW(row.className, L"COMBOBOX") == 0;
        EXPECT_EQ(combo, row.items != nullptr) << "combo boxes and only they have items";
        EXPECT_EQ(combo, row.binding.kind == Bind::Combo);
        if (row.items) {
            EXPECT_NE(row.items[0], nullptr);
        }
        if (row.binding.kind != Bind::None) {
            EXPECT_NE(row.handle, nullptr) << "a bound control needs its handle";
        }
        if (row.replans) {
            EXPECT_EQ(lstrcmpiW(row.className, L"EDIT"), 0) << "only edits re-plan on a change";
        }
    }
    EXPECT_EQ(FindControl(4242), nullptr);
}

TEST_F(ControlsTest, EveryChildUsesTheUiFont)
{
    ASSERT_NE(g_app.uiFont, nullptr);
    for (const Expected& e : kExpected) {
        if (e.id == kIdRuleScroll) continue;  // a scroll bar draws no text
        HWND control = GetDlgItem(window_, e.id);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), g_app.uiFont) << e.id;
    }
}

}  // namespace
