// A small form for the toolkit's tests, built from test-layouts/TTestForm.layout.
#pragma once

#include <functional>

#include "ui/StandardClasses.h"
#include "ui/TApplication.h"
#include "ui/TForm.h"
#include "ui/TTimer.h"

namespace glimra::test {

class TTestForm : public ui::TForm {
  public:
    explicit TTestForm(ui::TComponent* owner) : ui::TForm(owner) {
        Handler("FormCreate", &TTestForm::FormCreate);
        Handler("FormClose", &TTestForm::FormClose);
        Handler("FormDestroy", &TTestForm::FormDestroy);
        Handler("Timer1Timer", &TTestForm::Timer1Timer);
    }
    void FormCreate(ui::TObject*) { ++created; }
    void FormClose(ui::TObject*, ui::TCloseAction&) {
        if (onClose) onClose();
    }
    void Timer1Timer(ui::TObject*) {
        ++ticks;
        if (onTick) onTick();
    }
    // Whether the form's own parts still stood when its destroy event ran.
    void FormDestroy(ui::TObject*) { destroyedWhole = whole.standing; }
    ui::TTimer* Timer() { return static_cast<ui::TTimer*>(FindComponent("Timer1")); }

    int created = 0, ticks = 0;
    std::function<void()> onTick, onClose;
    // A part that says when its destructor has run.
    struct Part {
        volatile bool standing = true;
        ~Part() { standing = false; }
    } whole;
    static inline int destroyedWhole = -1;

  protected:
    const char* LayoutName() const override { return "TTestForm"; }
};

// Each test runs with its own application object.
class UiTest : public ::testing::Test {
  protected:
    UiTest() {
        application.Initialize();
        ui::RegisterStandardClasses();
    }
    // Runs the message loop until `done` holds or the time is up.
    bool RunUntil(const std::function<bool()>& done, DWORD milliseconds = 5000) {
        return application.HandleMessagesUntil(done, milliseconds);
    }
    ui::TApplication application;
};

}  // namespace glimra::test
