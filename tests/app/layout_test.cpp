// Layout arithmetic, the minimum window size, the real window at 9/12/15 pt, and the splitter.
#include "app/layout.h"

#include <algorithm>
#include <map>
#include <string>
#include <utility>

#include "app/controls.h"
#include "app/splitter.h"
#include "app/startup.h"
#include "app/theme.h"
#include "tests/support/main_window_fixture.h"

namespace {

// A stand-in for the font: 7 px per character plus the 10 px margin of the real measure.
int FakeMeasure(const wchar_t* text)
{
    return 7 * lstrlenW(text) + 10;
}

std::map<int, Placement> ById(const std::vector<Placement>& placements)
{
    std::map<int, Placement> map;
    for (const Placement& p : placements) map[p.id] = p;
    return map;
}

LayoutInput FakeInput(int clientW, int clientH, int dpi = 96)
{
    LayoutInput in;
    in.dpi = dpi;
    in.clientW = clientW;
    in.clientH = clientH;
    in.rowH = ScaleDp(27, dpi);
    in.statusH = ScaleDp(22, dpi);
    in.splitPct = 50;
    in.measure = FakeMeasure;
    return in;
}

TEST(MinimumWindowSize, ByFontSizeAndDpi)
{
    const struct {
        int fontPt, dpi, width, height;
    } rows[] = {
        {0, 96, 980, 760},     {9, 96, 980, 760},     {11, 96, 980, 760},  {12, 96, 1100, 840},
        {14, 96, 1100, 840},   {15, 96, 1100, 920},   {40, 96, 1100, 920}, {9, 144, 1470, 1140},
        {12, 144, 1650, 1260}, {15, 144, 1650, 1380}, {9, 120, 1225, 950}, {15, 192, 2200, 1840},
    };
    for (const auto& r : rows) {
        const SIZE size = MinimumWindowSize(r.fontPt, r.dpi);
        EXPECT_EQ(size.cx, r.width) << r.fontPt << " pt at " << r.dpi;
        EXPECT_EQ(size.cy, r.height) << r.fontPt << " pt at " << r.dpi;
    }
}

TEST(SplitPanes, KeepsBothPanesAtLeast160Dp)
{
    const struct {
        int contentW, pct, dpi, left, right;
    } rows[] = {
        {1000, 50, 96, 496, 496},  // the split of a 1000 px list area
        {1000, 20, 96, 198, 794}, {1000, 80, 96, 793, 199},  {400, 10, 96, 160, 232},  // left pane grown to its minimum
        {400, 90, 96, 232, 160},                                                       // right pane keeps its minimum
        {300, 50, 96, 132, 160},                              // both cannot fit: the right pane wins
        {328, 50, 96, 160, 160},  {1500, 50, 144, 744, 744},  // 12 px splitter at 144 DPI
        {600, 20, 144, 240, 348},                             // 240 px minimum at 144 DPI
    };
    for (const auto& r : rows) {
        const PaneWidths panes = SplitPanes(r.contentW, r.pct, r.dpi);
        EXPECT_EQ(panes.left, r.left) << r.contentW << " " << r.pct << " " << r.dpi;
        EXPECT_EQ(panes.right, r.right) << r.contentW << " " << r.pct << " " << r.dpi;
    }
}

TEST(SplitPctFromPointer, ClampsTo20And80)
{
    const struct {
        int pointerX, left, right, dpi, pct;
    } rows[] = {
        {508, 12, 1012, 96, 50},   // the middle of a 992 px area
        {0, 12, 1012, 96, 20},     // far left
        {-500, 12, 1012, 96, 20},  // pointer left of the window
        {5000, 12, 1012, 96, 80},  // far right
        {12 + 160, 12, 1012, 96, 20}, {12 + 397, 12, 1012, 96, 40},
        {12 + 793, 12, 1012, 96, 79}, {100, 12, 12 + 327, 96, -1},  // 319 px of area: too narrow to drag
        {100, 12, 12 + 328, 96, 50},                                // exactly 2 x 160: both panes at their minimum
        {0, 0, 1212, 144, 20},        {1212, 0, 1212, 144, 80},
    };
    for (const auto& r : rows)
        EXPECT_EQ(SplitPctFromPointer(r.pointerX, r.left, r.right, r.dpi), r.pct) << r.pointerX << " " << r.right;
}

TEST(ComputeLayout, SeparatorWrapsUnderTheComboWhenNarrow)
{
    for (int clientW : {1000, 600}) {
        const LayoutInput in = FakeInput(clientW, 1000);
        auto map = ById(ComputeLayout(in));
        const int rowStep = in.rowH + 8;
        const Placement combo = map[kIdPrefixType];
        // Right edge of the Pad edit plus a gap, then the separator label and its 90 px edit.
        const int afterPad = map[kIdPrefixPad].x + map[kIdPrefixPad].w + 8;
        const bool wraps = afterPad + 90 + FakeMeasure(L"Separator") > 12 + clientW - 24;
        EXPECT_EQ(wraps, clientW == 600);
        for (int sep : {kIdPrefixSepLabel, kIdSuffixSepLabel}) {
            const Placement typeCombo = map[sep == kIdPrefixSepLabel ? kIdPrefixType : kIdSuffixType];
            EXPECT_EQ(map[sep].y, wraps ? typeCombo.y + rowStep : typeCombo.y) << clientW;
            EXPECT_EQ(map[sep].x, wraps ? typeCombo.x : afterPad) << clientW;
        }
        // The rows below move down by the extra line.
        EXPECT_EQ(map[kIdReplaceEntire].y, combo.y + rowStep * (wraps ? 2 : 1));
        EXPECT_EQ(map[kIdSuffixLabel].y, combo.y + rowStep * (wraps ? 3 : 2));
    }
}

TEST(ComputeLayout, PreviewAreaFillsDownToTheProcessButton)
{
    const LayoutInput in = FakeInput(1200, 800);
    auto map = ById(ComputeLayout(in));
    const Placement process = map[kIdProcess];
    EXPECT_EQ(process.x + process.w, 1200 - 12);
    EXPECT_EQ(process.y + process.h, 800 - in.statusH - 12);
    EXPECT_EQ(process.h, in.rowH + 4);
    const Placement left = map[kIdListOriginal], right = map[kIdListNew], splitter = map[kIdSplitter];
    EXPECT_EQ(left.y + left.h, process.y - 8);
    EXPECT_EQ(right.y, left.y);
    EXPECT_EQ(right.h, left.h);
    EXPECT_EQ(left.x, 12);
    EXPECT_EQ(splitter.x, left.x + left.w);
    EXPECT_EQ(splitter.w, 8);
    EXPECT_EQ(right.x, splitter.x + 8);
    EXPECT_EQ(right.x + right.w, 1200 - 12);
    // The splitter spans the list headings row too.
    EXPECT_EQ(splitter.y, map[kIdOriginalHeading].y);
    EXPECT_EQ(splitter.y + splitter.h, left.y + left.h);
    EXPECT_EQ(map[kIdOriginalHeading].y + in.rowH, left.y);
}

// The client area of the default 1180 x 760 window: the lists keep 9 rows, so every control
// keeps its place (one control of each row, the lists and Process).
TEST(ComputeLayout, AtTheDefaultSizeEveryRowKeepsItsPlace)
{
    auto map = ById(ComputeLayout(FakeInput(1164, 701)));
    const struct {
        int id;
        RECT rect;
    } rows[] = {
        {kIdHeadingMode, {12, 12, 141, 39}},       {kIdModeMove, {312, 41, 482, 68}},
        {kIdHeadingDirs, {12, 76, 99, 103}},       {kIdInputEdit, {134, 105, 1055, 132}},
        {kIdSameAsInput, {957, 140, 1152, 167}},   {kIdHeadingRules, {12, 175, 120, 202}},
        {kIdPrefixSep, {628, 204, 718, 231}},      {kIdReplaceName, {209, 239, 489, 266}},
        {kIdSuffixType, {64, 274, 234, 481}},      {kIdRemoveChars, {553, 309, 713, 336}},
        {kIdNewExt, {468, 344, 558, 371}},         {kIdHeadingPreview, {12, 379, 71, 406}},
        {kIdOriginalHeading, {12, 408, 578, 435}}, {kIdListOriginal, {12, 435, 578, 628}},
        {kIdSplitter, {578, 408, 586, 628}},       {kIdListNew, {586, 435, 1152, 628}},
        {kIdProcess, {1032, 636, 1152, 667}},
    };
    for (const auto& r : rows) {
        const Placement p = map[r.id];
        const RECT actual{p.x, p.y, p.x + p.w, p.y + p.h};
        EXPECT_TRUE(EqualRect(&actual, &r.rect)) << r.id << " at " << p.x << "," << p.y << " " << p.w << " x " << p.h;
    }
}

// Never more than the monitor's work area: on 1920 x 1080 at 144 DPI, or 1366 x 768 with the
// 15 pt font, the full minimum is taller than the screen.
TEST(MinimumWindowSize, NeverMoreThanTheWorkArea)
{
    const struct {
        int fontPt, dpi;
        SIZE work, expected;
    } rows[] = {
        {9, 144, {1920, 1040}, {1470, 1040}}, {15, 144, {1920, 1040}, {1650, 1040}}, {15, 96, {1366, 728}, {1100, 728}},
        {9, 96, {1920, 1040}, {980, 760}},    {9, 96, {800, 600}, {800, 600}},
    };
    for (const auto& r : rows) {
        const SIZE size = MinimumWindowSize(r.fontPt, r.dpi, r.work);
        EXPECT_EQ(size.cx, r.expected.cx) << r.fontPt << " pt at " << r.dpi;
        EXPECT_EQ(size.cy, r.expected.cy) << r.fontPt << " pt at " << r.dpi;
    }
}

TEST(ComputeLayout, CombosAreTall)
{
    const LayoutInput in = FakeInput(1000, 700);
    for (const Placement& p : ComputeLayout(in)) {
        const bool combo =
            p.id == kIdPrefixType || p.id == kIdSuffixType || p.id == kIdCaseCombo || p.id == kIdExtCombo;
        if (combo) {
            EXPECT_EQ(p.h, in.rowH + 180) << p.id;
        }
    }
    EXPECT_EQ(ComboItemHeight(27, 96), 19);
    EXPECT_EQ(ComboItemHeight(20, 96), 18);  // never below 18
    EXPECT_EQ(ComboItemHeight(40, 144), 28);
}

// A font whose capitals are wide: "UPPERCASE" outgrows "Title Case", as with real fonts at
// large sizes. Every combo box must still fit its longest item beside the arrow.
int WideCapitalsMeasure(const wchar_t* text)
{
    int w = 10;
    for (const wchar_t* c = text; *c; ++c) w += (*c >= L'A' && *c <= L'Z') ? 16 : 6;
    return w;
}

TEST(ComputeLayout, CombosFitTheirLongestItem)
{
    LayoutInput in = FakeInput(1400, 800);
    in.measure = WideCapitalsMeasure;
    auto map = ById(ComputeLayout(in));
    // "Letters (A, B, AA)" measures 168 and "UPPERCASE" 154, each with 28 for the arrow; the
    // Extension items stay below its 130 minimum.
    EXPECT_EQ(map[kIdPrefixType].w, 196);
    EXPECT_EQ(map[kIdSuffixType].w, 196);
    EXPECT_EQ(map[kIdCaseCombo].w, 182);
    EXPECT_EQ(map[kIdExtCombo].w, 130);
}

// --- The real window -------------------------------------------------------------------------

using LayoutTest = MainWindowFixture;

// Every child of the window, in Z order.
std::vector<HWND> Children(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

TEST_F(LayoutTest, AtTheMinimumSizeNothingOverlapsAndAllIsInside)
{
    const struct {
        int fontPt, width, height;
    } rows[] = {{9, 980, 760}, {12, 1100, 840}, {15, 1100, 920}};
    for (const auto& r : rows) {
        const int fontPt = r.fontPt;
        SCOPED_TRACE(fontPt);
        g_app.settings.fontPt = fontPt;
        CreateUiFont();
        ApplyTheme();
        SetWindowPos(window_, nullptr, 0, 0, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
        EnforceMinimumWindowSize();
        RECT frame{};
        GetWindowRect(window_, &frame);
        EXPECT_EQ(frame.right - frame.left, r.width);
        EXPECT_EQ(frame.bottom - frame.top, r.height);
        LayoutControls();

        RECT client{};
        GetClientRect(window_, &client);
        std::vector<HWND> children = Children(window_);
        ASSERT_EQ(children.size(), 59u);
        // Nothing scrolls at these sizes: only the rule area's scroll bar is hidden.
        std::erase_if(children, [](HWND child) { return !(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE); });
        ASSERT_EQ(children.size(), 58u);
        for (HWND a : children) {
            const RECT ra = ChildRect(a);
            const int id = GetDlgCtrlID(a);
            EXPECT_GT(ra.right - ra.left, 0) << id;
            EXPECT_GT(ra.bottom - ra.top, 0) << id;
            EXPECT_GE(ra.left, 0) << id;
            EXPECT_GE(ra.top, 0) << id;
            EXPECT_LE(ra.right, client.right) << id;
            EXPECT_LE(ra.bottom, client.bottom) << id;
            for (HWND b : children) {
                if (b <= a) continue;
                RECT rb = ChildRect(b), overlap{};
                EXPECT_FALSE(IntersectRect(&overlap, &ra, &rb)) << id << " overlaps " << GetDlgCtrlID(b);
            }
        }
        // Bigger fonts make taller rows.
        const RECT search = ChildRect(g_app.searchEdit);
        EXPECT_GE(search.bottom - search.top, fontPt == 9 ? 24 : fontPt == 12 ? 29 : 34);
        // The rows the layout counts on are there: the list view shows at least as many.
        const RECT list = ChildRect(g_app.listNew);
        const int counted = ListRowsShown(list.bottom - list.top, UiRowHeight(), 96);
        EXPECT_GE(counted, 5);
        EXPECT_GE(SendMessageW(g_app.listNew, LVM_GETCOUNTPERPAGE, 0, 0), counted);
    }
}

TEST_F(LayoutTest, ProcessStaysBottomRightAboveTheStatusBar)
{
    for (SIZE size : {SIZE{1000, 780}, SIZE{1400, 900}}) {
        SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client{};
        GetClientRect(window_, &client);
        const RECT process = ChildRect(g_app.processButton);
        const RECT status = ChildRect(g_app.statusBar);
        EXPECT_EQ(status.bottom, client.bottom);
        EXPECT_EQ(process.right, client.right - 12);
        EXPECT_EQ(process.bottom, status.top - 12);
        EXPECT_EQ(ChildRect(g_app.listOriginal).bottom, process.top - 8);
        EXPECT_EQ(ChildRect(g_app.listNew).right, client.right - 12);
    }
}

TEST_F(LayoutTest, ComboItemHeightsAndOneStatusPart)
{
    for (int fontPt : {9, 15}) {
        g_app.settings.fontPt = fontPt;
        CreateUiFont();
        for (HWND combo : {g_app.prefixTypeCombo, g_app.suffixTypeCombo, g_app.caseCombo, g_app.extCombo})
            SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 60);  // every layout resets it
        LayoutControls();
        const int expected = ComboItemHeight(UiRowHeight(), 96);
        // The selection field takes the height (Wine adds 2 px of padding); Wine keeps the
        // font's height for the items of a list that is not owner-drawn, so those are not checked.
        for (HWND combo : {g_app.prefixTypeCombo, g_app.suffixTypeCombo, g_app.caseCombo, g_app.extCombo}) {
            const LRESULT field = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
            EXPECT_GE(field, expected) << fontPt;
            EXPECT_LE(field, expected + 2) << fontPt;
        }
    }
    int parts[4] = {};
    EXPECT_EQ(SendMessageW(g_app.statusBar, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(parts)), 1);
    EXPECT_EQ(parts[0], -1);
}

SIZE WorkArea()
{
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return SIZE{work.right - work.left, work.bottom - work.top};
}

TEST_F(LayoutTest, WindowCannotBeMadeSmallerThanTheMinimum)
{
    const struct {
        int fontPt, dpi, width, height;
    } rows[] = {{9, 96, 980, 760},    {12, 96, 1100, 840},   {15, 96, 1100, 920},
                {9, 144, 1470, 1140}, {12, 144, 1650, 1260}, {15, 144, 1650, 1380}};
    const SIZE work = WorkArea();
    for (const auto& r : rows) {
        g_app.settings.fontPt = r.fontPt;
        g_app.dpi = r.dpi;
        MINMAXINFO info{};
        SendMessageW(window_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        // The test display's work area is smaller than the 144 DPI minimum.
        EXPECT_EQ(info.ptMinTrackSize.x, std::min<int>(r.width, work.cx)) << r.fontPt << " " << r.dpi;
        EXPECT_EQ(info.ptMinTrackSize.y, std::min<int>(r.height, work.cy)) << r.fontPt << " " << r.dpi;
    }
    g_app.dpi = 96;
    g_app.settings.fontPt = 9;
    SetWindowPos(window_, nullptr, 40, 30, 500, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT frame{};
    GetWindowRect(window_, &frame);
    EXPECT_EQ(frame.right - frame.left, 980);
    EXPECT_EQ(frame.bottom - frame.top, 760);
}

TEST_F(LayoutTest, EnforcingTheMinimumGrowsOnlyWhatIsTooSmallAndKeepsTheCorner)
{
    SetWindowPos(window_, nullptr, 50, 40, 1300, 780, SWP_NOZORDER | SWP_NOACTIVATE);
    g_app.settings.fontPt = 15;  // as the font-size command does before enforcing
    EnforceMinimumWindowSize();
    RECT frame{};
    GetWindowRect(window_, &frame);
    EXPECT_EQ(frame.left, 50);
    EXPECT_EQ(frame.top, 40);
    EXPECT_EQ(frame.right - frame.left, 1300);  // already wide enough
    EXPECT_EQ(frame.bottom - frame.top, 920);
}

TEST_F(LayoutTest, NarrowWindowWrapsTheSeparatorsAndWideningBringsThemBack)
{
    // Without a minimum a narrow window wraps; MoveWindow of a child bypasses the frame's limits,
    // so the arithmetic is driven with the real font through the layout input instead.
    LayoutInput in;
    in.clientW = 560;
    in.clientH = 700;
    in.rowH = 27;
    in.measure = MeasureTextWidth;
    auto narrow = ById(ComputeLayout(in));
    EXPECT_GT(narrow[kIdPrefixSep].y, narrow[kIdPrefixType].y);
    EXPECT_EQ(narrow[kIdPrefixSepLabel].x, narrow[kIdPrefixType].x);
    in.clientW = 1100;
    auto wide = ById(ComputeLayout(in));
    EXPECT_EQ(wide[kIdPrefixSep].y, wide[kIdPrefixType].y);
    EXPECT_EQ(wide[kIdSuffixSep].y, wide[kIdSuffixType].y);
}

TEST_F(LayoutTest, MeasureTextWidthFallsBackWithoutFontOrText)
{
    EXPECT_EQ(MeasureTextWidth(L""), 80);
    EXPECT_EQ(MeasureTextWidth(nullptr), 80);
    const int shortW = MeasureTextWidth(L"Pad");
    const int longW = MeasureTextWidth(L"Same as input directory");
    EXPECT_GT(shortW, 10);
    EXPECT_GT(longW, shortW);
    HFONT font = g_app.uiFont;
    g_app.uiFont = nullptr;
    EXPECT_EQ(MeasureTextWidth(L"Pad"), 80);
    g_app.dpi = 144;
    EXPECT_EQ(MeasureTextWidth(L"Pad"), 120);
    g_app.dpi = 96;
    g_app.uiFont = font;
}

// --- The splitter, driven by mouse messages --------------------------------------------------

LPARAM At(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

COLORREF PixelAt(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

// Whether the splitter shows its highlight (light theme), read from what it paints.
bool Highlighted(HWND splitter)
{
    RedrawWindow(splitter, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return PixelAt(splitter, 0, 0) == RGB(200, 200, 200);
}

TEST_F(LayoutTest, SplitterDragClampsAndSavesOnRelease)
{
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    HWND splitter = g_app.splitter;
    SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, At(2, 20));
    EXPECT_TRUE(Highlighted(splitter));
    EXPECT_EQ(GetCapture(), splitter);
    SendMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, At(-2000, 20));
    EXPECT_EQ(g_app.settings.splitPct, 20);
    {
        const RECT left = ChildRect(g_app.listOriginal), right = ChildRect(g_app.listNew);
        EXPECT_EQ(left.right - left.left, SplitPanes(right.right - left.left, 20, 96).left);
    }
    SendMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, At(3000, 20));
    EXPECT_EQ(g_app.settings.splitPct, 80);
    // Moving without the button held does not drag.
    SendMessageW(splitter, WM_MOUSEMOVE, 0, At(-2000, 20));
    EXPECT_EQ(g_app.settings.splitPct, 80);
    EXPECT_FALSE(SettingsFileExists());
    SendMessageW(splitter, WM_LBUTTONUP, 0, At(3000, 20));
    EXPECT_NE(GetCapture(), splitter);
    EXPECT_NE(TempDir::ReadFileBytes(settingsPath_).find("\"splitPct\": 80"), std::string::npos);

    // The next start lays the lists out with the saved split.
    DestroyMainWindowForTest();
    g_app.settings = DefaultSettings();
    ASSERT_TRUE(LoadSettings(settingsPath_, g_app.settings));
    ASSERT_TRUE(ReopenMainWindow());
    EXPECT_EQ(g_app.settings.splitPct, 80);
    const RECT left = ChildRect(g_app.listOriginal), right = ChildRect(g_app.listNew);
    EXPECT_EQ(left.right - left.left, SplitPanes(right.right - left.left, 80, 96).left);
}

TEST_F(LayoutTest, ASecondQuickPressDragsToo)
{
    HWND splitter = g_app.splitter;
    // The static class asks for double clicks, so the second press of a quick pair arrives as one.
    ASSERT_NE(GetClassLongPtrW(splitter, GCL_STYLE) & CS_DBLCLKS, 0u);
    SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, At(2, 20));
    SendMessageW(splitter, WM_LBUTTONUP, 0, At(2, 20));
    SendMessageW(splitter, WM_LBUTTONDBLCLK, MK_LBUTTON, At(2, 20));
    EXPECT_EQ(GetCapture(), splitter);
    SendMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, At(-2000, 20));
    EXPECT_EQ(g_app.settings.splitPct, 20);
    SendMessageW(splitter, WM_LBUTTONUP, 0, At(-2000, 20));
    EXPECT_NE(GetCapture(), splitter);
}

TEST_F(LayoutTest, LosingTheCaptureEndsTheDragAndSaves)
{
    HWND splitter = g_app.splitter;
    SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, At(2, 20));
    SendMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, At(-2000, 20));
    SetCapture(g_app.listNew);  // as when another window takes the mouse
    EXPECT_NE(TempDir::ReadFileBytes(settingsPath_).find("\"splitPct\": 20"), std::string::npos);
    ReleaseCapture();
    SendMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, At(3000, 20));
    EXPECT_EQ(g_app.settings.splitPct, 20) << "the drag has ended";
    SendMessageW(splitter, WM_MOUSELEAVE, 0, 0);
    // A release after the drag has ended changes nothing.
    DeleteSettingsFile();
    SendMessageW(splitter, WM_LBUTTONUP, 0, At(2, 20));
    EXPECT_FALSE(SettingsFileExists());
}

