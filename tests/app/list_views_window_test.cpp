// The two list views on the real main window: mirrored selection and scroll, column widths,
// extended styles and the colours of painted rows.
#include "app/list_views.h"
#include "app/theme.h"

#include <algorithm>

#include "tests/app/window_fixture.h"

namespace {

constexpr UINT kSelFocus = LVIS_SELECTED | LVIS_FOCUSED;

void SetState(HWND list, int row, UINT state)
{
    LVITEMW item = {};
    item.stateMask = kSelFocus;
    item.state = state;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

UINT State(HWND list, int row)
{
    return static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), kSelFocus));
}

int Top(HWND list)
{
    return static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
}

int ColumnWidth(HWND list, int column)
{
    return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
}

}  // namespace

class ListViewsTest : public FilesWindowTest {
protected:
    void PrepareFiles() override
    {
        for (int i = 0; i < 120; ++i) {
            wchar_t name[32];
            swprintf(name, 32, L"row%03d.txt", i);
            input_.Write(name, "");
        }
    }
    void PrepareSettings(AppSettings& settings) override
    {
        settings.winW = 900;
        settings.winH = 600;
    }
    void SetUp() override
    {
        FilesWindowTest::SetUp();
        ShowWindow(window_, SW_SHOWNOACTIVATE);
        UpdateWindow(window_);
    }
};

TEST_F(ListViewsTest, SelectionFollowsInBothDirections)
{
    const struct {
        HWND from;
        HWND to;
    } pairs[] = {{g_app.listOriginal, g_app.listNew}, {g_app.listNew, g_app.listOriginal}};
    for (const auto& p : pairs) {
        SetState(p.from, 3, kSelFocus);
        EXPECT_EQ(State(p.to, 3), kSelFocus);
        SetState(p.from, 100, kSelFocus);  // single selection: the other row is released in both
        EXPECT_EQ(State(p.to, 100), kSelFocus);
        EXPECT_EQ(State(p.to, 3), 0u);
        EXPECT_EQ(SendMessageW(p.to, LVM_GETSELECTEDCOUNT, 0, 0), 1);
        EXPECT_LE(Top(p.to), 100);  // scrolled into view
        EXPECT_GT(Top(p.to), 0);
        SetState(p.from, -1, 0);  // clearing one clears the other
        EXPECT_EQ(SendMessageW(p.to, LVM_GETSELECTEDCOUNT, 0, 0), 0);
        EXPECT_EQ(State(p.to, 100), 0u);
    }
}

TEST_F(ListViewsTest, VerticalScrollingFollowsHorizontalKeysDoNot)
{
    const struct {
        HWND list;
        UINT message;
        WPARAM wParam;
    } moves[] = {
        {g_app.listOriginal, WM_VSCROLL, SB_PAGEDOWN}, {g_app.listNew, WM_VSCROLL, SB_LINEDOWN},
        {g_app.listOriginal, WM_KEYDOWN, VK_END},      {g_app.listNew, WM_KEYDOWN, VK_HOME},
        {g_app.listNew, WM_KEYDOWN, VK_END},           {g_app.listOriginal, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA)},
    };
    for (const auto& m : moves) {
        const int before = Top(m.list);
        SendMessageW(m.list, m.message, m.wParam, 0);
        EXPECT_NE(Top(m.list), before) << m.message << "/" << m.wParam << ": the move itself did nothing";
        EXPECT_EQ(Top(g_app.listOriginal), Top(g_app.listNew)) << m.message << "/" << m.wParam;
    }
    // Without the subclass the two drift apart: a direct scroll of one list moves only that one.
    const int newTop = Top(g_app.listNew);
    SendMessageW(g_app.listOriginal, LVM_SCROLL, 0, -200);
    SendMessageW(g_app.listOriginal, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(Top(g_app.listNew), newTop);
}

// A list with a horizontal scroll bar shows a row less than the other; at the end of the list
// both still show the same top row.
TEST_F(ListViewsTest, TopRowsStayEqualWhenOnlyOneListScrollsSideways)
{
    const auto rows = [](HWND list) { return SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0); };
    for (HWND wide : {g_app.listNew, g_app.listOriginal}) {
        HWND narrow = wide == g_app.listNew ? g_app.listOriginal : g_app.listNew;
        SendMessageW(narrow, LVM_SETCOLUMNWIDTH, 0, 100);
        SendMessageW(wide, LVM_SETCOLUMNWIDTH, 0, 3000);
        ASSERT_LT(rows(wide), rows(narrow));
        for (HWND list : {wide, narrow}) {
            for (WPARAM key : {VK_END, VK_HOME, VK_NEXT, VK_END}) {
                SendMessageW(list, WM_KEYDOWN, key, 0);
                EXPECT_EQ(Top(g_app.listOriginal), Top(g_app.listNew))
                    << "key " << key << " in the " << (list == wide ? "wide" : "narrow") << " list";
            }
        }
    }
}

