// A menu that opens at a point of the screen: a right-click menu, a drop-down
// menu of a tool button, the tray icon's menu.
#pragma once

#include "ui/TMenu.h"

namespace ui {

class TPopupMenu : public TMenu {
  public:
    explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}

    // Raises OnPopup, then shows the menu with its top-left corner at the screen
    // point and returns when it closes; a chosen item's click runs afterwards,
    // from the message loop. `exclude` is a screen area to leave uncovered.
    void Popup(int x, int y, const RECT* exclude = nullptr);

    TNotifyEvent OnPopup;

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();
};

}  // namespace ui
