// A hidden top-level window of a class of its own, for components that need a
// window to receive messages but show none: it can own pop-up menus and take the
// foreground, and it hears the shell's broadcasts (a message-only window does
// neither).
#pragma once

#include <windows.h>

#include "ui/handles.h"

namespace ui {

// Registers the class (once is enough; later calls find it) and makes the window;
// throws a runtime_error naming `purpose` when the system gives none.
Window MakeHiddenWindow(const char* className, WNDPROC procedure, const char* purpose);

}  // namespace ui
