#include "ui/TForm.h"

#include <stdexcept>

#include "ui/LayoutLoader.h"
#include "ui/TApplication.h"

namespace ui {

TForm::TForm(TComponent* owner) : TScrollingWinControl(owner) {
    visible_ = false;
    SetAutoScroll(false);
    Application->AddForm(this, *this);
}

TForm::~TForm() {
    Application->RemoveForm(this);
}

void TForm::BeforeDestruction() {
    // The destroy event may use everything the form's own class holds, so it
    // runs before any destructor has started.
    if (OnDestroy) Guarded([this] { OnDestroy(this); });
}

void TForm::AfterConstruction() {
    loading_ = true;
    try {
        layout::LoadForm(
            *this, [this](const std::string& name) { return FindHandler(name); }, LayoutName());
    } catch (...) {
        loading_ = false;
        throw;
    }
    loading_ = false;
    Loaded();
    const bool show = visible_;
    visible_ = false;
    {
        // The windows are made, sized and filled while nothing is on the screen: what
        // they mark for repainting on the way is marked once, at the end.
        RepaintHold hold;
        ApplyDesignSize();
        HandleNeeded();
        if (clientWidth_ >= 0 || clientHeight_ >= 0) {
            RECT r{0, 0, clientWidth_ >= 0 ? clientWidth_ : ClientWidth(),
                   clientHeight_ >= 0 ? clientHeight_ : ClientHeight()};
            ::AdjustWindowRectEx(&r, ::GetWindowLongA(Handle(), GWL_STYLE), FALSE,
                                 ::GetWindowLongA(Handle(), GWL_EXSTYLE));
            SetBounds(left_, top_, r.right - r.left, r.bottom - r.top);
        }
        if (OnCreate) OnCreate(this);
    }
    if (show) SetVisible(true);
}

namespace {

// The frame (caption, borders) that the system draws around a client area for
// these styles, at the given dpi.
SIZE FrameSize(DWORD style, DWORD exStyle, int dpi) {
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = reinterpret_cast<AdjustForDpi>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("user32.dll"), "AdjustWindowRectExForDpi")));
    RECT r{0, 0, 0, 0};
    if (adjust) {
        adjust(&r, style, FALSE, exStyle, dpi);
    } else {
        // Older systems: the frame of this screen, taken back to the asked dpi.
        ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
        r = {0, 0, ::MulDiv(r.right - r.left, dpi, Application->PixelsPerInch()),
             ::MulDiv(r.bottom - r.top, dpi, Application->PixelsPerInch())};
    }
    return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

void TForm::ApplyDesignSize() {
    if (designWidth_ < 0 && designHeight_ < 0) return;
    TCreateParams params;
    CreateParams(params);
    const DWORD style = params.style & ~WS_DISABLED & ~WS_VISIBLE;
    const DWORD exStyle = params.exStyle;
    const SIZE frame96 = FrameSize(style, exStyle, 96);
    const SIZE frame = FrameSize(style, exStyle, Application->PixelsPerInch());
    const int w =
        designWidth_ >= 0 ? Application->Scale(designWidth_ - frame96.cx) + frame.cx : width_;
    const int h =
        designHeight_ >= 0 ? Application->Scale(designHeight_ - frame96.cy) + frame.cy : height_;
    SetBounds(left_, top_, w, h);
}

void TForm::SetClientWidth(int width) {
    clientWidth_ = width;
    if (HandleAllocated()) {
        RECT r{0, 0, width, ClientHeight()};
        ::AdjustWindowRectEx(&r, ::GetWindowLongA(Handle(), GWL_STYLE), FALSE,
                             ::GetWindowLongA(Handle(), GWL_EXSTYLE));
        SetWidth(r.right - r.left);
    }
}

void TForm::SetClientHeight(int height) {
    clientHeight_ = height;
    if (HandleAllocated()) {
        RECT r{0, 0, ClientWidth(), height};
        ::AdjustWindowRectEx(&r, ::GetWindowLongA(Handle(), GWL_STYLE), FALSE,
                             ::GetWindowLongA(Handle(), GWL_EXSTYLE));
        SetHeight(r.bottom - r.top);
    }
}

