// The hidden window that owns every popup menu of the program (the drop-downs of
// the tool bars, the popup menus, the tray menu). The menus send it the command
// of a chosen item, which it runs as that item's click under the error report;
// they ask it to measure and draw the items' images; and they tell it which item
// is selected, for whoever tracks the menu.
#pragma once

#include <windows.h>

#include <functional>

namespace ui {

// The window, made on first use.
HWND MenuWindow();

// Told of every selection change while a menu is tracked: the item (a command,
// or a position when `flags` holds MF_POPUP), the MF_ flags and the menu it is in.
using MenuSelectListener = std::function<void(UINT item, UINT flags, HMENU menu)>;

// Shows `menu` at a screen point, owned by the menu window, and returns when it
// closes. The chosen item's command arrives afterwards as a WM_COMMAND of the
// menu window. `exclude` is a screen area the menu should leave uncovered (the
// button that opened it).
void TrackPopup(HMENU menu, int x, int y, UINT flags, const RECT* exclude = nullptr,
                MenuSelectListener onSelect = {});

}  // namespace ui