TEST_F(LayoutTest, SplitterCursorAndHoverState)
{
    HWND splitter = g_app.splitter;
    EXPECT_EQ(
        SendMessageW(splitter, WM_SETCURSOR, reinterpret_cast<WPARAM>(splitter), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
        1);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZEWE));
    EXPECT_EQ(SendMessageW(splitter, WM_ERASEBKGND, 0, 0), 1);
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    EXPECT_FALSE(Highlighted(splitter));
    SendMessageW(splitter, WM_MOUSEMOVE, 0, At(3, 30));
    EXPECT_TRUE(Highlighted(splitter));
    SendMessageW(splitter, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(Highlighted(splitter));
    // While dragging, leaving the splitter keeps it highlighted.
    SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, At(2, 20));
    SendMessageW(splitter, WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(Highlighted(splitter));
    SendMessageW(splitter, WM_LBUTTONUP, 0, At(-300, 20));
}

TEST_F(LayoutTest, AfterADragTheHighlightStaysOnlyWhileThePointerIsOnTheSplitter)
{
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    HWND splitter = g_app.splitter;
    RECT rect{};
    GetClientRect(splitter, &rect);
    const struct {
        const char* how;
        int x, y;
        bool captureLost;
        bool hot;
    } rows[] = {
        {"released on it", 2, 20, false, true},
        {"released on its last column", rect.right - 1, rect.bottom - 1, false, true},
        {"released left of it", -300, 20, false, false},
        {"released just right of it", rect.right, 20, false, false},
        {"released below it", 2, rect.bottom, false, false},
        {"released above it", 2, -1, false, false},
        {"capture taken by another window", 2, 20, true, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.how);
        SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, At(2, 20));
        SendMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, At(r.x, r.y));
        if (r.captureLost) {
            SetCapture(g_app.listNew);
            ReleaseCapture();
        } else {
            SendMessageW(splitter, WM_LBUTTONUP, 0, At(r.x, r.y));
        }
        EXPECT_NE(GetCapture(), splitter);
        EXPECT_EQ(Highlighted(splitter), r.hot);
        SendMessageW(splitter, WM_MOUSELEAVE, 0, 0);
    }
}

