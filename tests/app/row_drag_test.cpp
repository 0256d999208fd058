// Row dragging: the gap and move arithmetic, then real drags on the real main window.
#include "app/row_drag.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/controls.h"
#include "app/layout.h"
#include "app/main_window.h"
#include "files/file_order.h"
#include "settings/settings_file.h"
#include "tests/app/drag_overlays.h"
#include "tests/app/window_fixture.h"

namespace {

// Three rows 20 pixels high under a 24-pixel header: 24-44, 44-64, 64-84.
DropProbe ThreeRows(int hitRow)
{
    DropProbe probe;
    probe.rowCount = 3;
    probe.hitRow = hitRow;
    if (hitRow >= 0) {
        probe.hitTop = 24 + 20 * hitRow;
        probe.hitBottom = probe.hitTop + 20;
    }
    probe.firstTop = 24;
    probe.lastBottom = 84;
    return probe;
}

TEST(DropGapAt, FollowsTheHalfOfTheRowUnderThePointer)
{
    struct Case {
        int y;
        int hitRow;
        int gap;
    };
    const Case cases[] = {
        {24, 0, 0},                                                     // top edge of row 0
        {33, 0, 0},                                                     // last pixel of the upper half
        {34, 0, 1},                                                     // the middle counts as the lower half
        {43, 0, 1},   {44, 1, 1},  {63, 1, 2}, {64, 2, 2}, {83, 2, 3},  // lower half of the last row: after it
        {84, -1, 3},                                                    // at the bottom of the last row
        {500, -1, 3}, {23, -1, 0},                                      // on the header, above row 0
        {-40, -1, 0},                                                   // above the list
        {50, -1, 3},                                                    // beside the rows (right of the last column)
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DropGapAt(c.y, ThreeRows(c.hitRow)), c.gap) << "y " << c.y << " row " << c.hitRow;
    }
}

// Ten rows 20 pixels high scrolled down by three: rows 3 to 6 fill the view 24-104 under the
// header, row 0 starts at -36 out of sight and row 9 ends at 164 below the list.
DropProbe ScrolledTenRows(int hitRow)
{
    DropProbe probe;
    probe.rowCount = 10;
    probe.hitRow = hitRow;
    if (hitRow >= 0) {
        probe.hitTop = 24 + 20 * (hitRow - 3);
        probe.hitBottom = probe.hitTop + 20;
    }
    probe.firstTop = -36;
    probe.lastBottom = 164;
    probe.viewTop = 24;
    probe.viewBottom = 104;
    probe.topRow = 3;
    probe.bottomGap = 7;
    return probe;
}

TEST(DropGapAt, PointerLeavingAScrolledViewStaysAtItsEdge)
{
    struct Case {
        int y;
        int hitRow;
        int gap;
    };
    const Case cases[] = {
        {24, 3, 3},                   // first row in view, upper half
        {103, 6, 7},                  // last row in view, lower half
        {23, -1, 3},                  // on the header: before the first row in view, not after the last row
        {0, -1, 3},    {-30, -1, 3},  // above the list, yet below where row 0 would be
        {-500, -1, 3},                // far above
        {10, 2, 3},                   // a hit on a row hidden under the header is not taken
        {104, -1, 7},                 // just below the list: after the last whole row in view
        {150, -1, 7},                 // where row 9 would be
        {900, -1, 7},                 // far below
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DropGapAt(c.y, ScrolledTenRows(c.hitRow)), c.gap) << "y " << c.y << " row " << c.hitRow;
    }
    DropProbe atEnd = ScrolledTenRows(-1);
    atEnd.bottomGap = 12;  // a page reaching past the last row
    EXPECT_EQ(DropGapAt(500, atEnd), 10);
}

TEST(DropGapAt, EmptyListHasOnlyGapZero)
{
    DropProbe empty;
    EXPECT_EQ(DropGapAt(-10, empty), 0);
    EXPECT_EQ(DropGapAt(1000, empty), 0);
}

