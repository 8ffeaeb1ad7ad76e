// The platform's colour dialog (ChooseColor) as a component: the colour it opens
// with and returns, its options, and the sixteen custom colours it keeps between
// runs.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <array>

#include "ui/Graphics.h"
#include "ui/TComponent.h"

namespace ui {

// The options, as the dialog's own CC_ flags.
enum TColorDialogOption : unsigned {
    cdFullOpen = CC_FULLOPEN,
    cdPreventFullOpen = CC_PREVENTFULLOPEN,
    cdSolidColor = CC_SOLIDCOLOR,
    cdAnyColor = CC_ANYCOLOR,
};

class TColorDialog : public TComponent {
  public:
    explicit TColorDialog(TComponent* owner) : TComponent(owner) {}

    TColor Color() const { return colour_; }
    void SetColor(TColor colour) { colour_ = colour; }
    unsigned Options() const { return options_; }
    void SetOptions(unsigned options) { options_ = options; }

    // Shows the dialog modally over `owner`, opening with Color selected. True when
    // the user confirmed a colour, which Color then holds; on cancel Color keeps its
    // value.
    bool Execute(HWND owner);

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  private:
    TColor colour_ = clBlack;
    unsigned options_ = 0;
    std::array<COLORREF, 16> custom_{};
};

}  // namespace ui
