// Windows entry point: process-wide settings around the application's run.
#include <windows.h>
#include <objbase.h>

#include "app/startup.h"

namespace {

// Resolved at run time: the call is missing before Windows 10 1703.
void MakeProcessPerMonitorDpiAware()
{
    using SetContextFn = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    auto setContext = user32 ? reinterpret_cast<SetContextFn>(reinterpret_cast<void*>(
                                   GetProcAddress(user32, "SetProcessDpiAwarenessContext")))
                             : nullptr;
    if (setContext)
        setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    MakeProcessPerMonitorDpiAware();
    // The folder picker needs a single-threaded apartment.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    int exitCode = RunApplication(instance, showCommand);
    if (SUCCEEDED(com))
        CoUninitialize();
    return exitCode;
}
