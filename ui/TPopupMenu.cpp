#include "ui/TPopupMenu.h"

#include "ui/MenuWindow.h"

namespace ui {

void TPopupMenu::Popup(int x, int y, const RECT* exclude) {
    if (OnPopup) OnPopup(this);
    TrackPopup(Handle(), x, y, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, exclude);
}

const PropertyRegistry& TPopupMenu::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TPopupMenu", &TMenu::ClassProperties());
        Registrar<TPopupMenu>(r).Event<TNotifyEvent>(
            "OnPopup", [](TPopupMenu& m, TNotifyEvent e) { m.OnPopup = e; });
        return r;
    }();
    return registry;
}

}  // namespace ui
