// The main menu of a window. The windows of this program show it through a tool
// bar (TToolBar::Menu), whose buttons are its top-level items.
#pragma once

#include "ui/TMenu.h"

namespace ui {

class TMainMenu : public TMenu {
  public:
    explicit TMainMenu(TComponent* owner) : TMenu(owner) {}

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();
};

}  // namespace ui
