// The menus that a tool bar's buttons open, and what makes a tool bar with a
// main menu behave as a window's menu bar:
//  - a menu button drops its item's submenu down; while a submenu is open,
//    pointing at another menu button (or clicking it) drops that one's down
//    instead, and the Left and Right keys move to the neighbouring menus;
//  - Alt + the accelerator letter of a menu button's caption opens its menu;
//  - a click on the button whose menu is open closes the menu, for menu buttons
//    and drop-down buttons alike, and is not taken as a new press.
// The menus are native popup menus, so these moves are seen through a message
// filter on the menu's own loop.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class TToolBar;
class TToolButton;

// Drops the submenu of the menu button down and follows the user from menu to
// menu; returns when no menu of the bar is open any more. `byKeyboard` selects
// the first item, as a menu opened from the keyboard does.
void TrackMenuBar(TToolBar& bar, TToolButton* button, bool byKeyboard);
// Opens the drop-down menu of a drop-down button under it; returns when it closes.
void TrackDropdown(TToolBar& bar, TToolButton* button);

// A bar whose menu buttons answer Alt + their accelerator letter in its window.
void RegisterMenuBar(TToolBar* bar);
void UnregisterMenuBar(TToolBar* bar);
// Posted to a bar to open its button number wParam from the keyboard.
UINT OpenMenuMessage();

// The accelerator letter of a caption ("&File": 'F', "&&Co" none), in upper
// case, or 0.
char AcceleratorOf(const std::string& caption);

}  // namespace ui