void TForm::SetFormStyle(TFormStyle style) {
    formStyle_ = style;
    if (HandleAllocated())
        ::SetWindowPos(Handle(), style == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST,
                       0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TForm::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.style = WS_CLIPCHILDREN;
    params.exStyle = 0;
    switch (borderStyle_) {
        case TFormBorderStyle::bsNone:
            params.style |= WS_POPUP;
            break;
        case TFormBorderStyle::bsSingle:
            params.style |= WS_CAPTION | WS_BORDER;
            break;
        case TFormBorderStyle::bsSizeable:
            params.style |= WS_CAPTION | WS_THICKFRAME;
            break;
        case TFormBorderStyle::bsDialog:
            params.style |= WS_CAPTION | DS_MODALFRAME;
            params.exStyle |= WS_EX_DLGMODALFRAME;
            break;
        case TFormBorderStyle::bsToolWindow:
            params.style |= WS_CAPTION;
            params.exStyle |= WS_EX_TOOLWINDOW;
            break;
    }
    if (borderStyle_ != TFormBorderStyle::bsNone) {
        if (borderIcons_ & biSystemMenu) params.style |= WS_SYSMENU;
        if ((borderIcons_ & biMinimize) && borderStyle_ != TFormBorderStyle::bsDialog)
            params.style |= WS_MINIMIZEBOX;
        if ((borderIcons_ & biMaximize) && borderStyle_ != TFormBorderStyle::bsDialog)
            params.style |= WS_MAXIMIZEBOX;
    }
    if (!enabled_) params.style |= WS_DISABLED;
    if (formStyle_ == TFormStyle::fsStayOnTop) params.exStyle |= WS_EX_TOPMOST;
    // The main form carries the task-bar button; every other form is owned by it.
    TForm* main = Application->MainForm();
    params.parent = (main == this || !main) ? nullptr : OwnerWindow();
    if (main == this || !main) {
        if (Application->MainFormOnTaskbar()) params.exStyle |= WS_EX_APPWINDOW;
    } else if (!params.parent) {
        params.exStyle |= WS_EX_TOOLWINDOW;  // unowned, yet no task-bar button
    }
}

HWND TForm::OwnerWindow() {
    TForm* main = Application->MainForm();
    return main && main != this ? main->Handle() : nullptr;
}

void TForm::PlaceAtFirstShow() {
    if (placed_) return;
    placed_ = true;
    RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    TForm* main = Application->MainForm();
    if (position_ == TPosition::poMainFormCenter && main && main != this && main->HandleAllocated())
        ::GetWindowRect(main->Handle(), &area);
    else if (position_ == TPosition::poDesigned)
        return;
    SetBounds(area.left + (area.right - area.left - width_) / 2,
              area.top + (area.bottom - area.top - height_) / 2, width_, height_);
}

void TForm::SetVisible(bool visible) {
    if (loading_) {
        visible_ = visible;  // shown once the form is complete
        return;
    }
    if (visible) PlaceAtFirstShow();
    if (visible == visible_) {
        if (visible && HandleAllocated()) ::ShowWindow(Handle(), SW_SHOW);
        return;
    }
    TControl::SetVisible(visible);
    if (!HandleAllocated()) return;
    ::ShowWindow(Handle(), visible ? SW_SHOW : SW_HIDE);
    if (visible && OnShow) OnShow(this);
}

void TForm::BringToFront() {
    if (HandleAllocated()) ::SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TForm::Close() {
    if (inModal_) {
        modalResult_ = mrCancel;
        return;
    }
    TCloseAction action = TCloseAction::caHide;
    if (OnClose) OnClose(this, action);
    if (action == TCloseAction::caNone) return;
    if (this == Application->MainForm()) {
        Application->Terminate();
        return;
    }
    if (action == TCloseAction::caMinimize)
        ::ShowWindow(Handle(), SW_MINIMIZE);
    else
        Hide();
}

int TForm::ShowModal() {
    if (inModal_) throw std::runtime_error("the window is shown modally already");
    // Every other window of the program is disabled while the modal one runs.
    std::vector<HWND> disabled;
    for (TForm* f : Application->Forms())
        if (f != this && f->HandleAllocated() && ::IsWindowEnabled(f->Handle())) {
            ::EnableWindow(f->Handle(), FALSE);
            disabled.push_back(f->Handle());
        }
    inModal_ = true;
    modalResult_ = mrNone;
    struct Restore {
        TForm* form;
        std::vector<HWND>& windows;
        ~Restore() {
            for (HWND w : windows)
                ::EnableWindow(w, TRUE);
            form->inModal_ = false;
            form->Hide();
        }
    } restore{this, disabled};
    Show();
    ::SetForegroundWindow(Handle());
    while (modalResult_ == mrNone && !Application->Terminated())
        Application->HandleMessage(true);
    return modalResult_;
}

const std::any* TForm::FindHandler(const std::string& name) const {
    auto it = handlers_.find(LowerAscii(name));
    return it == handlers_.end() ? nullptr : &it->second;
}

bool TForm::HandleMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

void TForm::PaintWindow(HDC dc) {
    if (!OnPaint) return;
    paintDC_ = dc;
    struct Done {
        HDC& dc;
        ~Done() { dc = nullptr; }
    } done{paintDC_};
    OnPaint(this);
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (HandleMessage(message, wParam, lParam, result)) return result;
    switch (message) {
        case WM_CLOSE:
            Close();
            return 0;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            if (minWidth_ > 0) info->ptMinTrackSize.x = minWidth_;
            if (minHeight_ > 0) info->ptMinTrackSize.y = minHeight_;
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = ::GetFocus();
                if (focus && ::IsChild(Handle(), focus)) focused_ = focus;
                break;
            }
            if (OnActivate) OnActivate(this);
            if (!HIWORD(wParam) && HasTabStops()) {
                // Back to the control that had the focus, or to the first tab stop.
                HWND target = focused_ && ::IsChild(Handle(), focused_)
                                  ? focused_
                                  : ::GetNextDlgTabItem(Handle(), nullptr, FALSE);
                if (target && ::IsWindowEnabled(target)) {
                    ::SetFocus(target);
                    return 0;
                }
            }
            break;
        case WM_SHOWWINDOW:
            // Hidden by a call of the program, not because an owner was minimised.
            if (!wParam && lParam == 0) {
                visible_ = false;
                if (OnHide) OnHide(this);
            }
            break;
        default:
            break;
    }
    return TScrollingWinControl::WndProc(message, wParam, lParam);
}

namespace {

bool AnyTabStop(const TWinControl& control) {
    for (TControl* c : control.Controls())
        if (c->IsWindowed()) {
            auto* w = static_cast<TWinControl*>(c);
            if (w->TabStop() || AnyTabStop(*w)) return true;
        }
    return false;
}

}  // namespace

bool TForm::HasTabStops() const {
    return AnyTabStop(*this);
}

bool TForm::PreDispatch(MSG& msg) {
    return IsShortCut(msg) || DialogMessage(msg);
}

bool TForm::DialogMessage(MSG& msg) {
    if (!HandleAllocated() || !HasTabStops()) return false;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
        // The focused control first (a focused button takes Enter), then the rest.
        TWinControl* focused = FromHandle(::GetFocus());
        if (focused && focused != this && focused->DialogKey(VK_RETURN)) return true;
        return DialogKey(VK_RETURN);
    }
    return ::IsDialogMessageA(Handle(), &msg) != FALSE;
}

