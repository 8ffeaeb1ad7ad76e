// The main window's shortcuts: Ctrl+C, Ctrl+S, Ctrl+P, Ctrl+Z, Ctrl+Y and
// Ctrl+Shift+Z, each the key of a menu item that shows it.
#pragma once

#include <windows.h>

// The name of the menu item whose shortcut the key message is (Ctrl held, Alt
// not), or nullptr.
const char* ShortcutItem(const MSG& msg);
