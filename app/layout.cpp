// Layout of the main window: placement arithmetic only, no window involved.
#include "app/layout.h"

#include <algorithm>

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
    // A combo box must show its longest item unclipped, whatever the font.
    int widestItemW(const wchar_t* const* items) const
    {
        int widest = 0;
        for (; *items; ++items) widest = std::max(widest, textW(*items));
        return widest;
    }
};

void Place(std::vector<Placement>& out, int id, int x, int y, int w, int h)
{
    out.push_back(Placement{id, x, y, w, h});
}

// A section heading as wide as its text; returns the y below it.
int PlaceHeading(const Metrics& m, std::vector<Placement>& out, int id, const wchar_t* text, int y)
{
    Place(out, id, m.margin, y, m.textW(text), m.rowH);
    return y + m.rowH + m.dp(2);
}

// The smallest width an Input or Output directory edit may get: 40 % of the client area.
int MinDirEditW(const Metrics& m)
{
    return (m.in.clientW * 2 + 4) / 5;
}

// The mode row in `width` from the left margin; the name filter takes the rest, up to 260 dp,
// and goes onto a line of its own when less than 60 dp would be left.
int PlaceModeRow(const Metrics& m, std::vector<Placement>& out, int y, int width)
{
    const int x = m.margin;
    const int radioW = std::max(m.dp(28) + m.textW(L"Move & Rename"), m.dp(150));
    Place(out, kIdModeRename, x, y, radioW, m.rowH);
    Place(out, kIdModeCopy, x + radioW, y, radioW, m.rowH);
    Place(out, kIdModeMove, x + 2 * radioW, y, radioW + m.dp(20), m.rowH);
    int filterX = x + 3 * radioW + m.dp(20) + m.gap;
    const int filterLW = m.textW(L"Only files matching");
    int filterW = std::min(m.dp(260), m.margin + width - filterX - filterLW);
    if (filterW < m.dp(60)) {
        y += m.rowH + m.gap;
        filterX = x;
        filterW = std::min(m.dp(260), width - filterLW);
    }
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

// The output row; "Same as input directory" goes under the edit where beside it the edit would
// get less than its share of the width.
int PlaceOutputRow(const Metrics& m, std::vector<Placement>& out, int y, int width)
{
    const int x = m.margin, labelW = DirLabelW(m), browseW = BrowseW(m), sameW = SameAsInputW(m);
    const bool wrap = width - labelW - 2 * m.gap - browseW - sameW < MinDirEditW(m);
    const int editW = width - labelW - m.gap - browseW - (wrap ? 0 : m.gap + sameW);
    Place(out, kIdOutputLabel, x, y, labelW, m.rowH);
    Place(out, kIdOutputEdit, x + labelW, y, editW, m.rowH);
    Place(out, kIdOutputBrowse, x + labelW + editW + m.gap, y, browseW, m.rowH);
    if (wrap) y += m.rowH + m.gap;
    Place(out, kIdSameAsInput, wrap ? x + labelW : x + width - sameW, y, sameW, m.rowH);
    return y + m.rowH + m.gap;
}

// The replacement edit is 280 dp wide, narrower where the width ends sooner.
int PlaceReplaceEntireRow(const Metrics& m, std::vector<Placement>& out, int y, int width)
{
    const int checkTextW = m.textW(L"Replace entire name with:");
    Place(out, kIdReplaceEntire, m.margin, y, checkTextW + m.dp(8), m.rowH);
    const int editW = std::max(m.dp(80), std::min(m.dp(280), width - checkTextW - m.dp(12)));
    Place(out, kIdReplaceName, m.margin + checkTextW + m.dp(12), y, editW, m.rowH);
    return y + m.rowH + m.gap;
}

// Places labelled groups left to right from the left margin, a group that would pass `width`
// starting the next line; returns the y below the last line.
struct Flow {
    const Metrics& m;
    int width, x, y;
    Flow(const Metrics& metrics, int w, int top) : m(metrics), width(w), x(metrics.margin), y(top) {}
    // The x where a group `w` wide goes.
    int Next(int w)
    {
        if (x > m.margin && x + w > m.margin + width) {
            x = m.margin;
            y += m.rowH + m.gap;
        }
        const int at = x;
        x += w + m.gap;
        return at;
    }
    int End() const { return y + m.rowH + m.gap; }
};

// The search row with edits `editW` wide (160 dp where there is room).
int PlaceSearchRow(const Metrics& m, std::vector<Placement>& out, int y, int editW, int width)
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
    Flow flow(m, width, y);
    for (const Field& f : fields) {
        const int labelW = m.textW(f.label);
        const int x = flow.Next(labelW + editW);
        Place(out, f.labelId, x, flow.y, labelW, m.rowH);
        Place(out, f.editId, x + labelW, flow.y, editW, m.rowH);
    }
    const int regexW = m.dp(24) + m.textW(L"Regular expression");
    const int regexX = flow.Next(regexW);
    Place(out, kIdSearchRegex, regexX, flow.y, regexW, m.rowH);
    return flow.End();
}

int PlaceCaseRow(const Metrics& m, std::vector<Placement>& out, int y, int width)
{
    struct Group {
        int labelId;
        const wchar_t* label;
        int fieldId, fieldW, fieldH;
    };
    const Group groups[] = {
        {kIdCaseLabel, L"Case", kIdCaseCombo, std::max(m.dp(28) + m.widestItemW(kCaseItems), m.dp(140)), m.comboH},
        {kIdExtLabel, L"Extension", kIdExtCombo, std::max(m.dp(28) + m.widestItemW(kExtItems), m.dp(130)), m.comboH},
        {kIdNewExtLabel, L"New ext", kIdNewExt, m.dp(90), m.rowH},
    };
    Flow flow(m, width, y);
    for (const Group& g : groups) {
        const int labelW = m.textW(g.label);
        const int x = flow.Next(labelW + g.fieldW);
        Place(out, g.labelId, x, flow.y, labelW, m.rowH);
        Place(out, g.fieldId, x + labelW, flow.y, g.fieldW, g.fieldH);
    }
    return flow.End();
}

