#include "ui/TScrollBox.h"

namespace ui {

TScrollBox::TScrollBox(TComponent* owner) : TScrollingWinControl(owner) {
    width_ = 185;
    height_ = 41;
}

void TScrollBox::CreateParams(TCreateParams& params) {
    TScrollingWinControl::CreateParams(params);
    params.exStyle |= WS_EX_CONTROLPARENT;
    if (borderStyle_ == TBorderStyle::bsSingle) params.exStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::SetBorderStyle(TBorderStyle style) {
    borderStyle_ = style;
    if (!HandleAllocated()) return;
    LONG exStyle = ::GetWindowLongA(Handle(), GWL_EXSTYLE);
    exStyle =
        style == TBorderStyle::bsSingle ? exStyle | WS_EX_CLIENTEDGE : exStyle & ~WS_EX_CLIENTEDGE;
    ::SetWindowLongA(Handle(), GWL_EXSTYLE, exStyle);
    ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

const PropertyRegistry& TScrollBox::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TScrollBox", &TScrollingWinControl::ClassProperties());
        Registrar<TScrollBox>(r).Enum("BorderStyle", {{"bsNone", 0}, {"bsSingle", 1}},
                                      &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle);
        return r;
    }();
    return registry;
}

}  // namespace ui
