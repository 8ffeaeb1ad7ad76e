// A hidden window of a class of its own, for components that need a window to
// receive messages but show none. As a top-level window it can own pop-up menus
// and take the foreground, and it hears the shell's broadcasts; as a message-only
// window (parent HWND_MESSAGE) it only gets what is sent or posted to it.
#pragma once

#include <windows.h>

#include "win/handles.h"

namespace ui {

// Registers the class (once is enough; later calls find it) and makes the window;
// throws a runtime_error naming `purpose` when the system gives none.
win::Window MakeHiddenWindow(const char* className, WNDPROC procedure, const char* purpose,
                             HWND parent = nullptr);

}  // namespace ui
