// Tooltips showing the whole text of list cells too narrow for it. The lists' own info tips
// are left alone: they cover only the first column on Windows and are missing under Wine.
#include "app/cell_tips.h"

#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>

#include <iterator>

#include "app/win_util.h"

namespace {

struct CellTip {
    HWND list = nullptr;
    HWND tip = nullptr;
    int row = -1;  // the cell the tip's text is for
    int subItem = -1;
};
CellTip g_tips[2];

CellTip* TipOf(HWND list)
{
    for (CellTip& t : g_tips) {
        if (list && t.list == list) return &t;
    }
    return nullptr;
}

TTTOOLINFOW ToolOf(HWND list)
{
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = list;
    tool.uId = reinterpret_cast<UINT_PTR>(list);
    return tool;
}

// Points the tip at the cell under `at` (client coordinates) when it is another cell than before.
void FollowPointer(CellTip& t, POINT at)
{
    LVHITTESTINFO hit = {};
    hit.pt = at;
    const bool onCell =
        SendMessageW(t.list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) >= 0 && (hit.flags & LVHT_ONITEM);
    const int row = onCell ? hit.iItem : -1;
    const int subItem = onCell ? hit.iSubItem : -1;
    if (row == t.row && subItem == t.subItem) return;
    t.row = row;
    t.subItem = subItem;
    SendMessageW(t.tip, TTM_POP, 0, 0);
    std::wstring text = row >= 0 ? CutCellText(t.list, row, subItem) : std::wstring();
    TTTOOLINFOW tool = ToolOf(t.list);
    tool.lpszText = text.data();  // empty: the tip stays hidden
    SendMessageW(t.tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

void CreateCellTip(HWND list)
{
    if (!list) return;
    CellTip* slot = TipOf(list);
    for (CellTip& t : g_tips) {
        if (!slot && !IsWindow(t.list)) slot = &t;
    }
    if (!slot) return;
    *slot = CellTip{list};
    slot->tip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, list, nullptr, GetWindowInstance(list), nullptr);
    if (!slot->tip) return;
    TTTOOLINFOW tool = ToolOf(list);
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(slot->tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // Long paths wrap at a third of the screen rather than run across it.
    SendMessageW(slot->tip, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN) / 3);
}

void TrackCellTip(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message < WM_MOUSEFIRST || message > WM_MOUSELAST) return;
    CellTip* t = TipOf(list);
    if (!t || !t->tip) return;
    const POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (message == WM_MOUSEMOVE) FollowPointer(*t, at);
    MSG relayed = {list, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    relayed.pt = at;
    ClientToScreen(list, &relayed.pt);
    SendMessageW(t->tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

HWND CellTipWindow(HWND list)
{
    const CellTip* t = TipOf(list);
    return t ? t->tip : nullptr;
}

std::wstring CutCellText(HWND list, int row, int subItem)
{
    std::wstring text(32768, L'\0');  // a long path's length
    LVITEMW item = {};
    item.iSubItem = subItem;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    const LRESULT length =
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    if (length <= 0) return std::wstring();
    text.resize(static_cast<size_t>(length));
    RECT cell = {};
    cell.top = subItem;
    cell.left = subItem == 0 ? LVIR_LABEL : LVIR_BOUNDS;
    if (!SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell)))
        return std::wstring();
    // The list pads its cells on both sides: a text that fills the rest is already cut short.
    const int room = cell.right - cell.left - 2 * ScaleDp(6, WindowDpi(list));
    const auto width =
        static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
    return width > room ? text : std::wstring();
}
