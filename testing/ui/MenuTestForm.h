// The form of the menus, tool bars and tray icon tests (test-layouts/
// TMenuTestForm.layout) and what those tests share: it records every event its
// handlers get, runs code while a menu is open, and grabs the screen.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/TApplication.h"
#include "ui/TBitmap.h"
#include "ui/TForm.h"
#include "ui/TMainMenu.h"
#include "ui/TMenuItem.h"
#include "ui/TPopupMenu.h"
#include "ui/TToolBar.h"
#include "ui/TToolButton.h"
#include "ui/TTrayIcon.h"
#include "testing/ui/TestForm.h"

namespace glimra::test {

class TMenuTestForm : public ui::TForm {
  public:
    explicit TMenuTestForm(ui::TComponent* owner) : ui::TForm(owner) {
        Handler("ItemClick", &TMenuTestForm::ItemClick);
        Handler("ButtonClick", &TMenuTestForm::ButtonClick);
        Handler("ButtonEnter", &TMenuTestForm::ButtonEnter);
        Handler("ButtonLeave", &TMenuTestForm::ButtonLeave);
        Handler("PopupShown", &TMenuTestForm::PopupShown);
        Handler("TrayDblClick", &TMenuTestForm::TrayDblClick);
    }
    // Each event as "handler:component", in the order they came.
    std::vector<std::string> events;
    std::function<void()> onItemClick;

    void ItemClick(ui::TObject* sender) {
        Record("click", sender);
        if (onItemClick) onItemClick();
    }
    void ButtonClick(ui::TObject* sender) { Record("button", sender); }
    void ButtonEnter(ui::TObject* sender) { Record("enter", sender); }
    void ButtonLeave(ui::TObject* sender) { Record("leave", sender); }
    void PopupShown(ui::TObject* sender) { Record("popup", sender); }
    void TrayDblClick(ui::TObject* sender) { Record("dblclick", sender); }

    template <class T>
    T* Find(const char* name) {
        return dynamic_cast<T*>(FindComponent(name));
    }
    ui::TMenuItem* Item(const char* name) { return Find<ui::TMenuItem>(name); }
    ui::TToolBar* Bar(const char* name) { return Find<ui::TToolBar>(name); }
    ui::TToolButton* Button(const char* name) { return Find<ui::TToolButton>(name); }

  protected:
    const char* LayoutName() const override { return "TMenuTestForm"; }

  private:
    void Record(const char* what, ui::TObject* sender) {
        auto* c = dynamic_cast<ui::TComponent*>(sender);
        events.push_back(std::string(what) + ":" + (c ? c->Name() : "?"));
    }
};

// Each test has its own application and a shown form.
class MenuTest : public UiTest {
  protected:
    MenuTest();
    ~MenuTest() override;

    // Runs `step` from within the loop of the next menu that opens (each time
    // a menu is found open, until `step` returns true), then lets the menu go
    // on; false when no menu opened within the time.
    void WhenMenuOpen(std::function<bool()> step);
    bool MenuStepDone() const;

  public:
    // The popup menu window that is open, or nullptr.
    static HWND OpenMenuWindow();

  protected:
    // Lets paint messages through, so the screen shows the current state.
    void Settle();

    // The screen inside a rectangle of it, as 24-bit pixels.
    static std::unique_ptr<ui::TBitmap> GrabScreen(const RECT& area);
    // Keeps the screen area as a PNG file in the tests' output folder.
    static void SaveScreenshot(const RECT& area, const std::string& name);
    static RECT ScreenRectOf(HWND window);
    static RECT ScreenRectOf(ui::TToolButton* button);
    // Moves the mouse as the user does (an open menu sees it too), and waits until
    // the system has taken the new position.
    void MoveMouseTo(POINT screen);
    // Mouse messages as the user's mouse would send them to a window (client
    // coordinates).
    static void Mouse(HWND window, UINT message, int x, int y, WPARAM keys = 0);

    TMenuTestForm* form = nullptr;
};

// A menu's native entry at a position.
std::string EntryText(HMENU menu, int position);
MENUITEMINFOA EntryInfo(HMENU menu, int position);

}  // namespace glimra::test
