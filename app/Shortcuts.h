// The main window's shortcuts: Ctrl+C, Ctrl+S, Ctrl+P, Ctrl+Z, Ctrl+Y,
// Ctrl+Shift+Z, Ctrl+T, Ctrl+O and Ctrl+V, each the key of a menu item that
// shows it.
#pragma once

#include <windows.h>

class PictureTools;
class ToolChoice;
namespace ui {
class TForm;
}

// A key message for the active main window: the active tool takes its keys
// first, and while text is typed every key; then the shortcuts, whose menu items
// run when they are enabled; then the keys that choose the tools. True when the
// key was used.
bool MainWindowKey(ui::TForm& window, PictureTools& tools, ToolChoice& choice, const MSG& msg);
