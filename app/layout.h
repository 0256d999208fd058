#pragma once
// Placement of the main window's controls for any client size, DPI and font size.
#include <windows.h>

#include <vector>

#include "app/win_util.h"

// One control's rectangle. The controls keep their creation order, which is the reading order
// of every arrangement below, so the Tab order follows what the eye sees.
struct Placement {
    int id = 0;
    int x = 0, y = 0, w = 0, h = 0;
    bool hidden = false;  // scrolled out of the rule area (and the scroll bar while nothing scrolls)
    int scrollLine = -1;  // the rule area's line it sits on; -1 outside the rule area
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
    int scrollLine = 0;           // the first line of the rule area shown while it scrolls
};

// The rule area's scrolling, in whole lines; `lines` is 0 while everything fits.
struct RuleScroll {
    int lines = 0;
    int first = 0;
    int shown = 0;
};

struct PaneWidths {
    int left = 0, right = 0;
};

// Widths of the two list panes around the 8 dp splitter; each keeps 160 dp where it can,
// the right one wins when both cannot.
PaneWidths SplitPanes(int contentW, int splitPct, int dpi);
// Placements of every laid-out control, in the order they are moved. Where the lists would show
// fewer than 8 rows, the rows above them reflow into the free width beside each other; where
// that is not enough either, the rule area scrolls (its state goes to `scroll`).
std::vector<Placement> ComputeLayout(const LayoutInput& in, RuleScroll* scroll = nullptr);
// How many whole rows a list view of height `listH` shows under its header, for the UI font
// whose row height (`rowH`) the layout uses; and the height that shows `rows` of them.
int ListRowsShown(int listH, int rowH, int dpi);
int ListHeightForRows(int rows, int rowH, int dpi);

// The ten controls of the prefix or the suffix row.
struct SequenceRowIds {
    int label, combo, startLabel, startEdit, stepLabel, stepEdit, padLabel, padEdit, sepLabel, sepEdit;
};
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

// The rule area's scroll bar (WM_VSCROLL), the mouse wheel over the area above the lists
// (true when it scrolled), and Tab: the control Tab or Shift+Tab reaches next is scrolled into
// view first, so dialog navigation finds it.
void ScrollRuleArea(int request);
bool ScrollRuleAreaByWheel(int delta, POINT screenPoint);
void RevealNextTabStop(HWND focus, bool backwards);
// Scrolls the rule area so that `control`, when scrolled out of view, shows again.
void RevealControl(HWND control);
