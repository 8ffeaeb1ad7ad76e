// The application object: message loop, list of open forms, cursor table, the
// screen's dpi, and the general error report that every handler runs under.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/TComponent.h"

namespace ui {

class TForm;

// What the application asks of a form without knowing the form class; TForm
// answers.
class TFormLink {
  public:
    // The form's window, or nullptr while it has none.
    virtual HWND FormWindow() = 0;
    virtual void ShowForm() = 0;
    // A key message for one of the form's windows, before it is dispatched: true
    // when the form has handled it.
    virtual bool PreDispatch(MSG& msg) = 0;

  protected:
    ~TFormLink() = default;
};

class TApplication : public TComponent {
  public:
    TApplication();
    ~TApplication() override;

    // Common controls, window classes, the screen's dpi. The component classes that
    // layouts name are registered by the program's start-up.
    void Initialize();

    // Makes a form owned by the application; `reference` is set before the form's
    // layout is loaded and its creation handler runs. The first form made is the
    // main form.
    template <class T>
    void CreateForm(T*& reference) {
        T* form = new T(this);
        reference = form;
        try {
            form->AfterConstruction();
        } catch (...) {
            reference = nullptr;
            delete form;
            throw;
        }
    }

    // Shows the main form and runs the message loop until Terminate.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Handles every waiting message, then returns.
    void ProcessMessages();
    // Handles one message, waiting for it when `wait`; false when none was there.
    bool HandleMessage(bool wait);
    // Handles messages and timer ticks as they come, resting a millisecond while none
    // wait, until `done` holds (true) or the time is up (false); without `done`, for
    // the whole time. For tests and tools that drive the windows of their own thread.
    bool HandleMessagesUntil(const std::function<bool()>& done, DWORD milliseconds);

    // The general error report: a message box with the error's text, after which
    // the program goes on. OnException, when set, replaces the message box.
    void HandleException(std::exception_ptr error);
    void ShowException(const std::string& text);
    std::function<void(const std::string& text)> OnException;

    TForm* MainForm() const { return mainForm_; }
    const std::vector<TForm*>& Forms() const { return forms_; }
    void AddForm(TForm* form, TFormLink& link);
    void RemoveForm(TForm* form);

    bool MainFormOnTaskbar() const { return mainFormOnTaskbar_; }
    void SetMainFormOnTaskbar(bool value) { mainFormOnTaskbar_ = value; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }

    // Minimises or restores the main form, as the task bar would.
    void Minimize();
    void Restore();

    // The cursor table: numbered cursors, the system ones pre-filled.
    HCURSOR Cursors(int index) const;
    void SetCursors(int index, HCURSOR cursor);
    // The application-wide cursor override (crDefault: none).
    int ScreenCursor() const { return screenCursor_; }
    void SetScreenCursor(int cursor);

    HINSTANCE Instance() const { return instance_; }
    int PixelsPerInch() const { return pixelsPerInch_; }
    // A length in pixels at 96 dpi, in pixels of this screen.
    int Scale(int pixels) const { return ::MulDiv(pixels, pixelsPerInch_, 96); }

  private:
    HINSTANCE instance_;
    int pixelsPerInch_ = 96;
    bool terminated_ = false;
    bool mainFormOnTaskbar_ = true;
    std::string title_;
    TForm* mainForm_ = nullptr;
    TFormLink* mainLink_ = nullptr;
    std::vector<TForm*> forms_;
    std::vector<TFormLink*> links_;  // the forms' links, in the order of forms_
    std::map<int, HCURSOR> cursors_;
    int screenCursor_ = 0;
};

extern TApplication* Application;

// Runs `step`; an exception that escapes it goes to the application's report.
void Guarded(const std::function<void()>& step);

}  // namespace ui
