// The rows of the main window's layout: placement arithmetic only, no window involved.
#include "app/layout_rows.h"

#include "app/controls.h"

namespace layout_rows {

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

namespace {

// The smallest width an Input or Output directory edit may get: 40 % of the client area.
int MinDirEditW(const Metrics& m)
{
    return (m.in.clientW * 2 + 4) / 5;
}

}  // namespace

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

namespace {

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

}  // namespace

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

namespace {

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

}  // namespace

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
    // The dates' long examples would push the row's fields apart: the box fits the counters,
    // and its list (as wide as its longest item) shows the dates whole.
    const int comboW = std::max(m.dp(28) + m.widestItemW(kSequenceItems, kSequenceCounterItems), m.dp(170));
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

}  // namespace layout_rows
