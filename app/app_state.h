#pragma once
// The one application state, owned by the main window and used on the main thread only.
// Shared by the files of app/: add members with small edits in your own section.
#include <windows.h>

#include <string>

#include "engine/planner.h"
#include "settings/app_settings.h"

struct AppState {
    HINSTANCE instance = nullptr;
    HWND mainWindow = nullptr;
    HFONT uiFont = nullptr;
    int dpi = 96;
    bool syncingSelection = false;
    bool busy = false;
    bool windowReady = false;
    bool closing = false;  // WM_CLOSE accepted: the window is on its way out
    AppSettings settings;
    FileList files;
    std::wstring statusBarText;
    HBRUSH backgroundBrush = nullptr;
    HBRUSH editBrush = nullptr;

    // Child controls (the labels are reached by ID when needed).
    HWND modeRename = nullptr, modeCopy = nullptr, modeMove = nullptr;
    HWND inputEdit = nullptr, inputBrowse = nullptr;
    HWND outputEdit = nullptr, outputBrowse = nullptr, sameAsInputCheck = nullptr;
    HWND prefixTypeCombo = nullptr, prefixStartEdit = nullptr, prefixStepEdit = nullptr;
    HWND prefixPadEdit = nullptr, prefixSepEdit = nullptr;
    HWND replaceEntireCheck = nullptr, replaceNameEdit = nullptr;
    HWND suffixTypeCombo = nullptr, suffixStartEdit = nullptr, suffixStepEdit = nullptr;
    HWND suffixPadEdit = nullptr, suffixSepEdit = nullptr;
    HWND searchEdit = nullptr, replaceEdit = nullptr, removeCharsEdit = nullptr;
    HWND caseCombo = nullptr, extCombo = nullptr, newExtEdit = nullptr;
    HWND listOriginal = nullptr, splitter = nullptr, listNew = nullptr;
    HWND processButton = nullptr, statusBar = nullptr;

    // The name filter and the regular-expression box; files of the last scan the filter hides,
    // and those taken out of the list by hand.
    HWND filterEdit = nullptr, searchRegexCheck = nullptr;
    size_t hiddenByFilter = 0;
    size_t removedRows = 0;

    // Optional dark-mode entry points live in app/theme_hooks.h (resolved at start-up).
};

extern AppState g_app;
