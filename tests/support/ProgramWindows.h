// The program's windows seen from outside, and the steps a person takes with
// them: its menus by their accelerator letters, its dialogs, the donation
// reminder, a capture by its key.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "tests/support/Desktop.h"
#include "tests/support/Program.h"

namespace glimra::testing {

std::string TextOf(HWND window);

// A visible top-level window of the program of that class ("#32768" for an open
// menu, "#32770" for a dialog), or null.
HWND ShownWindowOfClass(const Program& program, const char* cls);
// The program's open menu, waited for; null when none opens.
HWND WaitForMenu(const Program& program);
bool MenusClosed(const Program& program);

// Key presses, one after the other, as a person types them.
void Keys(std::initializer_list<WORD> keys);
// Alt and a letter: a menu of the menu bar by its accelerator.
void AltAnd(WORD letter);

// Clicks the button and waits until `done`; under Wine a sent click is now and
// then lost on its way, and a person would click once more.
template <class F>
bool ClickUntil(POINT p, F done, DWORD milliseconds = 3000) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        ClickAt(p);
        if (WaitFor(done, milliseconds)) return true;
    }
    return false;
}

// Waits through the donation reminder's countdown and clicks its "Ok".
void PassTheReminder(const Program& program, HWND main, const std::string& screenshot);
// Presses a capture key and waits until the main window has gone and come back.
bool CaptureWithKey(WORD key, HWND main);
// The overlay of a selection or window capture, once it is up and in front.
HWND WaitForOverlay(const char* caption);
// Ends the program with the exit entry of its File menu, both chosen by their
// accelerator letters (which a language may change).
void ExitWithTheMenu(Program& program, HWND main, WORD fileLetter, WORD exitLetter);

}  // namespace glimra::testing
