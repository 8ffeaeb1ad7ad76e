// The donation reminder: shown about a second after every start, it counts down
// and keeps the main window disabled until its button is clicked.
#pragma once

#include "ui/TForm.h"

class TForm22 : public ui::TForm {
  public:
    explicit TForm22(ui::TComponent* owner);

  protected:
    const char* LayoutName() const override { return "TForm22"; }
};

extern TForm22* Form22;
