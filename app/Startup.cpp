#include "app/Startup.h"

#include "app/Unit3.h"
#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "lang/TMultiLanguage.h"
#include "ui/LayoutLoader.h"
#include "ui/StandardClasses.h"

void InitializeProgram(ui::TApplication& application) {
    application.Initialize();
    ui::RegisterStandardClasses();
    ui::layout::RegisterComponentClass<lang::TMultiLanguage>("TMultiLanguage");
    application.SetTitle("Glimra");
    application.SetMainFormOnTaskbar(true);
}

void CreateProgramWindows(ui::TApplication& application) {
    application.CreateForm(MAIN);
    application.CreateForm(about);
    application.CreateForm(Form22);
}
