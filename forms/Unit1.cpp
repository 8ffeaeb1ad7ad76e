#include "forms/Unit1.h"

#include <string>

#include "forms/Links.h"
#include "ui/TApplication.h"

Tabout* about = nullptr;

Tabout::Tabout(ui::TComponent* owner) : ui::TForm(owner) {
    Handler("BitBtn1Click", &Tabout::BitBtn1Click);
    Handler("FormClose", &Tabout::FormClose);
    Handler("Image2Click", &Tabout::Image2Click);
    Handler("Label2Click", &Tabout::Label2Click);
    Handler("Label2MouseEnter", &Tabout::Label2MouseEnter);
    Handler("Label2MouseLeave", &Tabout::Label2MouseLeave);
}

void Tabout::Loaded() {
    // The link shows the site's address without its scheme and closing slash.
    std::string shown = kWebsiteAddress;
    shown = shown.substr(shown.find("//") + 2);
    if (!shown.empty() && shown.back() == '/') shown.pop_back();
    Get<ui::TControl>("Label2").SetCaption(shown);
}

void Tabout::BitBtn1Click(ui::TObject*) {
    Close();
}

void Tabout::FormClose(ui::TObject*, ui::TCloseAction&) {
    if (ui::TForm* main = ui::Application->MainForm()) main->SetEnabled(true);
}

void Tabout::Image2Click(ui::TObject*) {
    OpenPage(Handle(), kDonationAddress);
}

void Tabout::Label2Click(ui::TObject*) {
    OpenPage(Handle(), kWebsiteAddress);
}

void Tabout::SetLinkColour(ui::TColor colour) {
    ui::TControl& link = Get<ui::TControl>("Label2");
    ui::TFontData font = link.Font();
    font.colour = colour;
    link.SetFont(font);
}

void Tabout::Label2MouseEnter(ui::TObject*) {
    SetLinkColour(ui::clBlue);
}

void Tabout::Label2MouseLeave(ui::TObject*) {
    SetLinkColour(ui::clMenuHighlight);
}
