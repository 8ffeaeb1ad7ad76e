// The capture keys that work anywhere: polled on the main window's timer rather
// than registered, so that they reach the program whatever window has the focus.
#pragma once

#include <windows.h>

#include <optional>

enum class Capture { Desktop, ActiveWindow, Selection, WindowOrControl };

struct HotKey {
    int virtualKey;
    Capture capture;
};
// In the order the poll looks at them.
inline constexpr HotKey kHotKeys[] = {
    {VK_F7, Capture::Desktop},
    {VK_F8, Capture::ActiveWindow},
    {VK_F9, Capture::Selection},
    {VK_F10, Capture::WindowOrControl},
};

// The capture of the first key pressed since the last poll, if any; only the
// "pressed since the last query" bit counts, and Shift, Ctrl and Alt are not
// looked at. At most one capture per poll, in the table's order.
std::optional<Capture> PollHotKeys();
// Forgets the presses since the last poll.
void DropHotKeyPresses();
// A dialog (the class of common dialogs and message boxes) or the about box of
// this thread is open: a command still waits on it, so a capture must not start.
bool OwnDialogOpen();
