#include "app/Startup.h"

#include "app/Unit3.h"
#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "lang/windows/TMultiLanguage.h"
#include "ui/LayoutLoader.h"
#include "ui/StandardClasses.h"

void InitializeProgram(ui::TApplication& application) {
    application.Initialize();
    ui::RegisterStandardClasses();
    ui::layout::RegisterComponentClass<lang::TMultiLanguage>("TMultiLanguage");
    application.SetTitle("Glimra");
    application.SetMainFormOnTaskbar(true);
}

void CreateProgramWindows(ui::TApplication& application, bool startedForCommand) {
    application.CreateForm(MAIN);
    // The main window is shown and painted first. Then come the parts that nobody
    // sees before it: its balloon and tray icon, the about box and the reminder
    // (both start hidden; the reminder shows itself at its first tick, a second
    // later). Made before the show, they held it back.
    MAIN->Show();
    ::UpdateWindow(MAIN->Handle());
    MAIN->FirstShown();
    MAIN->ServeCommands(startedForCommand);
    application.CreateForm(about);
    application.CreateForm(Form22);
}
