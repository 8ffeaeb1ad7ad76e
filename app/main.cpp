// Program entry: the application object, the main window (created disabled), the
// about box and the donation reminder, then the message loop until the main
// window closes.
#include <windows.h>

#include "app/Startup.h"
#include "ui/TApplication.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
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
