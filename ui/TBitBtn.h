// The push button that layouts name TBitBtn: the same as TButton here, since
// the program's bit buttons carry no glyph.
#pragma once

#include "ui/TButton.h"

namespace ui {

class TBitBtn : public TButton {
  public:
    using TButton::TButton;

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();
};

}  // namespace ui
