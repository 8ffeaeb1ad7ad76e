// A form holding one of each visual control, built from
// test-layouts/TControlsForm.layout, and helpers that look at what the screen
// shows and send the mouse messages a user's hand would.
#pragma once

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "ui/TBevel.h"
#include "ui/TBitBtn.h"
#include "ui/TImage.h"
#include "ui/TLabel.h"
#include "ui/TPanel.h"
#include "ui/TScrollBox.h"
#include "ui/TSpeedButton.h"
#include "ui/TStaticText.h"
#include "testing/ui/TestForm.h"
#include "win/handles.h"

namespace glimra::test {

class TControlsForm : public ui::TForm {
  public:
    explicit TControlsForm(ui::TComponent* owner) : ui::TForm(owner) {
        Handler("SpeedButtonClick", &TControlsForm::Clicked);
        Handler("DonateClick", &TControlsForm::Clicked);
        Handler("LinkClick", &TControlsForm::Clicked);
        Handler("OkButtonClick", &TControlsForm::Clicked);
        Handler("OtherButtonClick", &TControlsForm::Clicked);
        Handler("SpeedButtonMouseEnter", &TControlsForm::Entered);
        Handler("SpeedButtonMouseLeave", &TControlsForm::Exited);
        Handler("ViewMouseDown", &TControlsForm::ViewMouseDown);
    }
    void Clicked(ui::TObject* sender) { Record("click", sender); }
    void Entered(ui::TObject* sender) { Record("enter", sender); }
    void Exited(ui::TObject* sender) { Record("leave", sender); }
    void ViewMouseDown(ui::TObject*, ui::TMouseButton, ui::TShiftState, int x, int y) {
        events.push_back("down View " + std::to_string(x) + "," + std::to_string(y));
    }

    template <class T>
    T& Control(const char* name) {
        T* c = dynamic_cast<T*>(FindComponent(name));
        if (!c) throw std::logic_error(std::string("no ") + name);
        return *c;
    }

    std::vector<std::string> events;

  protected:
    const char* LayoutName() const override { return "TControlsForm"; }

  private:
    void Record(const char* what, ui::TObject* sender) {
        events.push_back(std::string(what) + " " + static_cast<ui::TComponent*>(sender)->Name());
    }
};

class ControlsTest : public UiTest {
  protected:
    ControlsTest() : form(ui::TForm::Make<TControlsForm>(&application)) {
        application.OnException = [this](const std::string& text) { errors.push_back(text); };
    }
    ~ControlsTest() override { delete form; }

    // Shows the form in front and lets it paint.
    // The mouse is parked outside it first, and what it did on the way is forgotten.
    void ShowForm() {
        ::SetCursorPos(1000, 740);
        form->Show();
        ::SetForegroundWindow(form->Handle());
        Settle();
        form->events.clear();
    }
    void Settle() {
        for (int i = 0; i < 5; ++i) {
            application.ProcessMessages();
            ::RedrawWindow(form->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            ::Sleep(10);
        }
    }
    // What the screen shows of the window's client area, and a PNG of it in
    // test-output/screenshots/NAME.png for people to look at.
    static void SaveScreenshot(HWND window, const std::string& name);
    // The colour the screen shows at a client point of the window.
    static COLORREF PixelAt(HWND window, int x, int y) {
        POINT p{x, y};
        ::ClientToScreen(window, &p);
        HDC screen = ::GetDC(nullptr);
        const COLORREF c = ::GetPixel(screen, p.x, p.y);
        ::ReleaseDC(nullptr, screen);
        return c;
    }
    // The mouse moves to a client point of the window (the real cursor too, so
    // that the system does not report it gone at once).
    void MoveTo(HWND window, int x, int y) {
        POINT p{x, y};
        ::ClientToScreen(window, &p);
        ::SetCursorPos(p.x, p.y);
        ::Sleep(20);
        application.ProcessMessages();
        ::SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        application.ProcessMessages();
    }
    void ClickAt(HWND window, int x, int y) {
        MoveTo(window, x, y);
        ::SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        application.ProcessMessages();
    }

    TControlsForm* form;
    std::vector<std::string> errors;
};

// Colour channels within `tolerance` of each other (for JPEG's small errors).
inline bool Near(COLORREF a, COLORREF b, int tolerance = 12) {
    auto close = [&](int x, int y) { return x - y <= tolerance && y - x <= tolerance; };
    return close(GetRValue(a), GetRValue(b)) && close(GetGValue(a), GetGValue(b)) &&
           close(GetBValue(a), GetBValue(b));
}

}  // namespace glimra::test
