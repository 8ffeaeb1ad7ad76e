#include "ui/TMainMenu.h"

namespace ui {

const PropertyRegistry& TMainMenu::ClassProperties() {
    static const PropertyRegistry registry("TMainMenu", &TMenu::ClassProperties());
    return registry;
}

}  // namespace ui
