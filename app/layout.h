#pragma once
// Placement of the main window's controls for any client size, DPI and font size.
#include <windows.h>

#include <vector>

#include "app/win_util.h"

// One control's rectangle. Combo boxes also go to the bottom of the Z order, which puts
// them last in the Tab order.
struct Placement {
    int id = 0;
    int x = 0, y = 0, w = 0, h = 0;
    bool toBottom = false;
};

using MeasureFn = int (*)(const wchar_t* text);

// Everything the layout depends on; the arithmetic itself touches no window.
struct LayoutInput {
    int dpi = 96;
    int clientW = 0, clientH = 0;
    int rowH = 26;    // from the UI font's text metrics
    int statusH = 0;  // the status bar's height after it sized itself
    int splitPct = 50;
    MeasureFn measure = nullptr;  // MeasureTextWidth, or a stand-in in tests
};

struct PaneWidths {
    int left = 0, right = 0;
};

// Widths of the two list panes around the 8 dp splitter; each keeps 160 dp where it can,
// the right one wins when both cannot.
PaneWidths SplitPanes(int contentW, int splitPct, int dpi);
// Placements of every laid-out control, in the order they are moved. Where the lists would show
// fewer than 8 rows, the rows above them reflow into the free width beside each other.
std::vector<Placement> ComputeLayout(const LayoutInput& in);
// How many whole rows a list view of height `listH` shows under its header, for the UI font
// whose row height (`rowH`) the layout uses.
int ListRowsShown(int listH, int rowH, int dpi);

// The ten controls of the prefix or the suffix row.
struct SequenceRowIds {
    int label, combo, startLabel, startEdit, stepLabel, stepEdit, padLabel, padEdit, sepLabel, sepEdit;
};
// Places one prefix or suffix row at the running `y` and advances it; the separator wraps onto a
// second line under the combo when the row is too narrow.
void LayoutSequenceRow(const LayoutInput& in, const SequenceRowIds& ids, int& y, std::vector<Placement>& out);
int ComboItemHeight(int rowH, int dpi);
// Minimum outer window size for the font-size setting.
SIZE MinimumWindowSize(int fontPt, int dpi);
// The minimum as far as the monitor's work area allows: a window taller than its screen would
// hide the Process button and the status bar even maximised, so the lists give instead.
SIZE MinimumWindowSize(int fontPt, int dpi, SIZE workArea);

void LayoutControls();
int MeasureTextWidth(const wchar_t* text);
// Height of every edit, button, label and list heading for the current UI font and DPI.
int UiRowHeight();
// Grows the main window to its minimum size on its monitor, keeping its top-left corner.
void EnforceMinimumWindowSize();
// WM_GETMINMAXINFO of the main window.
void EnforceMinimumWindowSize(MINMAXINFO* info);