TEST(DropTargetRow, RemovingTheRowFirstShiftsLaterGaps)
{
    struct Case {
        int from, gap, count, target;
    };
    const Case cases[] = {
        {0, 5, 5, 4},                   // first row below the last
        {4, 0, 5, 0},                   // last row above the first
        {1, 3, 5, 2},                   // down: the gap after row 2 lands at 2
        {3, 1, 5, 1},                   // up
        {2, 2, 5, -1},                  // on its own upper half
        {2, 3, 5, -1},                  // on its own lower half
        {2, -1, 5, 4},                  // no gap recorded: to the end
        {0, 0, 1, -1},                  // a single row cannot move
        {0, 1, 1, -1}, {-1, 2, 5, -1},  // no dragged row
        {5, 0, 5, -1},                  // the list shrank under the drag
        {0, 6, 5, 4},                   // one gap past the end still lands on the last place
        {0, 7, 5, -1},                  // further out the drop no longer fits the list
        {0, 3, 0, -1},                  // empty list
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DropTargetRow(c.from, c.gap, c.count), c.target)
            << "from " << c.from << " gap " << c.gap << " count " << c.count;
    }
}

FileList Rows(std::initializer_list<const wchar_t*> names)
{
    FileList files;
    for (const wchar_t* n : names) {
        FileEntry e;
        e.name = n;
        e.size = files.size() * 100;
        e.status = ItemStatus::Duplicate;
        files.push_back(e);
    }
    return files;
}

TEST(MoveFileRow, KeepsTheOrderOfTheOtherRowsAndCarriesEveryField)
{
    FileList files = Rows({L"a", L"b", L"c", L"d"});
    files[0].statusText = L"kept";
    ASSERT_TRUE(MoveFileRow(files, 0, 3));
    EXPECT_EQ(Names(files), (std::vector<std::wstring>{L"b", L"c", L"d", L"a"}));
    EXPECT_EQ(files[3].statusText, L"kept");
    EXPECT_EQ(files[3].size, 0u);

    ASSERT_TRUE(MoveFileRow(files, 3, 1));
    EXPECT_EQ(Names(files), (std::vector<std::wstring>{L"b", L"a", L"c", L"d"}));
    ASSERT_TRUE(MoveFileRow(files, 2, 2));
    EXPECT_EQ(Names(files), (std::vector<std::wstring>{L"b", L"a", L"c", L"d"}));
}

TEST(MoveFileRow, RefusesIndexesOutsideTheList)
{
    FileList files = Rows({L"a", L"b"});
    EXPECT_FALSE(MoveFileRow(files, -1, 0));
    EXPECT_FALSE(MoveFileRow(files, 2, 0));
    EXPECT_FALSE(MoveFileRow(files, 0, 2));
    EXPECT_FALSE(MoveFileRow(files, 0, -1));
    FileList empty;
    EXPECT_FALSE(MoveFileRow(empty, 0, 0));
    EXPECT_EQ(Names(files), (std::vector<std::wstring>{L"a", L"b"}));
}

TEST(GhostSize, AtLeast180By28DpAndWiderForLongNames)
{
    struct Case {
        int textWidth, rowHeight, dpi;
        LONG cx, cy;
    };
    const Case cases[] = {
        {0, 0, 96, 180, 28},    {156, 20, 96, 180, 28},  // 24 + 156 = 180 exactly
        {157, 20, 96, 181, 28}, {400, 35, 96, 424, 35},  // tall rows set the height
        {0, 0, 144, 270, 42},   {300, 30, 144, 336, 42},
    };
    for (const Case& c : cases) {
        const SIZE size = GhostSize(c.textWidth, c.rowHeight, c.dpi);
        EXPECT_EQ(size.cx, c.cx) << c.textWidth << " at " << c.dpi;
        EXPECT_EQ(size.cy, c.cy) << c.rowHeight << " at " << c.dpi;
    }
}

