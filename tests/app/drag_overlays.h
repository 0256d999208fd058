#pragma once
// The row drag's overlays as the desktop has them: top-level windows of the overlay class on
// this thread, the ghost (kind 0) carrying the dragged file's name and the marker (kind 1).
#include <windows.h>

#include "app/row_drag.h"

inline HWND FindDragOverlay(LONG_PTR kind)
{
    struct Search {
        LONG_PTR kind;
        HWND found;
    } search = {kind, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (lstrcmpW(name, kOverlayClassName) != 0 || GetWindowLongPtrW(window, GWLP_USERDATA) != s->kind)
                return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
inline HWND DragGhost() { return FindDragOverlay(0); }
inline HWND DropMarker() { return FindDragOverlay(1); }
// A drag is under way when its ghost shows.
inline bool DragShown()
{
    HWND ghost = DragGhost();
    return ghost && IsWindowVisible(ghost);
}