// Height of the Preview heading, the list headings, the lists of `listH`, Process and the status
// bar below them: everything from the Preview heading's top to the client area's bottom.
int PreviewAreaH(const Metrics& m, int listH)
{
    return m.rowH + m.dp(2) + m.rowH + listH + m.gap + m.rowH + m.dp(4) + m.margin + m.in.statusH;
}

// The Preview heading, the two list headings, the lists with the splitter, and Process.
void PlacePreviewArea(const Metrics& m, std::vector<Placement>& out, int y)
{
    const int x = m.margin;
    const int splitW = m.dp(8);
    const PaneWidths panes = SplitPanes(m.contentW, m.in.splitPct, m.in.dpi);
    Place(out, kIdHeadingPreview, x, y, m.textW(L"Preview"), m.rowH);
    const int yl = y + m.rowH + m.dp(2);
    const int listTop = yl + m.rowH;
    const int buttonH = m.rowH + m.dp(4);
    const int listH = std::max(0, m.in.clientH - m.in.statusH - buttonH - m.margin - m.gap - listTop);

    Place(out, kIdOriginalHeading, x, yl, panes.left, m.rowH);
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

// One prefix or suffix row in `width`; the separator wraps under the combo where it does not fit.
void PlaceSequenceRow(const Metrics& m, const SequenceRowIds& ids, int& y, std::vector<Placement>& out, int width)
{
    const int x0 = m.margin;
    const int comboW = std::max(m.dp(28) + m.widestItemW(kSequenceItems), m.dp(170));
    const int fieldLW = std::max(m.textW(L"Start"), m.dp(40));
    const int numW = m.dp(56);
    const int firstLW = m.textW(L"Prefix");  // both rows, so they line up
    Place(out, ids.label, x0, y, firstLW, m.rowH);
    Place(out, ids.combo, x0 + firstLW, y, comboW, m.comboH);
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
    if (x + sepW + sepLW > x0 + width) {
        y += m.rowH + m.gap;
        x = x0 + firstLW;
    }
    Place(out, ids.sepLabel, x, y, sepLW, m.rowH);
    Place(out, ids.sepEdit, x + sepLW, y, sepW, m.rowH);
    y += m.rowH + m.gap;
}

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
    PlaceSequenceRow(m, ids, y, out, m.contentW);
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

// Rows side by side on one line, `gap` apart, each starting at its column's x.
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

// The layout as specified, as lines.
Form SpecifiedForm(const Metrics& m)
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

// The rule lines scroll in a viewport above the lists, which keep 8 rows where they can, else 3.
// The mode and directory lines stay in place while that leaves the rules two lines; on shorter
// windows they scroll with the rules.
std::vector<Placement> Scrolled(const Metrics& m, Form form, int firstWanted, RuleScroll* scroll)
{
    const int formTop = m.margin;
    auto viewportFor = [&](int rows, size_t pinned) {
        int pinnedH = 0;
        for (size_t i = 0; i < pinned; ++i) pinnedH += form.lines[i].advance;
        return m.in.clientH - formTop - pinnedH - PreviewAreaH(m, ListHeightForRows(rows, m.rowH, m.in.dpi));
    };
    auto tallest = [&](size_t from) {
        int tall = 0;
        for (size_t i = from; i < form.lines.size(); ++i) tall = std::max(tall, form.lines[i].advance);
        return tall;
    };
    const size_t pinnable = form.pinned;
    int viewport = -1;
    for (int rows : {kWantedListRows, kLeastListRows}) {
        if (viewportFor(rows, pinnable) >= 2 * tallest(pinnable)) {
            viewport = viewportFor(rows, pinnable);
            break;
        }
        if (viewportFor(rows, 0) >= tallest(0)) {
            form.pinned = 0;
            viewport = viewportFor(rows, 0);
            break;
        }
    }
    if (viewport < 0) {  // too short for anything better: one line at a time
        form.pinned = 0;
        viewport = tallest(0);
    }
    const size_t count = form.lines.size() - form.pinned;
    // The last lines fill the viewport when scrolled to the end.
    size_t lastFirst = count - 1;
    while (lastFirst > 0 && LinesThatFit(form, form.pinned, lastFirst - 1, viewport) == count - lastFirst + 1)
        --lastFirst;
    const size_t first = std::min(static_cast<size_t>(std::max(firstWanted, 0)), lastFirst);
    const size_t shown = LinesThatFit(form, form.pinned, first, viewport);

    std::vector<Placement> out;
    out.reserve(60);
    int y = formTop;
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
    std::vector<Placement> out = Unscrolled(m, SpecifiedForm(m));
    if (enoughRows(out)) return out;
    out = Unscrolled(m, ReflowedForm(m, m.contentW));
    if (enoughRows(out)) return out;
    const Metrics compact(in, true);
    out = Unscrolled(compact, ReflowedForm(compact, compact.contentW));
    if (enoughRows(out)) return out;
    // The scroll bar takes its width from the right of every line.
    return Scrolled(m, ReflowedForm(m, m.contentW - m.dp(17) - m.gap), in.scrollLine, scroll);
}
