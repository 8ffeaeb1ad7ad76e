#include "ui/TButton.h"

#include "ui/TForm.h"

namespace ui {

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    width_ = 75;
    height_ = 25;
    SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = "BUTTON";
    params.style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool isDefault) {
    default_ = isDefault;
    if (HandleAllocated())
        ::SendMessageA(Handle(), BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
    if (modalResult_ != 0) {
        for (TControl* c = Parent(); c; c = c->Parent())
            if (auto* form = dynamic_cast<TForm*>(c)) {
                form->SetModalResult(modalResult_);
                break;
            }
    }
    TWinControl::Click();
}

bool TButton::DialogKey(WPARAM key) {
    if (key != VK_RETURN) return false;
    const bool focused = HandleAllocated() && ::GetFocus() == Handle();
    if (!default_ && !focused) return false;
    Click();
    return true;
}

LRESULT TButton::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kReflected + WM_COMMAND) {
        if (HIWORD(wParam) == BN_CLICKED) Click();
        return 0;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

const PropertyRegistry& TButton::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TButton", &TWinControl::ClassProperties());
        Registrar<TButton>(r)
            .Boolean("Default", &TButton::Default, &TButton::SetDefault)
            .Enum("ModalResult", {{"mrNone", mrNone}, {"mrOk", mrOk}, {"mrCancel", mrCancel}},
                  &TButton::ModalResult, &TButton::SetModalResult);
        return r;
    }();
    return registry;
}

}  // namespace ui
