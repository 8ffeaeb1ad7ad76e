// A scrolling area that holds other controls (the main window's image view):
// scroll bars appear when the children reach past the client area.
#pragma once

#include "ui/TScrollingWinControl.h"

namespace ui {

enum class TBorderStyle { bsNone, bsSingle };

class TScrollBox : public TScrollingWinControl {
  public:
    explicit TScrollBox(TComponent* owner);

    // bsSingle: a sunken edge around the area.
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  protected:
    void CreateParams(TCreateParams& params) override;

  private:
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
};

}  // namespace ui
