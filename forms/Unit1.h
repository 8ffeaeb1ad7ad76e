// The about box: product, version, the donation plea and the maker's web site.
// It is not modal: while it is open the main window is disabled.
#pragma once

#include "ui/TForm.h"

class Tabout : public ui::TForm {
  public:
    explicit Tabout(ui::TComponent* owner);

    void BitBtn1Click(ui::TObject* Sender);
    void FormClose(ui::TObject* Sender, ui::TCloseAction& Action);
    void Image2Click(ui::TObject* Sender);
    void Label2Click(ui::TObject* Sender);
    void Label2MouseEnter(ui::TObject* Sender);
    void Label2MouseLeave(ui::TObject* Sender);

  protected:
    const char* LayoutName() const override { return "Tabout"; }
    void Loaded() override;

  private:
    void SetLinkColour(ui::TColor colour);
};

extern Tabout* about;
