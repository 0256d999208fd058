#pragma once
// Processing a planned batch on a worker thread.
#include <windows.h>

#include "engine/planner.h"

constexpr UINT WM_APP_PROGRESS = WM_APP + 1;
constexpr UINT WM_APP_FINISHED = WM_APP + 2;

struct ProgressRecord {
    int index = 0;
    bool succeeded = false;
    ItemStatus status = ItemStatus::Failed;
    wchar_t text[256] = {};
};

void StartProcessing();
void OnProgress(ProgressRecord* record);  // takes ownership
void OnFinished();
