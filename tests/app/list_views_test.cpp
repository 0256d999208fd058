// Cell texts, row colours and column widths of the list views, without the window.
#include "app/list_views.h"
#include "engine/date_text.h"

#include <gtest/gtest.h>

namespace {

FileEntry Row()
{
    FileEntry row;
    row.name = L"photo.JPG";
    row.size = 1536;
    row.extension = L".JPG";
    row.newName = L"001photo.JPG";
    row.targetPath = L"C:\\out\\001photo.JPG";
    return row;
}

// Asks for one cell the way the list view does.
std::wstring Ask(const FileList& rows, int item, int subItem, bool isOriginal, int bufferSize = 260,
                 UINT mask = LVIF_TEXT)
{
    wchar_t buffer[260] = L"untouched";
    NMLVDISPINFOW info = {};
    info.item.mask = mask;
    info.item.iItem = item;
    info.item.iSubItem = subItem;
    info.item.pszText = buffer;
    info.item.cchTextMax = bufferSize;
    FillDisplayTextFrom(rows, &info, isOriginal);
    return buffer;
}

}  // namespace

TEST(FormatSizeText, UnitsAndBoundaries)
{
    const struct {
        uint64_t size;
        const wchar_t* text;
    } cases[] = {
        {0, L"0 B"},
        {1023, L"1023 B"},
        {1024, L"1.0 KB"},
        {1536, L"1.5 KB"},
        {(1ull << 20) - 1, L"1024.0 KB"},
        {1ull << 20, L"1.0 MB"},
        {(1ull << 30) - 1, L"1024.0 MB"},
        {1ull << 30, L"1.00 GB"},
        {1ull << 41, L"2048.00 GB"},
        {5ull << 32, L"20.00 GB"},  // above 32 bits
        {~0ull, L"17179869184.00 GB"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatSizeText(c.size), c.text) << c.size;
}

TEST(CellText, EveryColumnOfBothLists)
{
    FileEntry row = Row();
    FileEntry bare = Row();
    bare.extension.clear();
    FileEntry failed = Row();
    failed.status = ItemStatus::Failed;
    failed.statusText = L"Access is denied.";
    FileEntry duplicate = Row();
    duplicate.status = ItemStatus::Duplicate;

    const struct {
        const FileEntry* row;
        bool isOriginal;
        int subItem;
        std::wstring text;
    } cases[] = {
        {&row, true, 0, L"photo.JPG"},
        {&row, true, 1, L"1.5 KB"},
        {&row, true, 2, L".JPG"},
        {&row, true, 7, L".JPG"},  // any other sub-item is the Ext column
        {&bare, true, 2, L"(none)"},
        {&row, false, 0, L"001photo.JPG"},
        {&row, false, 1, L"C:\\out\\001photo.JPG"},
        {&row, false, 2, StatusDisplayText(ItemStatus::Ready)},
        {&duplicate, false, 2, StatusDisplayText(ItemStatus::Duplicate)},
        {&failed, false, 2, L"Access is denied."},  // the row's own text wins
    };
    for (const auto& c : cases) EXPECT_EQ(CellText(*c.row, c.isOriginal, c.subItem), c.text) << c.subItem;

    // "Modified": the user's short date and short time, so the seconds (37) are not shown.
    row.modified = TicksFromCivil({2024, 5, 17, 13, 45, 37});
    const std::wstring modified = CellText(row, true, 3);
    for (const wchar_t* part : {L"2024", L"17", L"45"})
        EXPECT_NE(modified.find(part), std::wstring::npos) << part << " in " << modified;
    EXPECT_EQ(modified.find(L"37"), std::wstring::npos) << modified;
    EXPECT_EQ(CellText(bare, true, 3), L"") << "no time from the listing";
}

TEST(FillDisplayTextFrom, CopiesTruncatesAndRefuses)
{
    const FileList rows = {Row()};
    EXPECT_EQ(Ask(rows, 0, 0, true), L"photo.JPG");
    EXPECT_EQ(Ask(rows, 0, 0, true, 6), L"photo");  // cut to the buffer, terminator included
    EXPECT_EQ(Ask(rows, 0, 0, true, 1), L"");
    EXPECT_EQ(Ask(rows, 0, 0, true, 0), L"untouched");  // no room at all: nothing is written
    EXPECT_EQ(Ask(rows, 0, 0, true, -5), L"untouched");
    EXPECT_EQ(Ask(rows, 1, 0, true), L"untouched");  // past the end
    EXPECT_EQ(Ask(rows, -1, 0, true), L"untouched");
    EXPECT_EQ(Ask(rows, 0, 0, true, 260, LVIF_STATE), L"untouched");  // no text asked for
    EXPECT_EQ(Ask(FileList(), 0, 0, false), L"untouched");

    NMLVDISPINFOW noBuffer = {};
    noBuffer.item.mask = LVIF_TEXT;
    noBuffer.item.cchTextMax = 10;
    FillDisplayTextFrom(rows, &noBuffer, true);  // must not write through a null pointer
    FillDisplayTextFrom(rows, nullptr, true);
}

TEST(PickRowColours, DarkTheme)
{
    const COLORREF white = RGB(255, 255, 255);
    const struct {
        bool selected;
        ItemStatus status;
        COLORREF background;
        COLORREF text;
    } cases[] = {
        {true, ItemStatus::Failed, RGB(52, 52, 52), white},
        {false, ItemStatus::Ready, RGB(32, 32, 32), white},
        {false, ItemStatus::Skipped, RGB(32, 32, 32), white},
        {false, ItemStatus::Unchanged, RGB(32, 32, 32), RGB(180, 180, 180)},
        {false, ItemStatus::Duplicate, RGB(32, 32, 32), RGB(255, 170, 170)},
        {false, ItemStatus::InvalidName, RGB(32, 32, 32), RGB(255, 170, 170)},
        {false, ItemStatus::Failed, RGB(32, 32, 32), RGB(255, 170, 170)},
        {false, ItemStatus::TargetExists, RGB(32, 32, 32), RGB(255, 210, 150)},
        {false, ItemStatus::Done, RGB(32, 32, 32), RGB(160, 220, 180)},
    };
    for (const auto& c : cases) {
        const RowColours colours = PickRowColours(true, c.selected, &c.status);
        EXPECT_EQ(colours.background, c.background) << static_cast<int>(c.status);
        EXPECT_EQ(colours.text, c.text) << static_cast<int>(c.status);
    }
}

TEST(PickRowColours, LightThemeAndRowsOutsideTheList)
{
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    const struct {
        bool selected;
        ItemStatus status;
        COLORREF background;
        COLORREF text;
    } cases[] = {
        {true, ItemStatus::Done, RGB(232, 232, 232), text},
        {false, ItemStatus::Ready, window, text},
        {false, ItemStatus::Unchanged, window, RGB(96, 96, 96)},
        {false, ItemStatus::Duplicate, window, RGB(176, 0, 32)},
        {false, ItemStatus::TargetExists, window, RGB(176, 96, 0)},
        {false, ItemStatus::Done, window, RGB(16, 128, 48)},
    };
    for (const auto& c : cases) {
        const RowColours colours = PickRowColours(false, c.selected, &c.status);
        EXPECT_EQ(colours.background, c.background) << static_cast<int>(c.status);
        EXPECT_EQ(colours.text, c.text) << static_cast<int>(c.status);
    }
    const RowColours outside = PickRowColours(true, false, nullptr);
    EXPECT_EQ(outside.background, RGB(32, 32, 32));
    EXPECT_EQ(outside.text, RGB(255, 255, 255));
}

TEST(ComputeColumnWidths, StoredOrShares)
{
    const struct {
        int client;
        int32_t stored[4];
        bool isOriginal;
        int expected[4];
    } cases[] = {
        {517, {0, 0, 0, 0}, true, {220, 90, 60, 130}},  // 500 available
        {517, {0, 0, 0, 0}, false, {210, 180, 110, 0}},
        {517, {25, 17, 17, 17}, true, {25, 17, 17, 17}},  // the smallest plausible stored widths
        {517, {24, 17, 17, 90}, true, {220, 90, 60, 90}},  // one too narrow: shares again
        {517, {300, 16, 100, 0}, false, {210, 180, 110, 0}},
        {517, {300, 80, 60, 0}, true, {300, 80, 60, 130}},  // settings from before "Modified"
        {517, {300, 80, 60, 16}, true, {300, 80, 60, 130}},
        {10, {0, 0, 0, 0}, true, {35, 14, 9, 20}},  // at least 80 available
        {0, {0, 0, 0, 0}, false, {33, 28, 17, 0}},
    };
    for (const auto& c : cases) {
        const ColumnWidths widths = ComputeColumnWidths(c.client, 17, c.stored, c.isOriginal);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(widths.width[i], c.expected[i]) << c.client << " column " << i;
    }
}

TEST(IsScrollMessage, VerticalMovesOnly)
{
    const struct {
        UINT message;
        WPARAM key;
        bool expected;
    } cases[] = {
        {WM_VSCROLL, 0, true},        {WM_MOUSEWHEEL, 0, true},      {WM_MOUSEHWHEEL, 0, true},
        {WM_KEYDOWN, VK_PRIOR, true}, {WM_KEYDOWN, VK_NEXT, true},   {WM_KEYDOWN, VK_END, true},
        {WM_KEYDOWN, VK_HOME, true},  {WM_KEYDOWN, VK_UP, true},     {WM_KEYDOWN, VK_DOWN, true},
        {WM_KEYDOWN, VK_LEFT, false}, {WM_KEYDOWN, VK_RIGHT, false}, {WM_KEYUP, VK_DOWN, false},
        {WM_HSCROLL, 0, false},       {WM_CHAR, VK_DOWN, false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsScrollMessage(c.message, c.key), c.expected) << c.message << "/" << c.key;
}