TEST_F(LayoutTest, SplitterPaintsItsStateAndThemeColours)
{
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    HWND splitter = g_app.splitter;
    RECT rect{};
    GetClientRect(splitter, &rect);
    const int cx = rect.right / 2, cy = rect.bottom / 2;
    const COLORREF hot = GetSysColor(COLOR_HOTLIGHT);
    enum Pointer { Away, Over, Pressed };
    const struct {
        bool dark;
        Pointer pointer;
        COLORREF back, line, grip;
    } rows[] = {
        {false, Away, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_WINDOWTEXT)},
        {false, Over, RGB(200, 200, 200), hot, hot},
        {false, Pressed, RGB(200, 200, 200), hot, hot},
        {true, Away, RGB(37, 37, 37), RGB(70, 70, 70), RGB(255, 255, 255)},
        {true, Over, RGB(70, 70, 70), hot, hot},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "dark " << r.dark << " pointer " << r.pointer);
        g_app.settings.darkTheme = r.dark;
        if (r.pointer == Over) SendMessageW(splitter, WM_MOUSEMOVE, 0, At(2, 20));
        if (r.pointer == Pressed) SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, At(2, 20));
        RedrawWindow(splitter, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(PixelAt(splitter, 0, 0), r.back);
        EXPECT_EQ(PixelAt(splitter, cx, 11), r.line);      // the line starts 10 px down
        EXPECT_EQ(PixelAt(splitter, cx, 9), r.back);       // and not before
        EXPECT_EQ(PixelAt(splitter, cx + 1, cy), r.grip);  // the middle grip dot, 3 px wide
        EXPECT_EQ(PixelAt(splitter, cx - 1, cy + 10), r.grip);
        EXPECT_EQ(PixelAt(splitter, cx + 1, cy + 3), r.back);  // between two dots
        SendMessageW(splitter, WM_LBUTTONUP, 0, At(-300, 20));
        SendMessageW(splitter, WM_MOUSELEAVE, 0, 0);
    }
}

