// A push button (the system's BUTTON class): clicks come as BN_CLICKED; a
// button with a ModalResult also gives its form that result.
#pragma once

#include "ui/TWinControl.h"

namespace ui {

class TButton : public TWinControl {
  public:
    explicit TButton(TComponent* owner);

    // Enter in the form clicks this button, unless another button has the focus.
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }

    void Click() override;
    bool DialogKey(WPARAM key) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  protected:
    void CreateParams(TCreateParams& params) override;

  private:
    bool default_ = false;
    int modalResult_ = 0;
};

}  // namespace ui
