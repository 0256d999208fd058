// The main window: class registration, creation and the window procedure.
#include "app/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include "app/app_state.h"
#include "app/binding.h"
#include "app/commands.h"
#include "app/controls.h"
#include "app/date_reading_window.h"
#include "app/file_list.h"
#include "app/layout.h"
#include "app/list_views.h"
#include "app/processing.h"
#include "app/row_drag.h"
#include "app/splitter.h"
#include "app/taskbar.h"
#include "app/theme.h"
#include "app/win_util.h"
#include "files/date_reading.h"
#include "files/file_order.h"
#include "files/folder_snapshot.h"
#include "files/worker.h"
#include "resources/resource.h"

AppState g_app;

const wchar_t kMainClassName[] = L"OrvanePallistoWnd";
const wchar_t kMainWindowTitle[] = L"Orvane Pallisto";

namespace {

bool g_inSizeMove = false;   // between WM_ENTERSIZEMOVE and WM_EXITSIZEMOVE: one save at the end
bool g_appActive = true;     // this program is the active one (a window being made is about to be)
HWND g_lastFocus = nullptr;  // the control that had the focus when the window was deactivated

HICON LoadSmallAppIcon(HINSTANCE instance)
{
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP_ICON), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
}

LRESULT OnCreate(HWND window)
{
    g_app.mainWindow = window;
    g_app.closing = false;
    RestoreLastBatch();
    g_lastFocus = nullptr;
    g_inSizeMove = false;
    g_appActive = true;
    AllowFolderWatches(true);
    g_app.dpi = WindowDpi(window);
    HICON big = LoadIconW(g_app.instance, MAKEINTRESOURCEW(IDI_APP_ICON));
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(LoadSmallAppIcon(g_app.instance)));
    CreateControls();
    DragAcceptFiles(window, TRUE);
    WatchForTaskbarButton(window);
    WriteSettingsToControls();
    UpdateMenuChecks();
    ApplyTheme();
    LayoutControls();
    if (!g_app.settings.inputDir.empty())
        ScanInputDirectory();
    else
        UpdateStatusCounts();
    return 0;
}

void OnDestroy()
{
    if (g_app.listOriginal) RemoveWindowSubclass(g_app.listOriginal, ListSubclassProc, kSubclassListOriginal);
    if (g_app.listNew) RemoveWindowSubclass(g_app.listNew, ListSubclassProc, kSubclassListNew);
    if (g_app.splitter) RemoveWindowSubclass(g_app.splitter, SplitterProc, kSubclassSplitter);
    DestroyDragOverlays();
    DeleteGdiObject(g_app.uiFont);
    DeleteGdiObject(g_app.backgroundBrush);
    DeleteGdiObject(g_app.editBrush);
    DropFolderSnapshots();  // closes the folder watches
    CancelDatesTaken();     // its posts would find no window
    ForgetBatches();
    ReleaseTaskbar();
    PostQuitMessage(0);
}

// The window and its children are gone: nothing may save or lay out through stale handles.
void OnFinalDestroy()
{
    g_app.mainWindow = nullptr;
    g_app.windowReady = false;
}

// In the background (another program active, or minimised) the tool holds no folder open, so
// other programs may rename or delete the shown folder's parents; back in front it watches and
// lists again what it listed meanwhile.
void FollowForeground(HWND window)
{
    AllowFolderWatches(g_appActive && !IsIconic(window));
}

void OnActivateApp(HWND window, bool active)
{
    g_appActive = active;
    FollowForeground(window);
}

void OnSize(HWND window, UINT sizeType)
{
    FollowForeground(window);
    // A minimised window has a 0 x 0 client area: laying out would squeeze the columns.
    if (sizeType == SIZE_MINIMIZED) return;
    LayoutControls();
    if (g_app.windowReady && !g_inSizeMove && (sizeType == SIZE_RESTORED || sizeType == SIZE_MAXIMIZED))
        SaveSettings(true);
}

