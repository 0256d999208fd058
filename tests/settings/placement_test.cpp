#include "settings/placement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

std::string Show(const PlacementRect& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

PlacementRect Rect(int32_t x, int32_t y, int32_t w, int32_t h)
{
    return {x, y, x + w, y + h};
}

}  // namespace

TEST(FitRectToWorkArea, Table)
{
    const PlacementRect screen{0, 0, 1600, 1000};
    const PlacementRect left{-1920, 0, 0, 1040};  // a monitor left of the primary one
    const PlacementRect offset{100, 50, 1700, 1050};
    struct Row {
        PlacementRect rect;
        PlacementRect work;
        PlacementRect expected;
    };
    const Row rows[] = {
        {Rect(100, 100, 1180, 760), screen, Rect(100, 100, 1180, 760)},    // already visible
        {Rect(0, 0, 3000, 2000), screen, Rect(0, 0, 1600, 1000)},          // shrunk to the work area
        {Rect(500, 600, 1600, 1000), screen, Rect(500, 600, 1600, 1000)},  // exactly as large: kept
        {Rect(-1100, 10, 1180, 760), screen, Rect(-1100, 10, 1180, 760)},  // exactly 80 px visible
        {Rect(-1101, 10, 1180, 760), screen, Rect(0, 10, 1180, 760)},      // 79 px: back to the left edge
        {Rect(10, -681, 1180, 760), screen, Rect(10, 0, 1180, 760)},
        {Rect(10, -680, 1180, 760), screen, Rect(10, -680, 1180, 760)},
        {Rect(1520, 10, 1180, 760), screen, Rect(1520, 10, 1180, 760)},  // left edge 80 px inside
        {Rect(1521, 10, 1180, 760), screen, Rect(420, 10, 1180, 760)},   // flush with the right edge
        {Rect(10, 921, 1180, 760), screen, Rect(10, 240, 1180, 760)},
        {Rect(5000, 5000, 1180, 760), left, Rect(-1180, 280, 1180, 760)},
        {Rect(-5000, -5000, 640, 480), offset, Rect(100, 50, 640, 480)},
        {Rect(3000, 3000, 4000, 3000), offset, Rect(100, 50, 1600, 1000)},  // shrunk, then pulled in
        {Rect(-30000, 500, 20000, 760), screen, Rect(0, 500, 1600, 760)},   // shrunk first, then x + W < 80
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Show(FitRectToWorkArea(r.rect, r.work)), Show(r.expected)) << Show(r.rect) << " on " << Show(r.work);
    }
}

// The saved rectangle is in workspace coordinates: with a taskbar on the left or at the top the
// work area moves to the origin, so the 80 px rule does not fall short by the bar's thickness.
TEST(WorkAreaInWorkspace, TaskbarOnAnySide)
{
    const PlacementRect monitor{0, 0, 1920, 1080};
    struct Row {
        PlacementRect work;
        PlacementRect saved;
        PlacementRect expected;
    };
    const Row rows[] = {
        {{48, 0, 1920, 1080}, Rect(1830, 10, 1000, 700), Rect(872, 10, 1000, 700)},  // taskbar left
        {{0, 40, 1920, 1080}, Rect(10, 980, 1000, 700), Rect(10, 340, 1000, 700)},   // taskbar top
        {{0, 0, 1920, 1040}, Rect(1830, 10, 1000, 700), Rect(1830, 10, 1000, 700)},  // bottom: no shift
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Show(FitRectToWorkArea(r.saved, WorkAreaInWorkspace(r.work, monitor))), Show(r.expected))
            << Show(r.work);
    }
}

