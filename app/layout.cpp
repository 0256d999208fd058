// Layout of the main window: placement arithmetic only, no window involved.
#include "app/layout.h"

#include <algorithm>
#include <climits>

#include "app/controls.h"

namespace {

// The metrics every row shares, derived from the DPI, the font and the client size.
struct Metrics {
    const LayoutInput& in;
    int margin, gap, rowH, comboH, contentW;
    int sectionGap;  // between rows that a reflow puts side by side

    // Compact: half the gaps, for screens where even the reflowed rows leave the lists no room.
    explicit Metrics(const LayoutInput& input, bool compact = false)
        : in(input),
          margin(dp(12)),
          gap(dp(compact ? 4 : 8)),
          rowH(input.rowH),
          comboH(input.rowH + dp(180)),
          contentW(input.clientW - 2 * dp(12)),
          sectionGap(2 * dp(compact ? 4 : 8))
    {
    }
    int dp(int n) const { return ScaleDp(n, in.dpi); }
    int textW(const wchar_t* text) const { return in.measure ? in.measure(text) : dp(80); }
    // A combo box must show its longest item unclipped, whatever the font (of the first
    // `count` items, when the others may be cut in the box and show whole in its list).
    int widestItemW(const wchar_t* const* items, int count = INT_MAX) const
    {
        int widest = 0;
        for (; *items && count-- > 0; ++items) widest = std::max(widest, textW(*items));
        return widest;
    }
};

void Place(std::vector<Placement>& out, int id, int x, int y, int w, int h, bool toBottom = false)
{
    out.push_back(Placement{id, x, y, w, h, toBottom});
}

// A section heading as wide as its text; returns the y below it.
int PlaceHeading(const Metrics& m, std::vector<Placement>& out, int id, const wchar_t* text, int y)
{
    Place(out, id, m.margin, y, m.textW(text), m.rowH);
    return y + m.rowH + m.dp(2);
}

// The mode row in `width` from the left margin; the name filter takes the rest, up to 260 dp.
int PlaceModeRow(const Metrics& m, std::vector<Placement>& out, int y, int width)
{
    const int x = m.margin;
    const int radioW = std::max(m.dp(28) + m.textW(L"Move & Rename"), m.dp(150));
    Place(out, kIdModeRename, x, y, radioW, m.rowH);
    Place(out, kIdModeCopy, x + radioW, y, radioW, m.rowH);
    Place(out, kIdModeMove, x + 2 * radioW, y, radioW + m.dp(20), m.rowH);
    const int filterX = x + 3 * radioW + m.dp(20) + m.gap;
    const int filterLW = m.textW(L"Only files matching");
    const int filterW = std::min(m.dp(260), m.margin + width - filterX - filterLW);
    Place(out, kIdFilterLabel, filterX, y, filterLW, m.rowH);
    Place(out, kIdFilter, filterX + filterLW, y, std::max(filterW, m.dp(60)), m.rowH);
    return y + m.rowH + m.gap;
}

int DirLabelW(const Metrics& m)
{
    return std::max(m.textW(L"Output directory"), m.dp(108));
}
int BrowseW(const Metrics& m)
{
    return std::max(m.dp(16) + m.textW(L"Browse..."), m.dp(88));
}
int SameAsInputW(const Metrics& m)
{
    return std::max(m.dp(24) + m.textW(L"Same as input directory"), m.dp(168));
}

// The input row in `width` from the left margin: the edit takes what the label and Browse leave.
int PlaceInputRow(const Metrics& m, std::vector<Placement>& out, int y, int width)
{
    const int x = m.margin, labelW = DirLabelW(m), browseW = BrowseW(m);
    Place(out, kIdInputLabel, x, y, labelW, m.rowH);
    Place(out, kIdInputEdit, x + labelW, y, width - labelW - m.gap - browseW, m.rowH);
    Place(out, kIdInputBrowse, x + width - browseW, y, browseW, m.rowH);
    return y + m.rowH + m.gap;
}

int PlaceOutputRow(const Metrics& m, std::vector<Placement>& out, int y, int width)
{
    const int x = m.margin, labelW = DirLabelW(m), browseW = BrowseW(m), sameW = SameAsInputW(m);
    Place(out, kIdOutputLabel, x, y, labelW, m.rowH);
    Place(out, kIdOutputEdit, x + labelW, y, width - labelW - 2 * m.gap - browseW - sameW, m.rowH);
    Place(out, kIdOutputBrowse, x + width - sameW - m.gap - browseW, y, browseW, m.rowH);
    Place(out, kIdSameAsInput, x + width - sameW, y, sameW, m.rowH);
    return y + m.rowH + m.gap;
}

int PlaceReplaceEntireRow(const Metrics& m, std::vector<Placement>& out, int y)
{
    const int checkTextW = m.textW(L"Replace entire name with:");
    Place(out, kIdReplaceEntire, m.margin, y, checkTextW + m.dp(8), m.rowH);
    Place(out, kIdReplaceName, m.margin + checkTextW + m.dp(12), y, m.dp(280), m.rowH);
    return y + m.rowH + m.gap;
}

// The search row with edits `editW` wide (160 dp where there is room).
int PlaceSearchRow(const Metrics& m, std::vector<Placement>& out, int y, int editW)
{
    struct Field {
        int labelId;
        const wchar_t* label;
        int editId;
    };
    const Field fields[] = {
        {kIdSearchLabel, L"Search", kIdSearch},
        {kIdReplaceLabel, L"Replace", kIdReplace},
        {kIdRemoveLabel, L"Remove chars", kIdRemoveChars},
    };
    int x = m.margin;
    for (const Field& f : fields) {
        const int labelW = m.textW(f.label);
        Place(out, f.labelId, x, y, labelW, m.rowH);
        Place(out, f.editId, x + labelW, y, editW, m.rowH);
        x += labelW + editW + m.gap;
    }
    Place(out, kIdSearchRegex, x, y, m.dp(24) + m.textW(L"Regular expression"), m.rowH);
    return y + m.rowH + m.gap;
}

int PlaceCaseRow(const Metrics& m, std::vector<Placement>& out, int y)
{
    const int x = m.margin;
    const int caseLW = m.textW(L"Case");
    const int caseW = std::max(m.dp(28) + m.widestItemW(kCaseItems), m.dp(140));
    Place(out, kIdCaseLabel, x, y, caseLW, m.rowH);
    Place(out, kIdCaseCombo, x + caseLW, y, caseW, m.comboH, true);
    const int x2 = x + caseLW + caseW + m.gap;
    const int extLW = m.textW(L"Extension");
    const int extW = std::max(m.dp(28) + m.widestItemW(kExtItems), m.dp(130));
    Place(out, kIdExtLabel, x2, y, extLW, m.rowH);
    Place(out, kIdExtCombo, x2 + extLW, y, extW, m.comboH, true);
    const int x3 = x2 + extLW + extW + m.gap;
    const int newExtLW = m.textW(L"New ext");
    Place(out, kIdNewExtLabel, x3, y, newExtLW, m.rowH);
    Place(out, kIdNewExt, x3 + newExtLW, y, m.dp(90), m.rowH);
    return y + m.rowH + m.gap;
}

// The Preview heading, the two list headings, the lists with the splitter, and Process. A folded
// heading shares the list headings' row, before the original-names heading.
void PlacePreviewArea(const Metrics& m, std::vector<Placement>& out, int y, bool foldHeading)
{
    const int x = m.margin;
    const int splitW = m.dp(8);
    const PaneWidths panes = SplitPanes(m.contentW, m.in.splitPct, m.in.dpi);
    const int previewW = m.textW(L"Preview");
    const int indent = previewW + m.gap;
    foldHeading = foldHeading && panes.left - indent >= m.textW(L"Original file names");
    Place(out, kIdHeadingPreview, x, y, previewW, m.rowH);
    const int yl = foldHeading ? y : y + m.rowH + m.dp(2);
    const int listTop = yl + m.rowH;
    const int buttonH = m.rowH + m.dp(4);
    // The lists take what is left and give way first, so nothing below them is overlapped.
    const int listH = std::max(0, m.in.clientH - m.in.statusH - buttonH - m.margin - m.gap - listTop);

    const int headingIndent = foldHeading ? indent : 0;
    Place(out, kIdOriginalHeading, x + headingIndent, yl, panes.left - headingIndent, m.rowH);
    Place(out, kIdListOriginal, x, listTop, panes.left, listH);
    Place(out, kIdSplitter, x + panes.left, yl, splitW, m.rowH + listH);
    Place(out, kIdNewHeading, x + panes.left + splitW, yl, panes.right, m.rowH);
    Place(out, kIdListNew, x + panes.left + splitW, listTop, panes.right, listH);

    const int buttonW = m.dp(120);
    Place(out, kIdProcess, m.in.clientW - m.margin - buttonW, m.in.clientH - m.in.statusH - buttonH - m.margin, buttonW,
          buttonH);
}

const SequenceRowIds kPrefixRow = {kIdPrefixLabel,     kIdPrefixType, kIdPrefixStartLabel, kIdPrefixStart,
                                   kIdPrefixStepLabel, kIdPrefixStep, kIdPrefixPadLabel,   kIdPrefixPad,
                                   kIdPrefixSepLabel,  kIdPrefixSep};
const SequenceRowIds kSuffixRow = {kIdSuffixLabel,     kIdSuffixType, kIdSuffixStartLabel, kIdSuffixStart,
                                   kIdSuffixStepLabel, kIdSuffixStep, kIdSuffixPadLabel,   kIdSuffixPad,
                                   kIdSuffixSepLabel,  kIdSuffixSep};

}  // namespace

