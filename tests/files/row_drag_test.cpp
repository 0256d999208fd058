// Row dragging: the gap and move arithmetic, then real drags on the real main window.
#include "files/row_drag.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
        {24, 0, 0},   // top edge of row 0
        {33, 0, 0},   // last pixel of the upper half
        {34, 0, 1},   // the middle counts as the lower half
        {43, 0, 1},
        {44, 1, 1},
        {63, 1, 2},
        {64, 2, 2},
        {83, 2, 3},   // lower half of the last row: after it
        {84, -1, 3},  // at the bottom of the last row
        {500, -1, 3},
        {23, -1, 0},  // on the header, above row 0
        {-40, -1, 0}, // above the list
        {50, -1, 3},  // beside the rows (right of the last column)
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DropGapAt(c.y, ThreeRows(c.hitRow)), c.gap) << "y " << c.y << " row " << c.hitRow;
    }
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
        {0, 5, 5, 4},    // first row below the last
        {4, 0, 5, 0},    // last row above the first
        {1, 3, 5, 2},    // down: the gap after row 2 lands at 2
        {3, 1, 5, 1},    // up
        {2, 2, 5, -1},   // on its own upper half
        {2, 3, 5, -1},   // on its own lower half
        {2, -1, 5, 4},   // no gap recorded: to the end
        {0, 0, 1, -1},   // a single row cannot move
        {0, 1, 1, -1},
        {-1, 2, 5, -1},  // no dragged row
        {5, 0, 5, -1},   // the list shrank under the drag
        {0, 6, 5, 4},    // one gap past the end still lands on the last place
        {0, 7, 5, -1},   // further out the drop no longer fits the list
        {0, 3, 0, -1},   // empty list
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DropTargetRow(c.from, c.gap, c.count), c.target)
            << "from " << c.from << " gap " << c.gap << " count " << c.count;
    }
}

std::vector<std::wstring> Names(const FileList& files)
{
    std::vector<std::wstring> names;
    for (const FileEntry& f : files) names.push_back(f.name);
    return names;
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
        {0, 0, 96, 180, 28},
        {156, 20, 96, 180, 28},   // 24 + 156 = 180 exactly
        {157, 20, 96, 181, 28},
        {400, 35, 96, 424, 35},   // tall rows set the height
        {0, 0, 144, 270, 42},
        {300, 30, 144, 336, 42},
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
        {{0, 10}, {180, 28}, {8, 10}},      // grabbed at the row's left end
        {{-30, 10}, {180, 28}, {8, 10}},
        {{100, 10}, {180, 28}, {100, 10}},
        {{400, 10}, {180, 28}, {172, 10}},  // right of the ghost's width
        {{50, 3}, {180, 28}, {50, 14}},     // at the row's top edge: centred
        {{50, 4}, {180, 28}, {50, 4}},
        {{50, 40}, {180, 29}, {50, 40}},    // below is left alone
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
        {150, 20, 96, 0},
        {19, 20, 96, -20},   // zone = max(row, 20 dp) = 20
        {20, 20, 96, 0},
        {280, 20, 96, 0},
        {281, 20, 96, 20},
        {-50, 20, 96, -20},  // captured pointer above the list
        {900, 20, 96, 20},
        {25, 26, 96, -26},   // taller rows widen the zone
        {26, 26, 96, 0},
        {29, 18, 144, -18},  // 20 dp at 144 DPI is 30 pixels
        {30, 18, 144, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AutoScrollDelta(c.y, 0, 300, c.rowHeight, c.dpi), c.delta) << "y " << c.y << " dpi " << c.dpi;
    }
}

}  // namespace