TEST(ClampGrabOffset, KeepsThePointerInsideTheGhost)
{
    struct Case {
        POINT in;
        SIZE ghost;
        POINT out;
    };
    const Case cases[] = {
        {{0, 10}, {180, 28}, {8, 10}},  // grabbed at the row's left end
        {{-30, 10}, {180, 28}, {8, 10}},   {{100, 10}, {180, 28}, {100, 10}},
        {{400, 10}, {180, 28}, {172, 10}},                                   // right of the ghost's width
        {{50, 3}, {180, 28}, {50, 14}},                                      // at the row's top edge: centred
        {{50, 4}, {180, 28}, {50, 4}},     {{50, 40}, {180, 29}, {50, 40}},  // below is left alone
    };
    for (const Case& c : cases) {
        const POINT out = ClampGrabOffset(c.in, c.ghost);
        EXPECT_EQ(out.x, c.out.x) << c.in.x;
        EXPECT_EQ(out.y, c.out.y) << c.in.y;
    }
}

TEST(AutoScrollDelta, OneRowPerMoveInsideTheEdgeZones)
{
    struct Case {
        int y, rowHeight, dpi, delta;
    };
    // Client area 0-300.
    const Case cases[] = {
        {150, 20, 96, 0},  {19, 20, 96, -20},  // zone = max(row, 20 dp) = 20
        {20, 20, 96, 0},   {280, 20, 96, 0},
        {281, 20, 96, 20}, {-50, 20, 96, -20},  // captured pointer above the list
        {900, 20, 96, 20}, {25, 26, 96, -26},   // taller rows widen the zone
        {26, 26, 96, 0},   {29, 18, 144, -18},  // 20 dp at 144 DPI is 30 pixels
        {30, 18, 144, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AutoScrollDelta(c.y, 0, 300, c.rowHeight, c.dpi), c.delta) << "y " << c.y << " dpi " << c.dpi;
    }
}

// --- Real drags on the real main window -------------------------------------------------

// The main window on a folder of files, shown without activation so the lists lay out rows.
class RowDragWindow : public FilesWindowTest {
protected:
    void SetUp() override {}  // each test opens the window on its own files
    void PrepareSettings(AppSettings& settings) override
    {
        settings.rules.prefix.sep = L" - ";
        settings.winW = 1000;
        settings.winH = 760;
    }
    void SetUpWindow(const std::vector<std::wstring>& names)
    {
        for (const std::wstring& name : names) input_.Write(name, "x");
        OpenMainWindow();
        if (HasFatalFailure()) return;
        ShowWindow(g_app.mainWindow, SW_SHOWNOACTIVATE);
        UpdateWindow(g_app.mainWindow);
        ASSERT_EQ(g_app.files.size(), names.size());
        list_ = g_app.listOriginal;
    }

    RECT Row(int row) const
    {
        RECT rect = {};
        rect.left = LVIR_BOUNDS;
        SendMessageW(list_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
        return rect;
    }
    POINT Middle(int row) const
    {
        const RECT r = Row(row);
        return {r.left + 40, (r.top + r.bottom) / 2};
    }
    // What the list view sends its parent once the pointer left the drag threshold.
    void BeginDrag(int row) { NotifyList(list_, LVN_BEGINDRAG, row, 0, Middle(row)); }
    void MoveTo(int x, int y) { SendMessageW(list_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); }
    void MoveToGap(int row, bool lowerHalf)
    {
        const RECT r = Row(row);
        MoveTo(r.left + 40, lowerHalf ? r.bottom - 2 : r.top + 2);
    }
    void Drop() { SendMessageW(list_, WM_LBUTTONUP, 0, MAKELPARAM(40, 40)); }

    static std::vector<std::wstring> Order() { return Names(); }
    bool Selected(HWND list, int row) const
    {
        return SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED | LVIS_FOCUSED) ==
               (LVIS_SELECTED | LVIS_FOCUSED);
    }
    // The gap the drop marker shows: i before row i, the row count after the last; -1 hidden.
    int MarkerGap() const
    {
        HWND marker = DropMarker();
        if (!marker || !IsWindowVisible(marker)) return -1;
        RECT rect;
        GetWindowRect(marker, &rect);
        POINT line = {rect.left, (rect.top + rect.bottom) / 2};
        ScreenToClient(list_, &line);
        const int count = ItemCount(list_);
        for (int gap = 0; gap <= count && count > 0; ++gap) {
            if (line.y == (gap < count ? Row(gap).top : Row(count - 1).bottom)) return gap;
        }
        return -2;  // on no gap
    }
    bool OverlaysHidden() const { return !IsWindowVisible(DragGhost()) && !IsWindowVisible(DropMarker()); }
    static int SortArrows()
    {
        int arrows = 0;
        for (int i = 0; i < 3; ++i) arrows += HeaderFormat(i) != 0;
        return arrows;
    }
    void ExpectIdle() const
    {
        EXPECT_NE(GetCapture(), list_);
        EXPECT_TRUE(OverlaysHidden());
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    }

