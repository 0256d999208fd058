#pragma once
// The row drag's overlays as the desktop has them: top-level windows of the overlay class on
// this thread, the ghost (kind 0) carrying the dragged file's name and the marker (kind 1).
#include <windows.h>

#include "app/row_drag.h"

struct OverlaySearch {
    LONG_PTR kind;
    HWND found;
};

inline BOOL CALLBACK MatchOverlay(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<OverlaySearch*>(data);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (lstrcmpW(name, kOverlayClassName) != 0 || GetWindowLongPtrW(window, GWLP_USERDATA) != search->kind) return TRUE;
    search->found = window;
    return FALSE;
}

inline HWND FindDragOverlay(LONG_PTR kind)
{
    OverlaySearch search = {kind, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchOverlay, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
inline HWND DragGhost()
{
    return FindDragOverlay(0);
}
inline HWND DropMarker()
{
    return FindDragOverlay(1);
}
// A drag is under way when its ghost shows.
inline bool DragShown()
{
    HWND ghost = DragGhost();
    return ghost && IsWindowVisible(ghost);
}