PaneWidths SplitPanes(int contentW, int splitPct, int dpi)
{
    const int splitW = ScaleDp(8, dpi);
    const int minPane = ScaleDp(160, dpi);
    int left = (contentW - splitW) * splitPct / 100;
    if (left < minPane) left = minPane;
    if (contentW - left - splitW < minPane) left = contentW - minPane - splitW;
    return PaneWidths{left, contentW - left - splitW};
}

int ComboItemHeight(int rowH, int dpi)
{
    return std::max(18, rowH - ScaleDp(8, dpi));
}

SIZE MinimumWindowSize(int fontPt, int dpi)
{
    int w = 1100, h = 920;
    if (fontPt < 12) {
        w = 980;
        h = 760;
    } else if (fontPt < 15) {
        h = 840;
    }
    return SIZE{ScaleDp(w, dpi), ScaleDp(h, dpi)};
}

SIZE MinimumWindowSize(int fontPt, int dpi, SIZE workArea)
{
    const SIZE minimum = MinimumWindowSize(fontPt, dpi);
    return SIZE{std::min(minimum.cx, workArea.cx), std::min(minimum.cy, workArea.cy)};
}

void LayoutSequenceRow(const LayoutInput& in, const SequenceRowIds& ids, int& y, std::vector<Placement>& out)
{
    const Metrics m(in);
    const int x0 = m.margin;
    // The dates' long examples would push the row's fields apart: the box fits the counters,
    // and its list (as wide as its longest item) shows the dates whole.
    const int comboW = std::max(m.dp(28) + m.widestItemW(kSequenceItems, kSequenceCounterItems), m.dp(170));
    const int fieldLW = std::max(m.textW(L"Start"), m.dp(40));
    const int numW = m.dp(56);
    const int firstLW = m.textW(L"Prefix");  // both rows, so they line up
    Place(out, ids.label, x0, y, firstLW, m.rowH);
    Place(out, ids.combo, x0 + firstLW, y, comboW, m.comboH, true);
    int x = x0 + firstLW + comboW + m.gap;
    Place(out, ids.startLabel, x, y, fieldLW, m.rowH);
    Place(out, ids.startEdit, x + fieldLW, y, numW, m.rowH);
    x += fieldLW + numW + m.gap;
    Place(out, ids.stepLabel, x, y, fieldLW, m.rowH);
    Place(out, ids.stepEdit, x + fieldLW, y, numW, m.rowH);
    x += fieldLW + numW + m.gap;
    const int padLW = m.textW(L"Pad");
    Place(out, ids.padLabel, x, y, padLW, m.rowH);
    Place(out, ids.padEdit, x + padLW, y, numW, m.rowH);
    x += padLW + numW + m.gap;
    const int sepLW = m.textW(L"Separator");
    const int sepW = m.dp(90);
    if (x + sepW + sepLW > x0 + m.contentW) {
        y += m.rowH + m.gap;
        x = x0 + firstLW;
    }
    Place(out, ids.sepLabel, x, y, sepLW, m.rowH);
    Place(out, ids.sepEdit, x + sepLW, y, sepW, m.rowH);
    y += m.rowH + m.gap;
}

