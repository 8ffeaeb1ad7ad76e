// Bringing one of the program's windows to the front with the keyboard, while
// another program is in front: the usual case for the capture overlays, which a
// hot key opens while the user works elsewhere.
#pragma once

#include <windows.h>

// Makes `window`, a window of the calling thread, the foreground window with the
// keyboard focus. A process that did not receive the last input may not set the
// foreground window by itself (SetForegroundWindow, "Remarks"), so the calling
// thread's input is attached to the foreground window's thread for the change
// and detached again (AttachThreadInput); where the system refuses that, the
// plain request is made; a window in front already is left as it is. True
// when the window is in front afterwards.
bool TakeForeground(HWND window);

// True when `window` is the foreground window and no other shown window that
// is not topmost lies above it: it is in front already.
bool InFront(HWND window);