    HWND list_ = nullptr;
};

const std::vector<std::wstring> kFive = {L"a.txt", L"b.txt", L"c.txt", L"d.txt", L"e.txt"};

TEST_F(RowDragWindow, BeginCapturesTheMouseAndShowsBothOverlays)
{
    SetUpWindow(kFive);
    BeginDrag(2);
    EXPECT_EQ(MarkerGap(), 2);
    EXPECT_EQ(GetCapture(), list_);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZENS));
    ASSERT_NE(DragGhost(), nullptr);
    ASSERT_NE(DropMarker(), nullptr);
    EXPECT_TRUE(IsWindowVisible(DragGhost()));
    EXPECT_TRUE(IsWindowVisible(DropMarker()));
    EXPECT_EQ(Text(DragGhost()), L"c.txt");
    for (HWND overlay : {DragGhost(), DropMarker()}) {
        const LONG_PTR ex = GetWindowLongPtrW(overlay, GWL_EXSTYLE);
        EXPECT_EQ(ex & (WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
                  WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
        EXPECT_EQ(GetParent(overlay), nullptr);
    }
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(DragGhost(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 230);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    ASSERT_TRUE(GetLayeredWindowAttributes(DropMarker(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 255);
    // The overlays never take the mouse.
    EXPECT_EQ(SendMessageW(DragGhost(), WM_NCHITTEST, 0, 0), HTTRANSPARENT);
    RECT ghost;
    GetWindowRect(DragGhost(), &ghost);
    EXPECT_EQ(ghost.right - ghost.left, GhostSize(MeasureTextWidth(L"c.txt"), Row(2).bottom - Row(2).top, 96).cx);
}

TEST_F(RowDragWindow, FirstRowDroppedBelowTheLastMovesToTheEndAndRenumbers)
{
    SetUpWindow(kFive);
    ASSERT_EQ(SortArrows(), 1);  // the scan sorted by name
    BeginDrag(0);
    MoveToGap(4, true);
    EXPECT_EQ(MarkerGap(), 5);
    ASSERT_EQ(GetCapture(), list_);
    Drop();
    ExpectIdle();
    EXPECT_EQ(Order(), (std::vector<std::wstring>{L"b.txt", L"c.txt", L"d.txt", L"e.txt", L"a.txt"}));
    EXPECT_EQ(g_app.files[0].newName, L"001 - b.txt");
    EXPECT_EQ(g_app.files[4].newName, L"005 - a.txt");
    EXPECT_EQ(Cell(g_app.listNew, 0, 0), L"001 - b.txt");
    EXPECT_EQ(Cell(g_app.listNew, 4, 0), L"005 - a.txt");
    EXPECT_EQ(SortArrows(), 0);
    EXPECT_TRUE(Selected(list_, 4));
    EXPECT_TRUE(Selected(g_app.listNew, 4));
    EXPECT_FALSE(Selected(list_, 0));
}

TEST_F(RowDragWindow, LastRowDroppedAboveTheHeaderMovesToTheTop)
{
    SetUpWindow(kFive);
    BeginDrag(4);
    MoveTo(40, -15);  // the capture delivers points above the list
    EXPECT_EQ(MarkerGap(), 0);
    Drop();
    EXPECT_EQ(Order(), (std::vector<std::wstring>{L"e.txt", L"a.txt", L"b.txt", L"c.txt", L"d.txt"}));
    EXPECT_EQ(g_app.files[0].newName, L"001 - e.txt");
    EXPECT_TRUE(Selected(list_, 0));
    EXPECT_TRUE(Selected(g_app.listNew, 0));
}

TEST_F(RowDragWindow, GapFollowsThePointerAndTheMarkerSitsOnIt)
{
    SetUpWindow(kFive);
    BeginDrag(1);
    struct Case {
        int row;
        bool lowerHalf;
        int gap;
    };
    const Case cases[] = {{0, false, 0}, {0, true, 1}, {2, false, 2}, {2, true, 3}, {4, true, 5}, {3, false, 3}};
    for (const Case& c : cases) {
        MoveToGap(c.row, c.lowerHalf);
        EXPECT_EQ(MarkerGap(), c.gap) << "row " << c.row;
        POINT line = {0, c.gap < 5 ? Row(c.gap).top : Row(4).bottom};
        ClientToScreen(list_, &line);
        RECT marker;
        GetWindowRect(DropMarker(), &marker);
        EXPECT_EQ(marker.top, line.y - 1) << "gap " << c.gap;  // 3-pixel bar centred on the line
        EXPECT_EQ(marker.bottom - marker.top, 3);
    }
    SendMessageW(list_, WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(RowDragWindow, DropOnTheRowItselfChangesNothingAndDoesNotReplan)
{
    SetUpWindow(kFive);
    for (bool lowerHalf : {false, true}) {
        g_app.files[2].newName = L"not planned again";
        BeginDrag(2);
        MoveToGap(2, lowerHalf);
        Drop();
        ExpectIdle();
        EXPECT_EQ(Order(), kFive);
        EXPECT_EQ(g_app.files[2].newName, L"not planned again");
        EXPECT_EQ(SortArrows(), 1);
    }
}

TEST_F(RowDragWindow, ListRescannedDuringTheDragIsNotReordered)
{
    SetUpWindow(kFive);
    BeginDrag(0);
    MoveToGap(4, true);
    DeleteFileW((input_ / L"a.txt").c_str());
    Command(40001);  // F5
    ASSERT_EQ(Order(), (std::vector<std::wstring>{L"b.txt", L"c.txt", L"d.txt", L"e.txt"}));
    Drop();
    ExpectIdle();
    EXPECT_EQ(Order(), (std::vector<std::wstring>{L"b.txt", L"c.txt", L"d.txt", L"e.txt"}));
}

TEST_F(RowDragWindow, RightButtonEscAndLostCaptureCancelWithoutMoving)
{
    SetUpWindow(kFive);
    HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    using Cancel = void (*)(HWND list, HWND other);
    const Cancel cancels[] = {
        [](HWND list, HWND) { SendMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(40, 40)); },
        [](HWND list, HWND) { SendMessageW(list, WM_KEYDOWN, VK_ESCAPE, 0); },
        [](HWND, HWND other) { SetCapture(other); },  // another window takes the mouse
    };
    for (Cancel cancel : cancels) {
        BeginDrag(0);
        MoveToGap(3, true);
        ASSERT_TRUE(IsWindowVisible(DropMarker()));
        cancel(list_, other);
        ExpectIdle();
        EXPECT_EQ(Order(), kFive);
        // A later button release is an ordinary click again.
        Drop();
        EXPECT_EQ(Order(), kFive);
        ReleaseCapture();
    }
    DestroyWindow(other);
}

TEST_F(RowDragWindow, ScrolledListKeepsTheGapInViewWhenThePointerLeavesTheRows)
{
    std::vector<std::wstring> many;
    for (int i = 0; i < 60; ++i) many.push_back(L"file" + std::to_wstring(100 + i) + L".txt");
    SetUpWindow(many);
    SendMessageW(list_, LVM_ENSUREVISIBLE, 40, FALSE);
    const int top = static_cast<int>(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0));
    const int perPage = static_cast<int>(SendMessageW(list_, LVM_GETCOUNTPERPAGE, 0, 0));
    ASSERT_GT(top, 5);
    ASSERT_LT(top + perPage, 58);
    BeginDrag(top + 2);
    RECT client;
    GetClientRect(list_, &client);
    const RECT row = Row(top + 3);
    // Left of the list and right of the last column (the capture delivers both): the row under
    // the pointer's height still decides.
    MoveTo(-30, row.bottom - 2);
    EXPECT_EQ(MarkerGap(), top + 4);
    MoveTo(client.right - 2, row.top + 2);
    EXPECT_EQ(MarkerGap(), top + 3);
    MoveTo(2000, row.top + 2);
    EXPECT_EQ(MarkerGap(), top + 3);
    // Over the header: the first row in view, not the end of the list. The move also scrolls up
    // one row, and the marker stays on the list.
    MoveTo(40, Row(top).top - 5);
    EXPECT_EQ(MarkerGap(), top);
    RECT marker, listRect;
    GetWindowRect(DropMarker(), &marker);
    GetWindowRect(list_, &listRect);
    EXPECT_GT(marker.top, listRect.top);
    EXPECT_LT(marker.bottom, listRect.bottom);
    // Far below the list: after the last whole row in view.
    const int topNow = static_cast<int>(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0));
    MoveTo(40, client.bottom + 300);
    EXPECT_EQ(MarkerGap(), topNow + perPage);
    const std::wstring dragged = g_app.files[top + 2].name;
    Drop();
    EXPECT_EQ(g_app.files[topNow + perPage - 1].name, dragged);
}

TEST_F(RowDragWindow, WheelAndKeysScrollingUnderAStillPointerMoveTheGapWithTheRows)
{
    std::vector<std::wstring> many;
    for (int i = 0; i < 60; ++i) many.push_back(L"file" + std::to_wstring(100 + i) + L".txt");
    SetUpWindow(many);
    BeginDrag(1);
    // The pointer rests on the upper half of row 6.
    POINT pointer = {40, Row(6).top + 2};
    ClientToScreen(list_, &pointer);
    SetCursorPos(pointer.x, pointer.y);
    MoveTo(40, Row(6).top + 2);
    ASSERT_EQ(MarkerGap(), 6);
    struct Scroll {
        UINT message;
        WPARAM wParam;
    };
    const Scroll scrolls[] = {
        {WM_MOUSEWHEEL, MAKEWPARAM(MK_LBUTTON, static_cast<WORD>(-WHEEL_DELTA))},  // down
        {WM_MOUSEWHEEL, MAKEWPARAM(MK_LBUTTON, WHEEL_DELTA)},                      // back up
        {WM_KEYDOWN, VK_END},
    };
    for (const Scroll& scroll : scrolls) {
        const int before = static_cast<int>(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0));
        SendMessageW(list_, scroll.message, scroll.wParam, MAKELPARAM(pointer.x, pointer.y));
        const int top = static_cast<int>(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0));
        ASSERT_NE(top, before) << scroll.message;
        EXPECT_EQ(SendMessageW(g_app.listNew, LVM_GETTOPINDEX, 0, 0), top);
        EXPECT_TRUE(DragShown());
        // The same screen point now lies on the upper half of row top + 6.
        EXPECT_EQ(MarkerGap(), 6 + top) << scroll.message;
        POINT line = {0, Row(MarkerGap()).top};
        ClientToScreen(list_, &line);
        RECT marker;
        GetWindowRect(DropMarker(), &marker);
        EXPECT_EQ(marker.top, line.y - 1);
    }
    const std::wstring dragged = g_app.files[1].name;
    const int gap = MarkerGap();
    Drop();
    EXPECT_EQ(g_app.files[gap - 1].name, dragged);
}

// A batch started from the keyboard while the mouse still holds a row: its prompt takes the
// mouse, which ends the drag; the batch's rows keep their places.
TEST_F(RowDragWindow, ABatchStartedMidDragLeavesTheOrder)
{
    SetUpWindow(kFive);
    BeginDrag(0);
    MoveToGap(4, true);
    const std::vector<HeldPost> held = ProcessHeld();
    ExpectIdle();
    Drop();
    EXPECT_EQ(Order(), kFive);
    EXPECT_EQ(Cell(g_app.listNew, 4, 0), L"005 - e.txt");
    DeliverAll(held);
    EXPECT_EQ(Order(), (std::vector<std::wstring>{L"001 - a.txt", L"002 - b.txt", L"003 - c.txt", L"004 - d.txt",
                                                  L"005 - e.txt"}));
}

TEST_F(RowDragWindow, PointerInsideTheBottomEdgeScrollsBothListsOneRowPerMove)
{
    std::vector<std::wstring> many;
    for (int i = 0; i < 60; ++i) many.push_back(L"file" + std::to_wstring(100 + i) + L".txt");
    SetUpWindow(many);
    BeginDrag(0);
    RECT client;
    GetClientRect(list_, &client);
    const int top = static_cast<int>(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0));
    MoveTo(40, client.bottom - 3);
    EXPECT_EQ(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0), top + 1);
    MoveTo(41, client.bottom - 3);
    EXPECT_EQ(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0), top + 2);
    EXPECT_EQ(SendMessageW(g_app.listNew, LVM_GETTOPINDEX, 0, 0), top + 2);
    MoveTo(40, client.bottom / 2);  // outside the zones nothing scrolls
    EXPECT_EQ(SendMessageW(list_, LVM_GETTOPINDEX, 0, 0), top + 2);
    SendMessageW(list_, WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(RowDragWindow, ButtonPressAndMovesOnTheListStartAndFinishADrag)
{
    SetUpWindow(kFive);
    // The list view itself raises the begin-drag notification once the pointer leaves the
    // drag threshold with the button held.
    const POINT start = Middle(1);
    SendMessageW(list_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start.x, start.y));
    for (int dy = 2; dy <= 20 && !DragShown(); dy += 6) MoveTo(start.x, start.y + dy);
    ASSERT_TRUE(DragShown()) << "no LVN_BEGINDRAG from the list view";
    EXPECT_EQ(Text(DragGhost()), L"b.txt");
    MoveToGap(3, true);
    Drop();
    ExpectIdle();
    EXPECT_EQ(Order(), (std::vector<std::wstring>{L"a.txt", L"c.txt", L"d.txt", L"b.txt", L"e.txt"}));
    EXPECT_EQ(g_app.files[3].newName, L"004 - b.txt");
    EXPECT_TRUE(Selected(g_app.listNew, 3));
}

