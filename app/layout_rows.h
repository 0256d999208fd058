#pragma once
// The rows of the main window's layout, each placed from the left margin at a running y; the
// arrangement of rows (app/layout.cpp) moves them as whole pieces.
#include <algorithm>
#include <climits>
#include <vector>

#include "app/layout.h"

namespace layout_rows {

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

void Place(std::vector<Placement>& out, int id, int x, int y, int w, int h);
// A section heading as wide as its text; returns the y below it.
int PlaceHeading(const Metrics& m, std::vector<Placement>& out, int id, const wchar_t* text, int y);
// Each row below is placed in `width` from the left margin at `y` and returns the y below it.
int PlaceModeRow(const Metrics& m, std::vector<Placement>& out, int y, int width);
int PlaceInputRow(const Metrics& m, std::vector<Placement>& out, int y, int width);
int PlaceOutputRow(const Metrics& m, std::vector<Placement>& out, int y, int width);
int PlaceReplaceEntireRow(const Metrics& m, std::vector<Placement>& out, int y, int width);
int PlaceSearchRow(const Metrics& m, std::vector<Placement>& out, int y, int editW, int width);
int PlaceCaseRow(const Metrics& m, std::vector<Placement>& out, int y, int width);
void PlaceSequenceRow(const Metrics& m, const SequenceRowIds& ids, int& y, std::vector<Placement>& out, int width);
// Height of the Preview heading, the list headings, the lists of `listH`, Process and the status
// bar below them: everything from the Preview heading's top to the client area's bottom.
int PreviewAreaH(const Metrics& m, int listH);
// The Preview heading at `y`, the two list headings, the lists with the splitter, and Process.
void PlacePreviewArea(const Metrics& m, std::vector<Placement>& out, int y);

extern const SequenceRowIds kPrefixRow;
extern const SequenceRowIds kSuffixRow;

}  // namespace layout_rows
