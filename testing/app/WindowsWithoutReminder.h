// The windows of start-up made in-process, for tests and measuring tools that call
// the main window's handlers.
#pragma once

#include "app/Settings.h"
#include "app/Startup.h"
#include "app/Unit3.h"
#include "forms/Unit2.h"
#include "testing/desktop/Program.h"
#include "ui/TApplication.h"
#include "ui/TTimer.h"

namespace glimra::test {

// Makes and shows the main window, the about box and the reminder as the program
// does at start-up, stops the reminder's countdown (which would disable the main
// window under the caller) and enables the main window.
inline void OpenWindowsWithoutReminder(ui::TApplication& application) {
    CreateProgramWindows(application);
    Form22->Get<ui::TTimer>("Timer1").SetEnabled(false);
    MAIN->SetEnabled(true);
}

// The settings key that in-process tests use, and delete to start as a first run:
// in the throw-away Wine prefix of the test harness the program's own, elsewhere a
// key of the tests' own, so that a real user's settings are never touched.
inline const char* UseTestSettingsKey() {
    if (!InThrowAwayPrefix()) SetSettingsKey("Software\\Norvanta\\Glimra 1.3 tests");
    return SettingsKey();
}

}  // namespace glimra::test