TEST_F(RowDragWindow, GhostFollowsThePointerKeepingTheGrabInsideIt)
{
    SetUpWindow(kFive);
    // Grabbed 2 pixels from the row's left end: the pointer is kept 8 pixels inside the ghost.
    NotifyList(list_, LVN_BEGINDRAG, 1, 0, {Row(1).left + 2, Row(1).top + 6});
    for (POINT pointer : {POINT{300, 300}, POINT{420, 333}}) {
        SetCursorPos(pointer.x, pointer.y);
        POINT actual;
        GetCursorPos(&actual);
        MoveTo(50, 50);
        RECT ghost;
        GetWindowRect(DragGhost(), &ghost);
        EXPECT_EQ(ghost.left, actual.x - 8);
        EXPECT_EQ(ghost.top, actual.y - 6);
    }
    SendMessageW(list_, WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(RowDragWindow, LongNameWidensTheGhost)
{
    const std::wstring longName = std::wstring(90, L'w') + L".txt";
    SetUpWindow({L"a.txt", longName});
    BeginDrag(1);
    RECT ghost;
    GetWindowRect(DragGhost(), &ghost);
    EXPECT_GT(ghost.right - ghost.left, 180);
    EXPECT_EQ(ghost.right - ghost.left, 24 + MeasureTextWidth(longName.c_str()));
    SendMessageW(list_, WM_KEYDOWN, VK_ESCAPE, 0);
}

}  // namespace
