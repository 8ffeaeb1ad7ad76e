// The program's start-up, one sequence for the program itself and for the tests
// and tools that make its windows in-process.
#pragma once

#include "ui/TApplication.h"

// The application's set-up: common controls, the screen's dpi, the component
// classes the layouts name, and the title.
void InitializeProgram(ui::TApplication& application);
// The three windows of start-up, in their order: the main window, which is shown
// at once, the about box and the donation reminder (which disables the main window
// while it counts down).
// `startedForCommand`: the copy was started to take a command line's command.
void CreateProgramWindows(ui::TApplication& application, bool startedForCommand = false);