const PropertyRegistry& TForm::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TForm", &TScrollingWinControl::ClassProperties());
        Registrar<TForm>(r)
            .Integer("Width", &TForm::Width, &TForm::SetDesignWidth)
            .Integer("Height", &TForm::Height, &TForm::SetDesignHeight)
            .Pixels("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth)
            .Pixels("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight)
            .Enum("BorderStyle",
                  {{"bsNone", 0},
                   {"bsSingle", 1},
                   {"bsSizeable", 2},
                   {"bsDialog", 3},
                   {"bsToolWindow", 4}},
                  &TForm::BorderStyle, &TForm::SetBorderStyle)
            .Set("BorderIcons",
                 {{"biSystemMenu", biSystemMenu},
                  {"biMinimize", biMinimize},
                  {"biMaximize", biMaximize}},
                 &TForm::BorderIcons, &TForm::SetBorderIcons)
            .Enum("Position",
                  {{"poDesigned", 0},
                   {"poDesktopCenter", 1},
                   {"poScreenCenter", 2},
                   {"poMainFormCenter", 3}},
                  &TForm::Position, &TForm::SetPosition)
            .Enum("FormStyle", {{"fsNormal", 0}, {"fsStayOnTop", 1}}, &TForm::FormStyle,
                  &TForm::SetFormStyle)
            .Pixels("Constraints.MinWidth", &TForm::MinWidth, &TForm::SetMinWidth)
            .Pixels("Constraints.MinHeight", &TForm::MinHeight, &TForm::SetMinHeight)
            .Event<TNotifyEvent>("OnCreate", [](TForm& f, TNotifyEvent e) { f.OnCreate = e; })
            .Event<TNotifyEvent>("OnShow", [](TForm& f, TNotifyEvent e) { f.OnShow = e; })
            .Event<TNotifyEvent>("OnHide", [](TForm& f, TNotifyEvent e) { f.OnHide = e; })
            .Event<TNotifyEvent>("OnPaint", [](TForm& f, TNotifyEvent e) { f.OnPaint = e; })
            .Event<TNotifyEvent>("OnDestroy", [](TForm& f, TNotifyEvent e) { f.OnDestroy = e; })
            .Event<TNotifyEvent>("OnActivate", [](TForm& f, TNotifyEvent e) { f.OnActivate = e; })
            .Event<TCloseEvent>("OnClose", [](TForm& f, TCloseEvent e) { f.OnClose = e; });
        return r;
    }();
    return registry;
}

}  // namespace ui
