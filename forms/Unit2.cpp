#include "forms/Unit2.h"

#include <string>

#include "forms/Links.h"
#include "ui/TApplication.h"
#include "ui/TTimer.h"

TForm22* Form22 = nullptr;

TForm22::TForm22(ui::TComponent* owner) : ui::TForm(owner) {
    Handler("Timer1Timer", &TForm22::Timer1Timer);
    Handler("okbtnClick", &TForm22::okbtnClick);
    Handler("Image2Click", &TForm22::Image2Click);
}

void TForm22::Loaded() {
    // The layout's button caption is the number of seconds to count.
    try {
        remaining_ = std::stoi(Get<ui::TControl>("okbtn").Caption());
    } catch (const std::exception&) {
        remaining_ = 5;
    }
}

void TForm22::Timer1Timer(ui::TObject*) {
    if (ui::TForm* main = ui::Application->MainForm()) main->SetEnabled(false);
    Show();
    ui::TControl& okbtn = Get<ui::TControl>("okbtn");
    remaining_ -= 1;
    if (remaining_ > 0) {
        okbtn.SetCaption(std::to_string(remaining_));
    } else {
        okbtn.SetCaption("Ok");
        okbtn.SetEnabled(true);
        Get<ui::TTimer>("Timer1").SetEnabled(false);
    }
}

void TForm22::okbtnClick(ui::TObject*) {
    if (ui::TForm* main = ui::Application->MainForm()) main->SetEnabled(true);
    Close();
}

void TForm22::Image2Click(ui::TObject*) {
    OpenPage(Handle(), kDonationAddress);
}
