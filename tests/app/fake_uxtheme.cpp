// Stand-in for uxtheme.dll's dark-mode ordinals: records each call and its argument, so the
// start-up tests can check which entry points were taken and how they were called.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {
char g_log[512];

void Append(const char* entry)
{
    strncat(g_log, entry, sizeof(g_log) - strlen(g_log) - 1);
}
}  // namespace

extern "C" {

// Ordinal 135: SetPreferredAppMode (int) on newer builds, AllowDarkModeForApp (bool) before.
int WINAPI FakeAppTheme(int value)
{
    char entry[32];
    snprintf(entry, sizeof(entry), "135(%d) ", value & 0xFF);
    Append(entry);
    return 0;
}

BOOLEAN WINAPI FakeWindowTheme(HWND, BOOLEAN allow)
{
    Append(allow ? "133(1) " : "133(0) ");
    return TRUE;
}

void WINAPI FakeRefreshPolicy()
{
    Append("104 ");
}
void WINAPI FakeRefreshMenu()
{
    Append("136 ");
}

const char* WINAPI FakeCallLog()
{
    return g_log;
}
void WINAPI FakeClearLog()
{
    g_log[0] = 0;
}
}