TEST(FitRectToWorkArea, ResultAlwaysKeepsEightyPixelsVisible)
{
    const PlacementRect work{-1920, -200, -320, 700};
    for (int32_t x = -40000; x <= 40000; x += 997) {
        for (int32_t y = -40000; y <= 40000; y += 1499) {
            const PlacementRect r = FitRectToWorkArea(Rect(x, y, 1180, 760), work);
            ASSERT_LE(r.right - r.left, work.right - work.left);
            ASSERT_LE(r.bottom - r.top, work.bottom - work.top);
            ASSERT_GE(std::min(r.right, work.right) - std::max(r.left, work.left), kMinVisiblePixels) << x << "," << y;
            ASSERT_GE(std::min(r.bottom, work.bottom) - std::max(r.top, work.top), kMinVisiblePixels) << x << "," << y;
        }
    }
}

TEST(SavedNormalRect, EnforcesMinimumSizeAndStaysInRange)
{
    struct Row {
        int32_t x, y, w, h;
        PlacementRect expected;
    };
    const Row rows[] = {
        {10, 20, 1180, 760, {10, 20, 1190, 780}},
        {10, 20, 100, 100, {10, 20, 650, 500}},
        {-50, -60, 640, 480, {-50, -60, 590, 420}},
        {INT32_MAX, INT32_MAX, 1180, 760, {INT32_MAX - 1180, INT32_MAX - 760, INT32_MAX, INT32_MAX}},
        {INT32_MIN + 1, 0, 1180, 760, {INT32_MIN + 1, 0, INT32_MIN + 1181, 760}},
    };
    for (const Row& r : rows) {
        AppSettings s;
        s.winX = r.x;
        s.winY = r.y;
        s.winW = r.w;
        s.winH = r.h;
        EXPECT_EQ(Show(SavedNormalRect(s)), Show(r.expected)) << r.x << "," << r.y;
    }
}

TEST(HasSavedPlacement, NeedsFlagAndBothCoordinates)
{
    struct Row {
        bool has;
        int32_t x, y;
        bool expected;
    };
    const Row rows[] = {
        {true, 0, 0, true},
        {false, 0, 0, false},
        {true, kUseDefaultPosition, 0, false},
        {true, 0, kUseDefaultPosition, false},
        {true, INT32_MIN + 1, -5, true},
    };
    for (const Row& r : rows) {
        AppSettings s;
        s.hasWindowPos = r.has;
        s.winX = r.x;
        s.winY = r.y;
        EXPECT_EQ(HasSavedPlacement(s), r.expected) << r.has << "," << r.x << "," << r.y;
    }
}

TEST(StoreCapturedPlacement, MinimisedStatesAreStoredAsRestorable)
{
    struct Row {
        uint32_t show, flags;
        bool maximized;
        int32_t stored;
    };
    const Row rows[] = {
        {1, 0, false, 1}, {3, 0, true, 3},  {1, 2, true, 1},  {2, 0, false, 1},  // SW_SHOWMINIMIZED
        {2, 2, true, 3},  {6, 0, false, 1},                                      // SW_MINIMIZE
        {6, 2, true, 3},  {7, 0, false, 1},                                      // SW_SHOWMINNOACTIVE
        {7, 2, true, 3},  {0, 0, false, 0}, {9, 1, false, 9},  // WPF_SETMINPOSITION is not "restore to maximised"
    };
    for (const Row& r : rows) {
        AppSettings s;
        StoreCapturedPlacement(s, r.show, r.flags, {-10, 20, 1270, 820});
        EXPECT_TRUE(s.hasWindowPos);
        EXPECT_EQ(s.winMaximized, r.maximized) << r.show << "/" << r.flags;
        EXPECT_EQ(s.showCmd, r.stored) << r.show << "/" << r.flags;
        EXPECT_EQ(s.winX, -10);
        EXPECT_EQ(s.winY, 20);
        EXPECT_EQ(s.winW, 1280);
        EXPECT_EQ(s.winH, 800);
        EXPECT_EQ(RestoreShowCommand(s), r.maximized ? 3 : 1);
        EXPECT_EQ(RestoreFlags(s), r.maximized ? 2u : 0u);
    }
}
