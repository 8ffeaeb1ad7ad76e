// The main window TMAIN: the current picture in its image view, the menus and
// tool bars, and the handlers of every command.
#pragma once

#include "ui/TForm.h"

class TMAIN : public ui::TForm {
  public:
    explicit TMAIN(ui::TComponent* owner);

    void FormCreate(ui::TObject* Sender);
    void FormHide(ui::TObject* Sender);

  protected:
    const char* LayoutName() const override { return "TMAIN"; }
};

extern TMAIN* MAIN;