// A screen's work area with a 48 dp taskbar, a window on it (as large as the work area or at its
// minimum) and the layout's input for that window with the real font of that DPI and size.
struct ScreenSetup {
    int screenW, screenH, dpi, fontPt;
    bool atMinimum;
};

LayoutInput RealInput(const ScreenSetup& s, SIZE* work = nullptr)
{
    g_app.dpi = s.dpi;
    g_app.settings.fontPt = s.fontPt;
    CreateUiFont();
    const SIZE area{s.screenW, s.screenH - ScaleDp(48, s.dpi)};
    if (work) *work = area;
    const SIZE window = s.atMinimum ? MinimumWindowSize(s.fontPt, s.dpi, area) : area;
    LayoutInput in;
    in.dpi = s.dpi;
    in.clientW = window.cx - ScaleDp(16, s.dpi);  // frame borders
    in.clientH = window.cy - ScaleDp(62, s.dpi);  // caption, menu and borders
    in.rowH = UiRowHeight();
    in.statusH = in.rowH - ScaleDp(4, s.dpi);  // the status bar follows the font too
    in.splitPct = 50;
    in.measure = MeasureTextWidth;
    return in;
}

// The rows a set-up must keep: 8 on the screens people name, 5 on a 1920 x 1080 screen at 200 %.
int WantedRows(const ScreenSetup& s)
{
    const struct {
        int w, h, dpi, fontPt, rows;
    } named[] = {{1366, 768, 120, 12, 8},  {1280, 720, 96, 12, 8},  {1920, 1080, 144, 12, 8},
                 {1920, 1080, 144, 15, 8}, {1600, 900, 120, 15, 8}, {1920, 1080, 192, 12, 5}};
    for (const auto& n : named) {
        if (!s.atMinimum && n.w == s.screenW && n.h == s.screenH && n.dpi == s.dpi && n.fontPt == s.fontPt)
            return n.rows;
    }
    return 3;
}

