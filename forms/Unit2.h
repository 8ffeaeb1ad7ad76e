// The donation reminder: shown about a second after every start, it counts down
// and keeps the main window disabled until its button is clicked.
#pragma once

#include "ui/TForm.h"

class TForm22 : public ui::TForm {
  public:
    explicit TForm22(ui::TComponent* owner);

    void Timer1Timer(ui::TObject* Sender);
    void okbtnClick(ui::TObject* Sender);
    void Image2Click(ui::TObject* Sender);

  protected:
    const char* LayoutName() const override { return "TForm22"; }
    void Loaded() override;

  private:
    // Seconds still to count. Kept here rather than read back from the button, so
    // that a language file that retitles the button cannot stop the countdown.
    int remaining_ = 5;
};

extern TForm22* Form22;
