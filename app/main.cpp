// Windows entry point: process-wide settings around the application's run.
#include <windows.h>
#include <objbase.h>

#include "app/startup.h"
#include "app/win_util.h"
#include "cli/command_line.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    // Options ask for the run without a window: no instance check, no settings, no window.
    if (IsCommandLineRun(GetCommandLineW())) return RunCommandLine(GetCommandLineW());
    MakeProcessPerMonitorDpiAware();
    // The folder picker needs a single-threaded apartment.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    int exitCode = RunApplication(instance, showCommand, StartPathArgument(GetCommandLineW()));
    if (SUCCEEDED(com)) CoUninitialize();
    return exitCode;
}