// What every layout must hold: controls shown inside the client area and apart (a combo box's
// window is one row high, its list drops down), only rule lines hidden, the lists' rows, both
// directory edits 40 % of the width, and the controls read in creation order, which is the
// Tab order: left to right along a line, then line by line.
void CheckLayout(const LayoutInput& in, const std::vector<Placement>& placements, int wantedRows)
{
    std::map<int, Placement> at = ById(placements);
    ASSERT_EQ(placements.size(), 58u);  // every child but the status bar, which places itself
    std::vector<std::pair<int, RECT>> shown;
    for (const Placement& p : placements) {
        if (p.hidden) {
            EXPECT_TRUE(p.scrollLine >= 0 || p.id == kIdRuleScroll) << p.id << " hidden";
            continue;
        }
        const bool combo =
            p.id == kIdPrefixType || p.id == kIdSuffixType || p.id == kIdCaseCombo || p.id == kIdExtCombo;
        shown.push_back({p.id, RECT{p.x, p.y, p.x + p.w, p.y + (combo ? in.rowH : p.h)}});
    }
    for (size_t i = 0; i < shown.size(); ++i) {
        const RECT& a = shown[i].second;
        EXPECT_GT(a.right - a.left, 0) << shown[i].first;
        EXPECT_GE(a.left, 0) << shown[i].first;
        EXPECT_GE(a.top, 0) << shown[i].first;
        EXPECT_LE(a.right, in.clientW) << shown[i].first;
        EXPECT_LE(a.bottom, in.clientH - in.statusH) << shown[i].first;
        for (size_t j = i + 1; j < shown.size(); ++j) {
            RECT overlap{};
            EXPECT_FALSE(IntersectRect(&overlap, &a, &shown[j].second))
                << shown[i].first << " overlaps " << shown[j].first;
        }
    }
    EXPECT_GE(ListRowsShown(at[kIdListOriginal].h, in.rowH, in.dpi), wantedRows);
    EXPECT_GE(at[kIdInputEdit].w * 5, in.clientW * 2);
    EXPECT_GE(at[kIdOutputEdit].w * 5, in.clientW * 2);
    const Placement* before = nullptr;
    for (const ControlRow& row : ControlTable()) {
        if (row.id == kIdRuleScroll) break;  // the form above the lists
        const Placement& p = at[row.id];
        if (p.hidden) continue;
        if (before) {
            EXPECT_TRUE(p.y > before->y || (p.y == before->y && p.x > before->x))
                << p.id << " reads before " << before->id;
        }
        before = &p;
    }
}

