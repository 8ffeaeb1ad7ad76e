// Program entry: the application object, the main window (created disabled), the
// about box and the donation reminder, then the message loop until the main
// window closes. A second start only shows the running copy. Started with a
// command line, it hands the command to the running copy and waits for its end.
#include <windows.h>

#include <string>
#include <vector>

#include "app/CommandCaller.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "ui/TApplication.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::vector<std::string> args = ProgramArguments();
    const bool forCommand = args.size() == 1 && args[0] == kStartedForCommand;
    if (!args.empty() && !forCommand) return CallWithCommandLine(args);
    if (!ClaimSingleInstance()) return 0;
    ui::TApplication application;
    try {
        InitializeProgram(application);
        CreateProgramWindows(application, forCommand);
        application.Run();
    } catch (...) {
        application.HandleException(std::current_exception());
        return 1;
    }
    return 0;
}
