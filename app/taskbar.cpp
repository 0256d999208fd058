// The taskbar button's progress through ITaskbarList3.
#include "app/taskbar.h"

namespace {

ITaskbarList3* CreateSystemTaskbar()
{
    ITaskbarList3* list = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&list)))) return nullptr;
    if (FAILED(list->HrInit())) {
        list->Release();
        return nullptr;
    }
    return list;
}

TaskbarFactory g_factory = CreateSystemTaskbar;
ITaskbarList3* g_taskbar = nullptr;
HWND g_window = nullptr;
UINT g_buttonCreated = 0;
TBPFLAG g_state = TBPF_NOPROGRESS;
size_t g_shownStep = SIZE_MAX;  // the thousandth last shown: the shell is told only of visible change

}  // namespace

UINT WatchForTaskbarButton(HWND window)
{
    if (!g_buttonCreated) g_buttonCreated = RegisterWindowMessageW(L"TaskbarButtonCreated");
    if (g_buttonCreated) ChangeWindowMessageFilterEx(window, g_buttonCreated, MSGFLT_ALLOW, nullptr);
    return g_buttonCreated;
}

UINT TaskbarButtonCreatedMessage()
{
    return g_buttonCreated;
}

void OnTaskbarButtonCreated(HWND window)
{
    g_window = window;
    if (g_taskbar || !g_factory) return;
    g_taskbar = g_factory();
    g_state = TBPF_NOPROGRESS;
    g_shownStep = SIZE_MAX;
}

void ShowTaskbarProgress(size_t done, size_t total, bool failed)
{
    if (!g_taskbar || total == 0) return;
    const TBPFLAG state = failed ? TBPF_ERROR : TBPF_NORMAL;
    const size_t step = done * 1000 / total;
    if (state != g_state) {
        g_taskbar->SetProgressState(g_window, state);
        g_state = state;
    } else if (step == g_shownStep) {
        return;
    }
    g_taskbar->SetProgressValue(g_window, done, total);
    g_shownStep = step;
}

void EndTaskbarProgress()
{
    if (!g_taskbar || g_state == TBPF_NOPROGRESS) return;
    g_taskbar->SetProgressState(g_window, TBPF_NOPROGRESS);
    g_state = TBPF_NOPROGRESS;
    g_shownStep = SIZE_MAX;
}

void ReleaseTaskbar()
{
    if (g_taskbar) g_taskbar->Release();
    g_taskbar = nullptr;
    g_window = nullptr;
    g_state = TBPF_NOPROGRESS;
    g_shownStep = SIZE_MAX;
}

TaskbarFactory SetTaskbarFactory(TaskbarFactory factory)
{
    const TaskbarFactory previous = g_factory;
    g_factory = factory;
    return previous;
}