TEST_F(ListViewsTest, ColumnsTakeSharesUntilWidthsAreStored)
{
    RECT client = {};
    GetClientRect(g_app.listOriginal, &client);
    const int available = std::max<int>(80, client.right - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(ColumnWidth(g_app.listOriginal, 0), available * 44 / 100);
    EXPECT_EQ(ColumnWidth(g_app.listOriginal, 1), available * 18 / 100);
    EXPECT_EQ(ColumnWidth(g_app.listOriginal, 2), available * 12 / 100);
    EXPECT_EQ(ColumnWidth(g_app.listOriginal, 3), available * 26 / 100);
    GetClientRect(g_app.listNew, &client);
    const int availableNew = std::max<int>(80, client.right - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(ColumnWidth(g_app.listNew, 1), availableNew * 36 / 100);

    g_app.settings.colOrig0 = 200;
    g_app.settings.colOrig1 = 60;
    g_app.settings.colOrig2 = 17;
    ApplyColumnWidths(g_app.listOriginal, true);
    EXPECT_EQ(ColumnWidth(g_app.listOriginal, 0), 200);
    EXPECT_EQ(ColumnWidth(g_app.listOriginal, 1), 60);
    EXPECT_EQ(ColumnWidth(g_app.listOriginal, 2), 17);
}

TEST_F(ListViewsTest, ColumnHeadersAndStyles)
{
    const wchar_t* headers[2][3] = {{L"Original name", L"Size", L"Ext"},
                                    {L"New / preview name", L"Target path", L"Status"}};
    const HWND lists[2] = {g_app.listOriginal, g_app.listNew};
    for (int l = 0; l < 2; ++l) {
        for (int i = 0; i < 3; ++i) {
            wchar_t text[64] = {};
            LVCOLUMNW column = {};
            column.mask = LVCF_TEXT;
            column.pszText = text;
            column.cchTextMax = 64;
            ASSERT_TRUE(SendMessageW(lists[l], LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column)));
            EXPECT_STREQ(text, headers[l][i]);
        }
        const auto styles = static_cast<DWORD>(SendMessageW(lists[l], LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        EXPECT_EQ(styles & 0x14021u, ListViewExtendedStyle(g_app.settings.darkTheme));
    }
}

TEST_F(ListViewsTest, PaintedRowsTakeTheirStatusColourUnlessSelected)
{
    g_app.files[5].status = ItemStatus::Failed;
    HDC dc = CreateCompatibleDC(nullptr);
    const struct {
        int row;
        UINT state;
        bool dark;
        COLORREF text;
        COLORREF background;
    } cases[] = {
        {5, 0, false, RGB(176, 0, 32), GetSysColor(COLOR_WINDOW)},
        {5, CDIS_SELECTED | CDIS_FOCUS, false, GetSysColor(COLOR_WINDOWTEXT), RGB(232, 232, 232)},
        {5, 0, true, RGB(255, 170, 170), RGB(32, 32, 32)},
        {5, CDIS_SELECTED | CDIS_HOT, true, RGB(255, 255, 255), RGB(52, 52, 52)},
        {4, 0, true, RGB(255, 255, 255), RGB(32, 32, 32)},
        {500, 0, false, GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW)},  // no such row
    };
    for (const auto& c : cases) {
        g_app.settings.darkTheme = c.dark;
        NMLVCUSTOMDRAW draw = {};
        draw.nmcd.hdr.hwndFrom = g_app.listNew;
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(c.row);
        draw.nmcd.uItemState = c.state;
        draw.nmcd.hdc = dc;
        EXPECT_EQ(PaintRowColours(&draw), CDRF_NEWFONT | CDRF_NOTIFYSUBITEMDRAW);  // the path cells draw apart
        EXPECT_EQ(draw.clrText, c.text) << c.row << "/" << c.state;
        EXPECT_EQ(draw.clrTextBk, c.background) << c.row << "/" << c.state;
        EXPECT_EQ(draw.nmcd.uItemState & (CDIS_SELECTED | CDIS_FOCUS | CDIS_HOT), 0u);
        EXPECT_EQ(GetTextColor(dc), c.text);
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    }
    DeleteDC(dc);

    NMLVCUSTOMDRAW stage = {};
    stage.nmcd.hdr.hwndFrom = g_app.listOriginal;
    stage.nmcd.dwDrawStage = CDDS_PREPAINT;
    EXPECT_EQ(PaintRowColours(&stage), CDRF_NOTIFYITEMDRAW);
    stage.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
    EXPECT_EQ(PaintRowColours(&stage), CDRF_DODEFAULT);
}

TEST_F(ListViewsTest, DisplayTextForRowsBeyondTheListIsEmpty)
{
    EXPECT_EQ(Cell(g_app.listOriginal, 119, 0), L"row119.txt");
    g_app.files.resize(10);  // the control still believes in 120 rows until it is told
    EXPECT_EQ(Cell(g_app.listOriginal, 50, 0), L"");
    EXPECT_EQ(Cell(g_app.listNew, 50, 2), L"");
}
