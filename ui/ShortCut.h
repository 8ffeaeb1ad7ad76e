// Keyboard shortcuts as menus show them: a virtual-key code with modifier bits,
// as the layouts write them (ShortCut = 118 is F7, 16467 is Ctrl+S).
#pragma once

#include <string>

namespace ui {

using TShortCut = int;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;

// The text a menu item shows for the shortcut: "F7", "Ctrl+S", "Shift+Del"; empty
// for none or for a key without a name.
std::string ShortCutToText(TShortCut shortCut);

}  // namespace ui
