#include "ui/TBitBtn.h"

namespace ui {

const PropertyRegistry& TBitBtn::ClassProperties() {
    static const PropertyRegistry registry("TBitBtn", &TButton::ClassProperties());
    return registry;
}

}  // namespace ui
