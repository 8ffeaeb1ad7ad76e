/* Prints what Windows reports of the displays, one line each, for the dual
   profiles of wine-session to check before any test runs:
     monitors N
     virtual X Y W H
     monitor L T R B [primary]
   Built by wine-session with the MinGW compiler of the session's architecture. */
#include <windows.h>
#include <stdio.h>

static BOOL CALLBACK Print(HMONITOR monitor, HDC dc, LPRECT area, LPARAM data) {
    MONITORINFO info;
    (void)dc;
    (void)area;
    (void)data;
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) return TRUE;
    printf("monitor %ld %ld %ld %ld%s\n", info.rcMonitor.left, info.rcMonitor.top,
           info.rcMonitor.right, info.rcMonitor.bottom,
           (info.dwFlags & MONITORINFOF_PRIMARY) ? " primary" : "");
    return TRUE;
}

int main(void) {
    printf("monitors %d\n", GetSystemMetrics(SM_CMONITORS));
    printf("virtual %d %d %d %d\n", GetSystemMetrics(SM_XVIRTUALSCREEN),
           GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN),
           GetSystemMetrics(SM_CYVIRTUALSCREEN));
    EnumDisplayMonitors(NULL, NULL, Print, 0);
    return 0;
}