void OnClose(HWND window)
{
    if (g_app.busy) {
        MessageBoxW(g_app.mainWindow, L"Please wait for the current operation to finish.", kMainWindowTitle,
                    MB_ICONINFORMATION);
        OnFinished();  // the box's own loop may have taken the end of the batch
        return;
    }
    SaveSettings(true);
    // Focus leaving the input edit while the children go must not rescan or save again.
    g_app.closing = true;
    DestroyWindow(window);
}

// The first control the Tab key reaches; among the mode radio buttons the checked one, as
// focusing an unchecked automatic radio button would select it.
HWND FirstTabStop(HWND window)
{
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (!(style & WS_TABSTOP) || !IsWindowVisible(child) || !IsWindowEnabled(child)) continue;
        if (child == g_app.modeRename || child == g_app.modeCopy || child == g_app.modeMove) {
            for (HWND radio : {g_app.modeRename, g_app.modeCopy, g_app.modeMove})
                if (SendMessageW(radio, BM_GETCHECK, 0, 0) == BST_CHECKED) return radio;
        }
        return child;
    }
    return nullptr;
}

// The dialog-box convention: the focus leaves with the window and comes back to the same
// control; the first activation puts it on the first control in Tab order.
bool OnActivate(HWND window, WPARAM wParam)
{
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window, focus)) g_lastFocus = focus;
        return false;
    }
    if (HIWORD(wParam)) return false;  // minimised: nothing to focus yet
    HWND target = g_lastFocus;
    if (!target || !IsWindow(target) || !IsChild(window, target) || !IsWindowEnabled(target))
        target = FirstTabStop(window);
    if (!target) return false;
    RevealControl(target);  // it may have been scrolled out of view meanwhile
    SetFocus(target);
    return true;
}

LRESULT OnEraseBackground(HWND window, HDC dc)
{
    RECT client;
    GetClientRect(window, &client);
    HBRUSH brush = g_app.backgroundBrush ? g_app.backgroundBrush : GetSysColorBrush(COLOR_WINDOW);
    FillRect(dc, &client, brush);
    return 1;
}