namespace {

// The layout as drawn at every size where the lists keep enough rows.
std::vector<Placement> SpecifiedLayout(const Metrics& m)
{
    std::vector<Placement> out;
    out.reserve(56);
    int y = m.margin;
    y = PlaceHeading(m, out, kIdHeadingMode, L"Processing action", y);
    y = PlaceModeRow(m, out, y, m.contentW);
    y = PlaceHeading(m, out, kIdHeadingDirs, L"Directories", y);
    y = PlaceInputRow(m, out, y, m.contentW);
    y = PlaceOutputRow(m, out, y, m.contentW);
    y = PlaceHeading(m, out, kIdHeadingRules, L"Renaming rules", y);
    LayoutSequenceRow(m.in, kPrefixRow, y, out);
    y = PlaceReplaceEntireRow(m, out, y);
    LayoutSequenceRow(m.in, kSuffixRow, y, out);
    y = PlaceSearchRow(m, out, y, m.dp(160));
    y = PlaceCaseRow(m, out, y);
    PlacePreviewArea(m, out, y, false);
    return out;
}

// --- Reflow for short screens ---------------------------------------------------------------
// A row is laid out once at the left margin from y = 0 and then moved as one piece, so a
// control added to a row moves with it.

constexpr int kPackedSearchEditW = 112;  // dp
constexpr int kFoldedFilterMinW = 120;   // dp

struct Row {
    std::vector<Placement> items;
    int width = 0;    // from the left margin to the right edge of its last control
    int advance = 0;  // its height with the space below it
};

template <typename PlaceFn>
Row MakeRow(const Metrics& m, PlaceFn place)
{
    Row row;
    row.advance = place(row.items, 0);
    for (const Placement& p : row.items) row.width = std::max(row.width, p.x + p.w - m.margin);
    return row;
}

Row HeadingRow(const Metrics& m, int id, const wchar_t* text)
{
    return MakeRow(m, [&](std::vector<Placement>& out, int y) { return PlaceHeading(m, out, id, text, y); });
}

Row SequenceRow(const Metrics& m, const SequenceRowIds& ids)
{
    return MakeRow(m, [&](std::vector<Placement>& out, int y) {
        LayoutSequenceRow(m.in, ids, y, out);
        return y;
    });
}

int FilterEditW(const Row& row)
{
    for (const Placement& p : row.items) {
        if (p.id == kIdFilter) return p.w;
    }
    return 0;
}

void PutRow(const Metrics& m, std::vector<Placement>& out, const Row& row, int x, int y)
{
    for (Placement p : row.items) {
        p.x += x - m.margin;
        p.y += y;
        out.push_back(p);
    }
}

// The mode heading goes before its row when the row still leaves the filter a usable edit there,
// else above it.
int PlaceModeSection(const Metrics& m, std::vector<Placement>& out, int y)
{
    const Row heading = HeadingRow(m, kIdHeadingMode, L"Processing action");
    const int indent = heading.width + m.sectionGap;
    auto modeRow = [&](int width) {
        return MakeRow(m, [&](std::vector<Placement>& o, int top) { return PlaceModeRow(m, o, top, width); });
    };
    Row row = modeRow(m.contentW - indent);
    const bool fold = row.width <= m.contentW - indent && FilterEditW(row) >= m.dp(kFoldedFilterMinW);
    PutRow(m, out, heading, m.margin, y);
    if (!fold) {
        y += heading.advance;
        row = modeRow(m.contentW);
    }
    PutRow(m, out, row, fold ? m.margin + indent : m.margin, y);
    return y + row.advance;
}

// The heading before the two directory rows, and at the tightest the rows side by side, the
// two edits sharing what the labels and buttons leave.
int PlaceDirectoriesFolded(const Metrics& m, std::vector<Placement>& out, int y, bool sideBySide)
{
    const Row heading = HeadingRow(m, kIdHeadingDirs, L"Directories");
    const int minEditW = m.dp(64);
    int indent = heading.width + m.sectionGap;
    const int fixedIn = DirLabelW(m) + m.gap + BrowseW(m);
    const int fixedOut = DirLabelW(m) + 2 * m.gap + BrowseW(m) + SameAsInputW(m);
    if (m.contentW - indent - fixedOut < minEditW) indent = 0;  // too narrow to fold
    PutRow(m, out, heading, m.margin, y);
    if (indent == 0) y += heading.advance;
    const int width = m.contentW - indent;
    const int sharedEditW = (width - m.sectionGap - fixedIn - fixedOut) / 2;
    std::vector<Placement> rows;
    if (sideBySide && sharedEditW >= minEditW) {
        const int inputW = fixedIn + sharedEditW;
        PlaceInputRow(m, rows, y, inputW);
        const size_t first = rows.size();
        PlaceOutputRow(m, rows, y, width - inputW - m.sectionGap);
        for (size_t i = first; i < rows.size(); ++i) rows[i].x += inputW + m.sectionGap;
        y += m.rowH + m.gap;
    } else {
        y = PlaceOutputRow(m, rows, PlaceInputRow(m, rows, y, width), width);
    }
    for (Placement& p : rows) p.x += indent;
    out.insert(out.end(), rows.begin(), rows.end());
    return y;
}

// The rules heading and rows, each on the first line with room for it (first fit); emitted in
// their own order, so the combo boxes keep their Tab order.
int PlaceRulesPacked(const Metrics& m, std::vector<Placement>& out, int y)
{
    const Row rows[] = {
        HeadingRow(m, kIdHeadingRules, L"Renaming rules"),
        SequenceRow(m, kPrefixRow),
        MakeRow(m, [&](std::vector<Placement>& o, int top) { return PlaceReplaceEntireRow(m, o, top); }),
        SequenceRow(m, kSuffixRow),
        // Narrower edits keep the search row short enough to share a line.
        MakeRow(m, [&](std::vector<Placement>& o, int top) { return PlaceSearchRow(m, o, top, m.dp(kPackedSearchEditW)); }),
        MakeRow(m, [&](std::vector<Placement>& o, int top) { return PlaceCaseRow(m, o, top); }),
    };
    struct Line {
        int used = 0, advance = 0;
    };
    std::vector<Line> lines;
    struct Spot {
        size_t line;
        int x;
    };
    std::vector<Spot> spots;
    for (const Row& row : rows) {
        size_t line = 0;
        while (line < lines.size() && lines[line].used + m.sectionGap + row.width > m.contentW) ++line;
        if (line == lines.size()) lines.push_back(Line{-m.sectionGap, 0});
        Line& target = lines[line];
        spots.push_back(Spot{line, target.used + m.sectionGap});
        target.used += m.sectionGap + row.width;
        target.advance = std::max(target.advance, row.advance);
    }
    std::vector<int> lineY;
    for (const Line& line : lines) {
        lineY.push_back(y);
        y += line.advance;
    }
    for (size_t i = 0; i < spots.size(); ++i) PutRow(m, out, rows[i], m.margin + spots[i].x, lineY[spots[i].line]);
    return y;
}

// Level 1 folds the section headings into their rows and packs the rule rows into the free
// width; level 2 also puts the directory rows side by side and folds the Preview heading;
// level 3 does the same with half the gaps.
std::vector<Placement> ReflowedLayout(const Metrics& m, int level)
{
    std::vector<Placement> out;
    out.reserve(56);
    int y = m.margin;
    y = PlaceModeSection(m, out, y);
    y = PlaceDirectoriesFolded(m, out, y, level >= 2);
    y = PlaceRulesPacked(m, out, y);
    PlacePreviewArea(m, out, y, level >= 2);
    return out;
}

constexpr int kWantedListRows = 8;
constexpr int kMostReflowed = 3;

int ListHeight(const std::vector<Placement>& placements)
{
    for (const Placement& p : placements) {
        if (p.id == kIdListOriginal) return p.h;
    }
    return 0;
}

}  // namespace

int ListRowsShown(int listH, int rowH, int dpi)
{
    // Report-view rows are the font's height and a pixel or two; the header a little more.
    const int fontH = std::max(1, rowH - ScaleDp(12, dpi));
    const int border = 2 * ScaleDp(3, dpi);
    const int headerH = fontH + ScaleDp(6, dpi);
    return std::max(0, (listH - border - headerH) / (fontH + 2));
}

std::vector<Placement> ComputeLayout(const LayoutInput& in)
{
    const Metrics m(in);
    std::vector<Placement> out = SpecifiedLayout(m);
    const Metrics compact(in, true);
    for (int level = 1; level <= kMostReflowed; ++level) {
        if (ListRowsShown(ListHeight(out), in.rowH, in.dpi) >= kWantedListRows) break;
        out = ReflowedLayout(level < kMostReflowed ? m : compact, std::min(level, 2));
    }
    return out;
}
