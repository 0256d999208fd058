#pragma once
// Reordering rows of the original-names list by dragging, with a ghost and an insertion line.
#include <windows.h>

#include <climits>

#include "engine/planner.h"

extern const wchar_t kOverlayClassName[];

void BeginRowDrag(int row, POINT start);
// Called first by the original-names list's subclass procedure; sets `handled` when it
// swallowed the message.
LRESULT HandleDragMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR subclassId, bool& handled);
LRESULT CALLBACK OverlayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The steps of a drag, in client coordinates of the original-names list.
void ShowDragOverlay(int row, POINT start);
void MoveDragGhost();
void PlaceDropMarker();
void TrackRowDrag(int x, int y);
void EndRowDrag(bool commit);
// Esc, or the capture taken by another window: the drag ends and nothing moves.
void CancelRowDrag();
bool RowDragActive();
// With the main window: destroys the ghost and the marker and forgets any drag.
void DestroyDragOverlays();

// The arithmetic of a drag, without windows.

// Where the list's hit test put the pointer; rows are given by their top and bottom.
struct DropProbe {
    int rowCount = 0;
    int hitRow = -1;  // -1: on no row
    int hitTop = 0, hitBottom = 0;
    int firstTop = 0;    // top of row 0
    int lastBottom = 0;  // bottom of the last row
    // The rows in view: rows above viewTop or below viewBottom are scrolled out of sight.
    int viewTop = INT_MIN;     // top of the first row in view (just below the header)
    int viewBottom = INT_MAX;  // bottom of the client area
    int topRow = 0;            // first row in view
    int bottomGap = 0;         // the gap below the last wholly visible row
};
// The insertion gap for a pointer at height y: 0 before row 0, i between rows i-1 and i,
// rowCount after the last row. A pointer above or below the rows in view (over the header, or
// off the list under the capture) takes the gap at that edge of the view, never one out of sight.
int DropGapAt(int y, const DropProbe& probe);
// Where row `from` lands when dropped into `gap` of a list of `count` rows, or -1 when the drop
// changes nothing (onto the row itself, or indexes that no longer fit the list).
int DropTargetRow(int from, int gap, int count);
// Takes row `from` out and inserts it at `to` of the shortened list. False when out of range.
bool MoveFileRow(FileList& files, int from, int to);
// Ghost size for a name `textWidth` wide (already padded) and a row `rowHeight` high.
SIZE GhostSize(int textWidth, int rowHeight, int dpi);
// Keeps the pointer inside the ghost: at least 8 pixels from its left and right ends; a grab
// at the row's top edge is centred vertically.
POINT ClampGrabOffset(POINT offset, SIZE ghost);
// Pixels to scroll for a pointer at height y: -rowHeight near the top edge of the client area,
// +rowHeight near the bottom edge, else 0.
int AutoScrollDelta(int y, int clientTop, int clientBottom, int rowHeight, int dpi);