// Work areas from 1024 x 768 to 3840 x 2160, every DPI from 96 to 240 and every font size, with
// the font of the process measured at that DPI; each window as large as its work area and at its
// minimum. Screens narrower than 700 dp or lower than 480 dp at a DPI are left out: no system
// offers such a scale for them (and at 15 pt a rule line and 3 list rows would not fit).
TEST_F(LayoutTest, OnEveryScreenTheListsKeepTheirRowsAndNothingOverlaps)
{
    const SIZE screens[] = {{1024, 768},  {1280, 720},  {1280, 800},  {1280, 1024}, {1366, 768},
                            {1440, 900},  {1536, 864},  {1600, 900},  {1680, 1050}, {1920, 1080},
                            {1920, 1200}, {2560, 1440}, {3440, 1440}, {3840, 2160}};
    int checked = 0;
    for (const SIZE screen : screens) {
        for (int dpi : {96, 120, 144, 192, 240}) {
            if (screen.cx * 96 / dpi < 700 || screen.cy * 96 / dpi < 480) continue;
            for (int fontPt : {9, 12, 15}) {
                for (bool atMinimum : {false, true}) {
                    const ScreenSetup setup{screen.cx, screen.cy, dpi, fontPt, atMinimum};
                    SCOPED_TRACE(testing::Message() << screen.cx << " x " << screen.cy << " at " << dpi << ", "
                                                    << fontPt << " pt" << (atMinimum ? ", minimum size" : ""));
                    const LayoutInput in = RealInput(setup);
                    // Scrolled to the top, and as far down as the rule area goes.
                    RuleScroll scroll;
                    CheckLayout(in, ComputeLayout(in, &scroll), WantedRows(setup));
                    LayoutInput end = in;
                    end.scrollLine = 100;
                    CheckLayout(end, ComputeLayout(end), WantedRows(setup));
                    ++checked;
                }
            }
        }
    }
    EXPECT_GT(checked, 250);
}

}  // namespace

