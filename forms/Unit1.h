// The about box: product, version, the donation plea and the maker's web site.
#pragma once

#include "ui/TForm.h"

class Tabout : public ui::TForm {
  public:
    explicit Tabout(ui::TComponent* owner);

  protected:
    const char* LayoutName() const override { return "Tabout"; }
};

extern Tabout* about;
