#include "ui/StandardClasses.h"

#include "ui/LayoutLoader.h"
#include "ui/TTimer.h"

namespace ui {

void RegisterStandardClasses() {
    static const bool done = [] {
        layout::RegisterComponentClass<TTimer>("TTimer");
        return true;
    }();
    (void)done;
}

}  // namespace ui
