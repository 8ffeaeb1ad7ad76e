// Program entry: the application object, the main window (created disabled), the
// about box and the donation reminder, then the message loop until the main
// window closes. A second start only shows the running copy.
#include <windows.h>

#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "ui/TApplication.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (!ClaimSingleInstance()) return 0;
    ui::TApplication application;
    try {
        InitializeProgram(application);
        CreateProgramWindows(application);
        application.Run();
    } catch (...) {
        application.HandleException(std::current_exception());
        return 1;
    }
    return 0;
}