void OnDpiChanged(int dpi, const RECT* suggested)
{
    g_app.dpi = dpi;
    CreateUiFont();
    ApplyTheme();
    SetWindowPos(g_app.mainWindow, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutControls();
}

LRESULT OnListNotify(NMHDR* header, bool fromOriginal)
{
    switch (header->code) {
    case LVN_GETDISPINFOW: FillDisplayText(reinterpret_cast<NMLVDISPINFOW*>(header), fromOriginal); return 0;
    case LVN_BEGINDRAG: {
        auto* view = reinterpret_cast<NMLISTVIEW*>(header);
        if (fromOriginal && !g_app.busy && view->iItem >= 0) BeginRowDrag(view->iItem, view->ptAction);
        return 0;
    }
    case LVN_COLUMNCLICK:
        if (fromOriginal && !g_app.busy && !RowDragActive())
            SortByColumn(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
        return 0;
    case LVN_ITEMCHANGED: {
        auto* view = reinterpret_cast<NMLISTVIEW*>(header);
        if (!g_app.syncingSelection && (view->uChanged & LVIF_STATE)) MirrorSelection(view);
        if (view->uChanged & LVIF_STATE) UpdateFileMenu();
        return 0;
    }
    case LVN_KEYDOWN:
        if (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == VK_DELETE) HandleCommand(IDM_REMOVE_FROM_LIST, 0, nullptr);
        return 0;
    case NM_CUSTOMDRAW: return PaintRowColours(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    default: return 0;
    }
}

LRESULT OnNotify(NMHDR* header)
{
    LRESULT result = 0;
    bool fromOriginal = header->hwndFrom && header->hwndFrom == g_app.listOriginal;
    bool fromNew = header->hwndFrom && header->hwndFrom == g_app.listNew;
    if (fromOriginal || fromNew) result = OnListNotify(header, fromOriginal);
    if (header->code == HDN_ENDTRACKW) SaveSettings(true);  // a column divider was released
    return result;
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TaskbarButtonCreatedMessage() && message) {
        OnTaskbarButtonCreated(window);
        return 0;
    }
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_NCDESTROY: OnFinalDestroy(); break;
    case WM_SIZE: OnSize(window, static_cast<UINT>(wParam)); return 0;
    case WM_CLOSE: OnClose(window); return 0;
    case WM_ACTIVATE:
        if (OnActivate(window, wParam)) return 0;
        break;
    case WM_ACTIVATEAPP: OnActivateApp(window, wParam != 0); break;
    case WM_ERASEBKGND: return OnEraseBackground(window, reinterpret_cast<HDC>(wParam));
    case WM_GETMINMAXINFO: EnforceMinimumWindowSize(reinterpret_cast<MINMAXINFO*>(lParam)); return 0;
    case WM_VSCROLL: ScrollRuleArea(LOWORD(wParam)); return 0;
    case WM_MOUSEWHEEL:
        if (ScrollRuleAreaByWheel(GET_WHEEL_DELTA_WPARAM(wParam), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
            return 0;
        break;
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND: HandleCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return 0;
    case WM_DROPFILES: OnDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_COPYDATA: return OnOpenFolderMessage(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_ENABLE:
        if (wParam) OnWindowEnabled();
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        return OnControlColor(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ENTERSIZEMOVE: g_inSizeMove = true; return 0;
    case WM_EXITSIZEMOVE:
        g_inSizeMove = false;
        SaveSettings(true);
        return 0;
    case WM_DPICHANGED: OnDpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_APP_PROGRESS: OnProgress(static_cast<size_t>(wParam)); return 0;
    case WM_APP_FINISHED: OnFinished(); return 0;
    case WM_APP_DATES: OnDatesRead(); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterWindowClasses(HINSTANCE instance)
{
    WNDCLASSEXW main = {};
    main.cbSize = sizeof(main);
    main.style = CS_DBLCLKS;
    main.lpfnWndProc = MainWindowProc;
    main.hInstance = instance;
    main.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP_ICON));
    main.hIconSm = main.hIcon ? LoadSmallAppIcon(instance) : nullptr;
    if (!main.hIcon) main.hIcon = main.hIconSm = LoadIconW(nullptr, IDI_APPLICATION);
    main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    main.lpszMenuName = MAKEINTRESOURCEW(IDR_MAIN_MENU);
    main.lpszClassName = kMainClassName;
    // A second registration in the same process (tests) finds the class already there.
    if (!RegisterClassExW(&main) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;

    WNDCLASSEXW overlay = {};
    overlay.cbSize = sizeof(overlay);
    overlay.style = CS_DROPSHADOW;
    overlay.lpfnWndProc = OverlayWindowProc;
    overlay.hInstance = instance;
    overlay.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    overlay.lpszClassName = kOverlayClassName;
    RegisterClassExW(&overlay);
    return true;
}

HWND CreateMainWindow(HINSTANCE instance)
{
    g_app.instance = instance;
    HWND window =
        CreateWindowExW(0, kMainClassName, kMainWindowTitle, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                        CW_USEDEFAULT, g_app.settings.winW, g_app.settings.winH, nullptr, nullptr, instance, nullptr);
    // The size was checked before WM_CREATE knew the window's DPI and font.
    EnforceMinimumWindowSize();
    return window;
}

void FocusAfterBatch(HWND before)
{
    HWND window = g_app.mainWindow;
    if (!window) return;
    HWND target = before;
    if (!target || !IsChild(window, target) || !IsWindowEnabled(target) || !IsWindowVisible(target))
        target = g_app.listNew;
    if (GetActiveWindow() == window) {
        SetFocus(target);
    } else {
        g_lastFocus = target;
    }
}

void DestroyMainWindowForTest()
{
    if (g_app.mainWindow) DestroyWindow(g_app.mainWindow);
    // WM_DESTROY posted a quit message; left queued it would end the next modal loop at once.
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    HINSTANCE instance = g_app.instance;
    g_app = AppState();
    g_app.instance = instance;
}