namespace {

bool Shown(HWND control)
{
    return (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

// The form's enabled Tab stops in creation order, which is the Tab order.
std::vector<HWND> FormTabStops()
{
    std::vector<HWND> stops;
    for (const ControlRow& row : ControlTable()) {
        if (row.id == kIdRuleScroll) break;
        HWND control = ControlById(row.id);
        if ((GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP) && IsWindowEnabled(control)) stops.push_back(control);
    }
    return stops;
}

// How far below its top a control's first dark pixel (its text) lies; -1 when it shows none.
int InkTop(HWND control)
{
    RECT client{};
    GetClientRect(control, &client);
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(control);
    int top = -1;
    for (int y = 0; y < client.bottom && top < 0; ++y) {
        for (int x = 0; x < client.right && top < 0; ++x) {
            const COLORREF pixel = GetPixel(dc, x, y);
            if (GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel) < 3 * 96) top = y;
        }
    }
    ReleaseDC(control, dc);
    return top;
}

// The six headings draw their text at the top of their row; a label beside an edit, as high,
// draws it lower, level with the edit's text.
TEST_F(LayoutTest, HeadingsKeepTheirTextAtTheTop)
{
    ShowReady();
    const int label = InkTop(ControlById(kIdInputLabel));
    ASSERT_GT(label, 0);
    for (int id :
         {kIdHeadingMode, kIdHeadingDirs, kIdHeadingRules, kIdHeadingPreview, kIdOriginalHeading, kIdNewHeading}) {
        const int heading = InkTop(ControlById(id));
        EXPECT_GE(heading, 0) << id;
        EXPECT_LE(heading + 3, label) << id;
    }
}

// A window whose rules do not fit above the lists (144 DPI, 15 pt, capped at the test screen):
// the rule area scrolls by its bar, by the wheel over it, and by Tab and Shift+Tab reaching a
// control out of view; the lists keep their 8 rows and nothing shown overlaps.
TEST_F(LayoutTest, TheRuleAreaScrollsByItsBarTheWheelAndTab)
{
    g_app.dpi = 144;
    g_app.settings.fontPt = 15;
    CreateUiFont();
    ShowReady();
    SetWindowPos(window_, nullptr, 0, 0, 1600, 1000, SWP_NOZORDER | SWP_NOACTIVATE);
    HWND bar = ControlById(kIdRuleScroll);
    ASSERT_TRUE(Shown(bar));
    EXPECT_GE(ListRowsShown(ChildRect(g_app.listNew).bottom - ChildRect(g_app.listNew).top, UiRowHeight(), 144), 8);
    EXPECT_TRUE(Shown(g_app.modeRename));
    EXPECT_FALSE(Shown(g_app.caseCombo));

    // Turning the wheel over the form scrolls it; over the lists it does not.
    POINT overForm{ChildRect(bar).left - 4, ChildRect(bar).top + 4}, overList{ChildRect(g_app.listNew).left + 4, 0};
    overList.y = ChildRect(g_app.listNew).top + 4;
    ClientToScreen(window_, &overForm);
    ClientToScreen(window_, &overList);
    SendMessageW(window_, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA * 20), MAKELPARAM(overList.x, overList.y));
    EXPECT_FALSE(Shown(g_app.caseCombo));
    SendMessageW(window_, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA * 20), MAKELPARAM(overForm.x, overForm.y));
    EXPECT_TRUE(Shown(g_app.caseCombo));
    EXPECT_FALSE(Shown(g_app.modeRename));
    SCROLLINFO info{sizeof(info), SIF_ALL};
    GetScrollInfo(bar, SB_CTL, &info);
    EXPECT_EQ(info.nPos + static_cast<int>(info.nPage), info.nMax + 1) << "at the end";
    SendMessageW(window_, WM_VSCROLL, SB_LINEUP, reinterpret_cast<LPARAM>(bar));
    GetScrollInfo(bar, SB_CTL, &info);
    EXPECT_EQ(info.nPos + static_cast<int>(info.nPage), info.nMax);
    SendMessageW(window_, WM_VSCROLL, SB_TOP, reinterpret_cast<LPARAM>(bar));
    EXPECT_TRUE(Shown(g_app.modeRename));
    EXPECT_FALSE(Shown(g_app.caseCombo));
    // A wheel message for the focused edit, over the form, scrolls the form too.
    MSG wheel{g_app.inputEdit, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA * 20), MAKELPARAM(overForm.x, overForm.y)};
    EXPECT_TRUE(TranslateMainWindowMessage(window_, nullptr, &wheel));
    EXPECT_TRUE(Shown(g_app.caseCombo));
    SendMessageW(window_, WM_VSCROLL, SB_TOP, reinterpret_cast<LPARAM>(bar));
    // While an open drop-down list or a drag holds the mouse, the wheel is theirs.
    SetCapture(g_app.caseCombo);
    SendMessageW(window_, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA * 20), MAKELPARAM(overForm.x, overForm.y));
    ReleaseCapture();
    EXPECT_TRUE(Shown(g_app.modeRename)) << "the form scrolled under a captured mouse";
    // The control that had the focus when the window was left, scrolled away meanwhile, comes
    // back into view when the window is active again.
    SetFocus(g_app.modeRename);
    SendMessageW(window_, WM_ACTIVATE, WA_INACTIVE, 0);
    SendMessageW(window_, WM_VSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(bar));
    ASSERT_FALSE(Shown(g_app.modeRename));
    SendMessageW(window_, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(Shown(g_app.modeRename));
    EXPECT_EQ(GetFocus(), g_app.modeRename);
    SendMessageW(window_, WM_VSCROLL, SB_TOP, reinterpret_cast<LPARAM>(bar));

    // Tab from the last control in view, then Shift+Tab from the first one at the end.
    for (bool backwards : {false, true}) {
        SCOPED_TRACE(backwards ? "Shift+Tab" : "Tab");
        if (backwards) SendMessageW(window_, WM_VSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(bar));
        std::vector<HWND> stops = FormTabStops();
        if (backwards) std::reverse(stops.begin(), stops.end());
        const auto next = std::find_if(stops.begin(), stops.end(), [&](HWND c) { return Shown(c); });
        const auto from = std::find_if(next, stops.end(), [&](HWND c) { return !Shown(c); }) - 1;
        ASSERT_TRUE(from + 1 != stops.end());
        HWND to = *(from + 1);
        RevealNextTabStop(*from, backwards);
        EXPECT_TRUE(Shown(to));
        EXPECT_EQ(GetNextDlgTabItem(window_, *from, backwards), to) << "dialog navigation goes there";
    }
    for (HWND a : Children(window_)) {
        for (HWND b : Children(window_)) {
            RECT ra = ChildRect(a), rb = ChildRect(b), overlap{};
            if (a < b && Shown(a) && Shown(b)) {
                EXPECT_FALSE(IntersectRect(&overlap, &ra, &rb)) << GetDlgCtrlID(a) << " overlaps " << GetDlgCtrlID(b);
            }
        }
    }
    g_app.dpi = 96;
}

}  // namespace
