// Tooltips showing the whole text of list cells too narrow for it. The lists' own info tips
// are left alone: they cover only the first column on Windows and are missing under Wine.
#include "app/cell_tips.h"

#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>

#include <utility>

#include "app/win_util.h"

namespace {

struct CellTip {
    HWND list = nullptr;
    HWND tip = nullptr;
    int row = -1;  // the cell under the pointer and the tip's text for it
    int subItem = -1;
    std::wstring text;
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

// Points the tip at the cell under `at` (client coordinates). The text is read again on every
// move, since typing in a rule changes the cells under a resting pointer.
void FollowPointer(CellTip& t, POINT at)
{
    LVHITTESTINFO hit = {};
    hit.pt = at;
    const bool onCell =
        SendMessageW(t.list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) >= 0 && (hit.flags & LVHT_ONITEM);
    const int row = onCell ? hit.iItem : -1;
    const int subItem = onCell ? hit.iSubItem : -1;
    std::wstring text = row >= 0 ? CutCellText(t.list, row, subItem) : std::wstring();
    const bool sameCell = row == t.row && subItem == t.subItem;
    if (sameCell && text == t.text) return;
    if (!sameCell) SendMessageW(t.tip, TTM_POP, 0, 0);
    t.row = row;
    t.subItem = subItem;
    t.text = std::move(text);
    TTTOOLINFOW tool = ToolOf(t.list);
    tool.lpszText = t.text.data();  // empty: the tip stays hidden
    SendMessageW(t.tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

// The text the list shows in a cell, read back through the list (any column it has).
std::wstring ItemText(HWND list, int row, int subItem)
{
    std::wstring text;
    for (const size_t room : {size_t{1024}, size_t{32768}}) {  // 32,767: the longest path
        text.assign(room, L'\0');
        LVITEMW item = {};
        item.iSubItem = subItem;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(room);
        const LRESULT length =
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        text.resize(length > 0 ? static_cast<size_t>(length) : 0);
        if (text.size() + 1 < room) break;
    }
    return text;
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
    // A wheel message's point is on the screen, and the tooltip wants none.
    if (message < WM_MOUSEFIRST || message > WM_MOUSELAST || message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL)
        return;
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
    std::wstring text = ItemText(list, row, subItem);
    if (text.empty()) return text;
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
