// A top-level window built from its layout: the layout (a resource named after
// the form's class) sets the properties and binds the events by the names of the
// handlers that the form class registers.
#pragma once

#include <windows.h>

#include <any>
#include <functional>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "ui/TApplication.h"
#include "ui/TScrollingWinControl.h"

namespace ui {

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
enum class TPosition { poDesigned, poDesktopCenter, poScreenCenter, poMainFormCenter };
enum class TFormStyle { fsNormal, fsStayOnTop };
enum TModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2 };

class TForm : public TScrollingWinControl, private TFormLink {
  public:
    explicit TForm(TComponent* owner);
    ~TForm() override;
    void BeforeDestruction() override;

    // Loads the layout, makes the windows, runs OnCreate and shows the form when
    // the layout made it visible. TApplication::CreateForm and Make call it.
    void AfterConstruction();
    // Makes a form that is not one of the application's start-up forms.
    template <class T>
    static T* Make(TComponent* owner) {
        T* form = new T(owner);
        try {
            form->AfterConstruction();
        } catch (...) {
            delete form;
            throw;
        }
        return form;
    }

    // The outer size that a layout gives is the size at 96 dpi: at another dpi the
    // client area scales, and the frame is what the system draws around it.
    void SetDesignWidth(int width) { designWidth_ = width; }
    void SetDesignHeight(int height) { designHeight_ = height; }
    void SetClientWidth(int width);
    void SetClientHeight(int height);
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style) { borderStyle_ = style; }
    unsigned BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(unsigned icons) { borderIcons_ = icons; }
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle style);
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int width) { minWidth_ = width; }
    int MinHeight() const { return minHeight_; }
    void SetMinHeight(int height) { minHeight_ = height; }
    void SetVisible(bool visible) override;

    // Dialog-style keys for a form whose controls have tab stops: Enter for the
    // default or focused button, Tab and the arrows between the controls. True
    // when the message was one of them and is handled.
    bool DialogMessage(MSG& msg);
    // Some windowed control of the form stops the Tab key.
    bool HasTabStops() const;

    // Closes the form: OnClose decides; the main form's close ends the program.
    void Close();
    // Shows the form modally and returns its modal result.
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }
    void BringToFront();

    TNotifyEvent OnCreate, OnHide, OnShow, OnPaint, OnDestroy, OnActivate;
    TCloseEvent OnClose;

    // The owned component of that name and class; throws when there is none.
    template <class T>
    T& Get(const char* name) const {
        T* c = dynamic_cast<T*>(FindComponent(name));
        if (!c) throw std::logic_error(std::string("the layout has no ") + name);
        return *c;
    }

    // The drawing context of the paint in progress (for OnPaint), or nullptr.
    HDC PaintDC() const { return paintDC_; }

    // A handler of this form by its name (letter case ignored); empty when unknown.
    const std::any* FindHandler(const std::string& name) const;

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  protected:
    // Registers a handler by name for the layout's event bindings:
    // Handler("ButtonCaptureClick", &TMAIN::ButtonCaptureClick).
    template <class F, class R, class... A>
    void Handler(const char* name, R (F::*method)(A...)) {
        F* self = static_cast<F*>(this);
        std::function<R(A...)> f = [self, method](A... args) {
            return (self->*method)(std::forward<A>(args)...);
        };
        handlers_[LowerAscii(name)] = f;
    }
    // The window that owns this form's window: the main form's for every other
    // form (so that they have no task-bar button of their own), none for the main
    // form. A form that must stay on screen while the main form is minimised
    // overrides this to return nullptr.
    virtual HWND OwnerWindow();
    // The layout has been applied: the form takes hold of its controls here.
    virtual void Loaded() {}
    // Registers a handler given as a function: HandlerFunction<TNotifyEvent>(name, f).
    template <class E, class F>
    void HandlerFunction(const char* name, F f) {
        handlers_[LowerAscii(name)] = E(std::move(f));
    }
    // A form's own handling of a window message: return true when handled.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // A key message for this form, before it is dispatched: true when the form
    // used it as a shortcut of its own.
    virtual bool IsShortCut(const MSG&) { return false; }
    void CreateParams(TCreateParams& params) override;
    void PaintWindow(HDC dc) override;
    // The layout's resource name: the form's class name.
    virtual const char* LayoutName() const = 0;

  private:
    // The application's view of the form: its window, showing it, and the keys of a
    // form with tab stops, which move between its controls as in a dialog.
    HWND FormWindow() override { return HandleAllocated() ? Handle() : nullptr; }
    void ShowForm() override { Show(); }
    bool PreDispatch(MSG& msg) override;

    void PlaceAtFirstShow();
    // The layout's outer size, at the system's scale, from the styles the window
    // will have: applied before the window is made, so that it is made at its size
    // and its children are laid out once.
    void ApplyDesignSize();

    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    unsigned borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TPosition position_ = TPosition::poDesigned;
    TFormStyle formStyle_ = TFormStyle::fsNormal;
    int minWidth_ = 0, minHeight_ = 0;
    int clientWidth_ = -1, clientHeight_ = -1;  // from the layout, applied at creation
    int designWidth_ = -1, designHeight_ = -1;  // outer size at 96 dpi, from the layout
    int modalResult_ = mrNone;
    bool placed_ = false;
    bool loading_ = false;
    HDC paintDC_ = nullptr;
    bool inModal_ = false;
    HWND focused_ = nullptr;  // the control that had the focus when the form went inactive
    std::unordered_map<std::string, std::any> handlers_;
};

}  // namespace ui
