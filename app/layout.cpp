// Layout of the main window: placement arithmetic only, no window involved.
#include "app/layout.h"

#include <algorithm>

#include "app/controls.h"
#include "app/layout_rows.h"

using namespace layout_rows;

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

namespace {

// --- The form above the lists, as lines --------------------------------------------------------
// A line is laid out once at the left margin from y = 0 and then moved as one piece, so a control
// added to a row moves with it.

constexpr int kPackedSearchEditW = 112;  // dp
constexpr int kFoldedFilterMinW = 120;   // dp
constexpr int kWantedListRows = 8;
constexpr int kLeastListRows = 3;

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

void Append(const Metrics& m, Row& line, const Row& row, int x)
{
    for (Placement p : row.items) {
        p.x += x - m.margin;
        line.items.push_back(p);
    }
    line.width = std::max(line.width, x - m.margin + row.width);
    line.advance = std::max(line.advance, row.advance);
}

// Rows side by side on one line, each starting at its column's x.
Row Beside(const Metrics& m, const std::vector<const Row*>& rows, const std::vector<int>& columnX)
{
    Row line;
    for (size_t i = 0; i < rows.size(); ++i) Append(m, line, *rows[i], m.margin + columnX[i]);
    return line;
}

// The form: its lines top to bottom, the first `pinned` of them (mode and directories) staying in
// place while the rule lines after them scroll.
struct Form {
    std::vector<Row> lines;
    size_t pinned = 0;
};

void AddLine(Form& form, Row line)
{
    form.lines.push_back(std::move(line));
}

// A heading before the rows of its section, the rows indented by its width, when `fits` says
// the rows still work in the narrower width; else the heading on a line of its own.
template <typename RowsFn, typename FitsFn>
void AddSection(const Metrics& m, Form& form, int headingId, const wchar_t* heading, int width, RowsFn rowsIn,
                FitsFn fits, bool fold)
{
    const Row title = HeadingRow(m, headingId, heading);
    const int indent = title.width + m.sectionGap;
    if (fold) {
        std::vector<Row> rows = rowsIn(width - indent);
        if (fits(rows, width - indent)) {
            for (size_t i = 0; i < rows.size(); ++i) {
                Row line;
                if (i == 0) Append(m, line, title, m.margin);
                Append(m, line, rows[i], m.margin + indent);
                AddLine(form, std::move(line));
            }
            return;
        }
    }
    AddLine(form, title);
    for (Row& row : rowsIn(width)) AddLine(form, std::move(row));
}

std::vector<Row> ModeRows(const Metrics& m, int width)
{
    return {MakeRow(m, [&](std::vector<Placement>& o, int y) { return PlaceModeRow(m, o, y, width); })};
}

std::vector<Row> DirectoryRows(const Metrics& m, int width)
{
    return {MakeRow(m, [&](std::vector<Placement>& o, int y) { return PlaceInputRow(m, o, y, width); }),
            MakeRow(m, [&](std::vector<Placement>& o, int y) { return PlaceOutputRow(m, o, y, width); })};
}

// The rule rows in their reading order, the search edits `searchEditW` wide.
std::vector<Row> RuleRows(const Metrics& m, int width, int searchEditW)
{
    auto sequence = [&](const SequenceRowIds& ids) {
        return MakeRow(m, [&](std::vector<Placement>& o, int y) {
            PlaceSequenceRow(m, ids, y, o, width);
            return y;
        });
    };
    return {
        sequence(kPrefixRow),
        MakeRow(m, [&](std::vector<Placement>& o, int y) { return PlaceReplaceEntireRow(m, o, y, width); }),
        sequence(kSuffixRow),
        MakeRow(m, [&](std::vector<Placement>& o, int y) { return PlaceSearchRow(m, o, y, searchEditW, width); }),
        MakeRow(m, [&](std::vector<Placement>& o, int y) { return PlaceCaseRow(m, o, y, width); }),
    };
}

int TotalAdvance(const std::vector<Row>& rows)
{
    int total = 0;
    for (const Row& row : rows) total += row.advance;
    return total;
}

// The rule rows in a grid of `columns`, filled left to right and then top to bottom so they keep
// their reading order, each column as wide as its widest row; none when it does not fit `width`.
std::vector<Row> RuleGrid(const Metrics& m, const std::vector<Row>& rows, size_t columns, int width)
{
    std::vector<int> columnX(columns, 0);
    for (size_t c = 1; c < columns; ++c) {
        int widest = 0;
        for (size_t i = c - 1; i < rows.size(); i += columns) widest = std::max(widest, rows[i].width);
        columnX[c] = columnX[c - 1] + widest + m.sectionGap;
    }
    // A row of two lines beside another would read out of order.
    for (const Row& row : rows) {
        if (columns > 1 && row.advance > m.rowH + m.gap) return {};
    }
    std::vector<Row> lines;
    for (size_t first = 0; first < rows.size(); first += columns) {
        std::vector<const Row*> line;
        for (size_t i = first; i < std::min(rows.size(), first + columns); ++i) line.push_back(&rows[i]);
        lines.push_back(Beside(m, line, columnX));
        if (lines.back().width > width) return {};
    }
    return lines;
}

// The fewest lines the rule rows take in `width`: as many columns as fit, the search edits
// narrower where that saves a line.
std::vector<Row> PackedRuleLines(const Metrics& m, int width)
{
    std::vector<Row> best;
    for (int editW : {160, kPackedSearchEditW}) {
        const std::vector<Row> rows = RuleRows(m, width, m.dp(editW));
        for (size_t columns = 3; columns >= 1; --columns) {
            std::vector<Row> lines = RuleGrid(m, rows, columns, width);
            if (!lines.empty() && (best.empty() || TotalAdvance(lines) < TotalAdvance(best))) best = std::move(lines);
        }
    }
    if (best.empty()) best = RuleRows(m, width, m.dp(kPackedSearchEditW));  // as narrow as it gets
    return best;
}

// The layout's base form, as lines.
Form BaseForm(const Metrics& m)
{
    Form form;
    AddLine(form, HeadingRow(m, kIdHeadingMode, L"Processing action"));
    for (Row& row : ModeRows(m, m.contentW)) AddLine(form, std::move(row));
    AddLine(form, HeadingRow(m, kIdHeadingDirs, L"Directories"));
    for (Row& row : DirectoryRows(m, m.contentW)) AddLine(form, std::move(row));
    form.pinned = form.lines.size();
    AddLine(form, HeadingRow(m, kIdHeadingRules, L"Renaming rules"));
    for (Row& row : RuleRows(m, m.contentW, m.dp(160))) AddLine(form, std::move(row));
    return form;
}

// Headings folded before their rows and the rule rows in columns, in `width`.
Form ReflowedForm(const Metrics& m, int width)
{
    Form form;
    AddSection(
        m, form, kIdHeadingMode, L"Processing action", width, [&](int w) { return ModeRows(m, w); },
        [&](const std::vector<Row>& rows, int w) {
            return rows[0].advance == m.rowH + m.gap && rows[0].width <= w &&
                   rows[0].items.back().w >= m.dp(kFoldedFilterMinW);
        },
        true);
    AddSection(
        m, form, kIdHeadingDirs, L"Directories", width, [&](int w) { return DirectoryRows(m, w); },
        [&](const std::vector<Row>& rows, int) {
            return TotalAdvance(rows) == 2 * (m.rowH + m.gap);  // the check box still beside its edit
        },
        true);
    form.pinned = form.lines.size();
    // Folded only when that saves height: the rules' heading indents every rule line.
    const Row title = HeadingRow(m, kIdHeadingRules, L"Renaming rules");
    const int foldedH = TotalAdvance(PackedRuleLines(m, width - title.width - m.sectionGap));
    const bool fold = foldedH < title.advance + TotalAdvance(PackedRuleLines(m, width));
    AddSection(
        m, form, kIdHeadingRules, L"Renaming rules", width, [&](int w) { return PackedRuleLines(m, w); },
        [](const std::vector<Row>&, int) { return true; }, fold);
    return form;
}

void PutLine(std::vector<Placement>& out, const Row& line, int y, int scrollLine, bool hidden)
{
    for (Placement p : line.items) {
        p.y += y;
        p.scrollLine = scrollLine;
        p.hidden = hidden;
        out.push_back(p);
    }
}

// Every line shown, the lists taking what is left below them.
std::vector<Placement> Unscrolled(const Metrics& m, const Form& form)
{
    std::vector<Placement> out;
    out.reserve(60);
    int y = m.margin;
    for (size_t i = 0; i < form.lines.size(); ++i) {
        const bool rule = i >= form.pinned;
        PutLine(out, form.lines[i], y, rule ? static_cast<int>(i - form.pinned) : -1, false);
        y += form.lines[i].advance;
    }
    Place(out, kIdRuleScroll, 0, 0, 0, 0);
    out.back().hidden = true;
    PlacePreviewArea(m, out, y);
    return out;
}

// The rule lines from `first` on that fit in `height`, at least one.
size_t LinesThatFit(const Form& form, size_t from, size_t first, int height)
{
    size_t shown = 0;
    int used = 0;
    for (size_t i = from + first; i < form.lines.size(); ++i) {
        used += form.lines[i].advance;
        if (shown > 0 && used > height) break;
        ++shown;
    }
    return shown;
}

// The height the rule lines scroll in: at least two lines, above lists that keep 8 rows where
// they can and no fewer than 3. The mode and directory lines stay in place while that leaves the
// rules two lines; on shorter windows they scroll with the rules (`form.pinned` becomes 0).
int RuleViewport(const Metrics& m, Form& form)
{
    auto viewportFor = [&](int rows, size_t pinned) {
        int pinnedH = 0;
        for (size_t i = 0; i < pinned; ++i) pinnedH += form.lines[i].advance;
        return m.in.clientH - m.margin - pinnedH - PreviewAreaH(m, ListHeightForRows(rows, m.rowH, m.in.dpi));
    };
    auto tallest = [&](size_t from) {
        int tall = 0;
        for (size_t i = from; i < form.lines.size(); ++i) tall = std::max(tall, form.lines[i].advance);
        return tall;
    };
    // Room for the tallest line (a row that wrapped) and one more.
    auto twoLines = [&](size_t from) { return tallest(from) + m.rowH + m.gap; };
    for (int rows = kWantedListRows; rows >= kLeastListRows; --rows) {
        if (viewportFor(rows, form.pinned) >= twoLines(form.pinned)) return viewportFor(rows, form.pinned);
        if (viewportFor(rows, 0) >= twoLines(0)) {
            form.pinned = 0;
            return viewportFor(rows, 0);
        }
    }
    form.pinned = 0;  // too short for two: one line at a time
    return std::max(viewportFor(kLeastListRows, 0), tallest(0));
}

// The form with its rule lines from `firstWanted` on in the viewport and the others hidden, the
// scroll bar at the viewport's right, and the lists below.
std::vector<Placement> Scrolled(const Metrics& m, Form form, int firstWanted, RuleScroll* scroll)
{
    const int viewport = RuleViewport(m, form);
    const size_t count = form.lines.size() - form.pinned;
    // The last lines fill the viewport when scrolled to the end.
    size_t lastFirst = count - 1;
    while (lastFirst > 0 && LinesThatFit(form, form.pinned, lastFirst - 1, viewport) == count - lastFirst + 1)
        --lastFirst;
    const size_t first = std::min(static_cast<size_t>(std::max(firstWanted, 0)), lastFirst);
    const size_t shown = LinesThatFit(form, form.pinned, first, viewport);

    std::vector<Placement> out;
    out.reserve(60);
    int y = m.margin;
    for (size_t i = 0; i < form.pinned; ++i) {
        PutLine(out, form.lines[i], y, -1, false);
        y += form.lines[i].advance;
    }
    const int viewportTop = y;
    for (size_t line = 0; line < count; ++line) {
        const bool visible = line >= first && line < first + shown;
        PutLine(out, form.lines[form.pinned + line], visible ? y : viewportTop, static_cast<int>(line), !visible);
        if (visible) y += form.lines[form.pinned + line].advance;
    }
    const int barW = m.dp(17);
    Place(out, kIdRuleScroll, m.margin + m.contentW - barW, viewportTop, barW, y - m.gap - viewportTop);
    PlacePreviewArea(m, out, y);
    if (scroll) *scroll = RuleScroll{static_cast<int>(count), static_cast<int>(first), static_cast<int>(shown)};
    return out;
}

int ListHeight(const std::vector<Placement>& placements)
{
    for (const Placement& p : placements) {
        if (p.id == kIdListOriginal) return p.h;
    }
    return 0;
}

// Whether every control shown ends inside the right margin.
bool FitsWidth(const Metrics& m, const std::vector<Placement>& placements)
{
    for (const Placement& p : placements) {
        if (!p.hidden && p.x + p.w > m.margin + m.contentW) return false;
    }
    return true;
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

int ListHeightForRows(int rows, int rowH, int dpi)
{
    const int fontH = std::max(1, rowH - ScaleDp(12, dpi));
    return 2 * ScaleDp(3, dpi) + fontH + ScaleDp(6, dpi) + rows * (fontH + 2);
}

std::vector<Placement> ComputeLayout(const LayoutInput& in, RuleScroll* scroll)
{
    if (scroll) *scroll = RuleScroll{};
    const Metrics m(in);
    auto enoughRows = [&](const std::vector<Placement>& out) {
        return FitsWidth(m, out) && ListRowsShown(ListHeight(out), in.rowH, in.dpi) >= kWantedListRows;
    };
    std::vector<Placement> out = Unscrolled(m, BaseForm(m));
    if (enoughRows(out)) return out;
    out = Unscrolled(m, ReflowedForm(m, m.contentW));
    if (enoughRows(out)) return out;
    const Metrics compact(in, true);
    out = Unscrolled(compact, ReflowedForm(compact, compact.contentW));
    if (enoughRows(out)) return out;
    // The scroll bar takes its width from the right of every line.
    return Scrolled(m, ReflowedForm(m, m.contentW - m.dp(17) - m.gap), in.scrollLine, scroll);
}
