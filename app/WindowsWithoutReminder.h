// The windows of start-up made in-process, for tests and measuring tools that call
// the main window's handlers.
#pragma once

#include "app/Unit3.h"
#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "ui/TApplication.h"
#include "ui/TTimer.h"

// Makes the main window, the about box and the reminder as the program does at
// start-up, stops the reminder's countdown (which would disable the main window
// under the caller) and shows the main window, enabled.
inline void OpenWindowsWithoutReminder(ui::TApplication& application) {
    application.CreateForm(MAIN);
    application.CreateForm(about);
    application.CreateForm(Form22);
    Form22->Get<ui::TTimer>("Timer1").SetEnabled(false);
    MAIN->Show();
    MAIN->SetEnabled(true);
}
