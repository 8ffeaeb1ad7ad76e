#include "ui/TColorDialog.h"

#include "ui/Properties.h"
#include "win/SystemFunction.h"

namespace ui {

bool TColorDialog::Execute(HWND owner) {
    CHOOSECOLORA choice{};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = owner;
    choice.rgbResult = ColorToRGB(colour_);
    choice.lpCustColors = custom_.data();
    choice.Flags = options_ | CC_RGBINIT;
    static const auto chooseColor =
        win::SystemFunction<decltype(::ChooseColorA)>("comdlg32.dll", "ChooseColorA");
    if (!chooseColor(&choice)) return false;
    colour_ = choice.rgbResult;
    return true;
}

const PropertyRegistry& TColorDialog::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TColorDialog", &TComponent::ClassProperties());
        Registrar<TColorDialog>(r)
            .Colour("Color", &TColorDialog::Color, &TColorDialog::SetColor)
            .Set("Options",
                 {{"cdFullOpen", cdFullOpen},
                  {"cdPreventFullOpen", cdPreventFullOpen},
                  {"cdSolidColor", cdSolidColor},
                  {"cdAnyColor", cdAnyColor}},
                 &TColorDialog::Options, &TColorDialog::SetOptions);
        return r;
    }();
    return registry;
}

}  // namespace ui
