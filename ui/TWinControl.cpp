#include "ui/TWinControl.h"

#include <windowsx.h>

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ui/HintWindow.h"
#include "ui/TApplication.h"
#include "ui/TPopupMenu.h"
#include "win/handles.h"

namespace ui {

namespace {

// The controls of this thread's windows, by window. A window's messages come to the
// thread that made it, so the lookup of every message stays in the process; a window
// property would ask the window server each time (under Wine, a round trip).
thread_local std::unordered_map<HWND, TWinControl*> controlOfWindow;

constexpr UINT kRepaintFlags = RDW_INVALIDATE | RDW_ALLCHILDREN;

// The RepaintHolds of this thread and the windows with areas waiting under them.
thread_local int repaintHolds = 0;
thread_local std::vector<TWinControl*> heldWindows;

TShiftState ShiftFromKeys(WPARAM keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    if (::GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

}  // namespace

LRESULT CALLBACK GlimraWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = TWinControl::FromHandle(window);
    if (!control && message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        control = static_cast<TWinControl*>(cs->lpCreateParams);
        if (control) {
            controlOfWindow[window] = control;
            control->handle_ = window;
        }
    }
    if (!control) return ::DefWindowProcA(window, message, wParam, lParam);
    // A control that paints its background itself, into the buffer of each paint,
    // leaves the system's erase undone: the paint that follows covers it all, and
    // an erase of its own would show for a moment before it (and cost a drawing).
    if (message == WM_ERASEBKGND && control->PaintsItsBackground()) return 1;
    LRESULT result = 0;
    try {
        result = control->WndProc(message, wParam, lParam);
    } catch (...) {
        Application->HandleException(std::current_exception());
    }
    if (message == WM_NCDESTROY) {
        controlOfWindow.erase(window);
        control->handle_ = nullptr;
    }
    return result;
}

namespace {

// The window class of the toolkit's own windows, registered once, before the
// first of them is made.
void RegisterWindowClass(HINSTANCE instance) {
    static const bool registered = [instance] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = GlimraWindowProc;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hIcon = ::LoadIconA(instance, "MAINICON");
        wc.lpszClassName = "GlimraWindow";
        return ::RegisterClassExA(&wc) != 0;
    }();
    (void)registered;
}

}  // namespace

TWinControl* TWinControl::FromHandle(HWND window) {
    const auto found = controlOfWindow.find(window);
    return found != controlOfWindow.end() ? found->second : nullptr;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

RepaintHold::RepaintHold() {
    ++repaintHolds;
}

RepaintHold::~RepaintHold() {
    if (--repaintHolds > 0) return;
    const std::vector<TWinControl*> windows = std::exchange(heldWindows, {});
    for (TWinControl* c : windows) {
        c->held_ = false;
        if (std::exchange(c->heldFrame_, false)) c->InvalidateFrame();
        if (c->handle_) ::RedrawWindow(c->handle_, &c->heldArea_, nullptr, kRepaintFlags);
    }
}

TWinControl::~TWinControl() {
    while (!controls_.empty())
        delete controls_.back();
    if (held_) std::erase(heldWindows, this);
    DestroyWnd();
}

HWND TWinControl::Handle() {
    // The window of this control, and of its parents before it; the windows of
    // the children come with HandleNeeded.
    if (!handle_) {
        if (parent_) parent_->Handle();
        if (!handle_) CreateWnd();
    }
    return handle_;
}

void TWinControl::HandleNeeded() {
    Handle();
    for (TControl* c : controls_)
        if (c->IsWindowed()) static_cast<TWinControl*>(c)->HandleNeeded();
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.caption = caption_;
    params.style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (visible_) params.style |= WS_VISIBLE;
    if (!enabled_) params.style |= WS_DISABLED;
    if (tabStop_) params.style |= WS_TABSTOP;
    const POINT shift = parent_ ? parent_->scroll_ : POINT{0, 0};
    params.x = left_ - shift.x;
    params.y = top_ - shift.y;
    params.width = width_;
    params.height = height_;
    params.parent = parent_ ? parent_->Handle() : nullptr;
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    const bool ours = params.className == "GlimraWindow";
    if (ours) RegisterWindowClass(Application->Instance());
    HWND window =
        ::CreateWindowExA(params.exStyle, params.className.c_str(), params.caption.c_str(),
                          params.style, params.x, params.y, params.width, params.height,
                          params.parent, nullptr, Application->Instance(), ours ? this : nullptr);
    if (!window) throw std::runtime_error("cannot create the window of " + Name());
    if (!ours) {
        // A system control: take over its window procedure, keeping the original.
        controlOfWindow[window] = this;
        handle_ = window;
        systemProc_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
            window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&GlimraWindowProc)));
    }
    ::SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), FALSE);
    if (parent_) parent_->PlaceInTabOrder(this);
    WindowCreated();
    Realign();
}

void TWinControl::DestroyWnd() {
    hints_.reset();
    if (handle_) ::DestroyWindow(handle_);
    handle_ = nullptr;
}

HFONT TWinControl::FontHandle() {
    if (!font_) font_.Reset(CreateFontFor(Font()));
    return font_.Get();
}

void TWinControl::FontChanged() {
    font_.Reset();
    if (handle_) ::SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), TRUE);
    for (TControl* c : controls_)
        c->ParentFontChanged();
    Invalidate();
}

void TWinControl::AdoptChild(TComponent* child) {
    if (auto* control = dynamic_cast<TControl*>(child)) control->SetParent(this);
}

void TWinControl::InsertControl(TControl* control) {
    controls_.push_back(control);
    control->parent_ = this;
    if (control->IsWindowed()) tabList_.push_back(static_cast<TWinControl*>(control));
    if (handle_ && control->IsWindowed()) static_cast<TWinControl*>(control)->HandleNeeded();
    if (control->Align() != TAlign::alNone) Realign();
    control->Invalidate();
}

void TWinControl::RemoveControl(TControl* control) {
    control->Invalidate();
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), control), tabList_.end());
    if (hints_) hints_->Forget(control);
    if (hovered_ == control) hovered_ = nullptr;
    if (captured_ == control) captured_ = nullptr;
    control->parent_ = nullptr;
    if (control->IsWindowed()) static_cast<TWinControl*>(control)->DestroyWnd();
    Realign();
}

int TWinControl::ClientWidth() const {
    RECT r = ClientRect();
    return r.right - r.left;
}

int TWinControl::ClientHeight() const {
    RECT r = ClientRect();
    return r.bottom - r.top;
}

RECT TWinControl::ClientRect() const {
    RECT r{0, 0, width_, height_};
    if (handle_) ::GetClientRect(handle_, &r);
    return r;
}

void TWinControl::RealignControls(RECT& area, TAlign which) {
    std::vector<TControl*> group;
    for (TControl* c : controls_)
        if (c->Align() == which && c->Visible()) group.push_back(c);
    // Aligned controls keep their visual order: by position, then by child order.
    auto key = [which](const TControl* c) {
        switch (which) {
            case TAlign::alTop:
                return c->Top();
            case TAlign::alBottom:
                return -(c->Top() + c->Height());
            case TAlign::alLeft:
                return c->Left();
            case TAlign::alRight:
                return -(c->Left() + c->Width());
            default:
                return 0;
        }
    };
    std::stable_sort(group.begin(), group.end(),
                     [&](const TControl* a, const TControl* b) { return key(a) < key(b); });
    for (TControl* c : group) {
        const RECT m = c->AlignWithMargins() ? c->Margins() : RECT{0, 0, 0, 0};
        // The control's slot, margins included, and the control inside it.
        const int w = std::max(0, int(area.right - area.left - m.left - m.right));
        const int h = std::max(0, int(area.bottom - area.top - m.top - m.bottom));
        const int cw = c->Width(), ch = c->Height();
        switch (which) {
            case TAlign::alTop:
                c->SetBounds(area.left + m.left, area.top + m.top, w, ch);
                area.top += m.top + ch + m.bottom;
                break;
            case TAlign::alBottom:
                c->SetBounds(area.left + m.left, area.bottom - m.bottom - ch, w, ch);
                area.bottom -= m.top + ch + m.bottom;
                break;
            case TAlign::alLeft:
                c->SetBounds(area.left + m.left, area.top + m.top, cw, h);
                area.left += m.left + cw + m.right;
                break;
            case TAlign::alRight:
                c->SetBounds(area.right - m.right - cw, area.top + m.top, cw, h);
                area.right -= m.left + cw + m.right;
                break;
            case TAlign::alClient:
                c->SetBounds(area.left + m.left, area.top + m.top, w, h);
                break;
            case TAlign::alNone:
                break;
        }
    }
}

void TWinControl::Realign() {
    if (realigning_) return;
    realigning_ = true;
    RECT area = ClientRect();
    AdjustClientRect(area);
    area.left += padding_.left;
    area.top += padding_.top;
    area.right -= padding_.right;
    area.bottom -= padding_.bottom;
    for (TAlign a :
         {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient})
        RealignControls(area, a);
    realigning_ = false;
}

void TWinControl::SetPadding(LONG RECT::*side, int pixels) {
    padding_.*side = pixels;
    Realign();
}

const PropertyRegistry& TWinControl::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TWinControl", &TControl::ClassProperties());
        auto side = [](LONG RECT::*s) {
            return std::make_pair([s](const TWinControl& c) { return int(c.Padding().*s); },
                                  [s](TWinControl& c, int v) { c.SetPadding(s, v); });
        };
        auto [gl, sl] = side(&RECT::left);
        auto [gt, st] = side(&RECT::top);
        auto [gr, sr] = side(&RECT::right);
        auto [gb, sb] = side(&RECT::bottom);
        Registrar<TWinControl>(r)
            .Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
            .Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop)
            .Pixels("Padding.Left", gl, sl)
            .Pixels("Padding.Top", gt, st)
            .Pixels("Padding.Right", gr, sr)
            .Pixels("Padding.Bottom", gb, sb);
        return r;
    }();
    return registry;
}

void TWinControl::BoundsChanged(const RECT&) {
    const POINT shift = parent_ ? parent_->scroll_ : POINT{0, 0};
    if (handle_)
        ::SetWindowPos(handle_, nullptr, left_ - shift.x, top_ - shift.y, width_, height_,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    Realign();
}

void TWinControl::InvalidateArea(const RECT& area) {
    if (!handle_) return;
    RECT r = area;
    ::OffsetRect(&r, -scroll_.x, -scroll_.y);
    if (repaintHolds > 0) {
        if (held_) {
            ::UnionRect(&heldArea_, &heldArea_, &r);
        } else {
            held_ = true;
            heldArea_ = r;
            heldWindows.push_back(this);
        }
        return;
    }
    // Child windows there repaint too: a transparent one shows what changed.
    ::RedrawWindow(handle_, &r, nullptr, kRepaintFlags);
}

void TWinControl::InvalidateFrame() {
    if (!handle_) return;
    if (repaintHolds > 0) {
        if (!held_) {
            held_ = true;
            heldArea_ = {};
            heldWindows.push_back(this);
        }
        heldFrame_ = true;
        return;
    }
    // The region is all but the client area, in client coordinates.
    RECT client;
    ::GetClientRect(handle_, &client);
    HRGN frame = ::CreateRectRgn(-0x8000, -0x8000, 0x7FFF, 0x7FFF);
    HRGN inside = ::CreateRectRgnIndirect(&client);
    ::CombineRgn(frame, frame, inside, RGN_DIFF);
    ::RedrawWindow(handle_, nullptr, frame, RDW_FRAME | RDW_INVALIDATE);
    ::DeleteObject(inside);
    ::DeleteObject(frame);
}

int TWinControl::TabOrder() const {
    if (!parent_) return -1;
    const auto& list = parent_->tabList_;
    return int(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int order) {
    if (!parent_) return;
    auto& list = parent_->tabList_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    order = std::clamp(order, 0, int(list.size()));
    list.insert(list.begin() + order, this);
    for (TWinControl* c : list)
        parent_->PlaceInTabOrder(c);
}

void TWinControl::PlaceInTabOrder(TWinControl* child) {
    if (!child->handle_) return;
    HWND after = HWND_TOP;
    for (TWinControl* c : tabList_) {
        if (c == child) break;
        if (c->handle_) after = c->handle_;
    }
    ::SetWindowPos(child->handle_, after, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void TWinControl::SetTabStop(bool tabStop) {
    tabStop_ = tabStop;
    if (!handle_) return;
    LONG style = ::GetWindowLongA(handle_, GWL_STYLE);
    style = tabStop ? style | WS_TABSTOP : style & ~WS_TABSTOP;
    ::SetWindowLongA(handle_, GWL_STYLE, style);
}

bool TWinControl::DialogKey(WPARAM key) {
    for (TWinControl* c : tabList_)
        if (c->Showing() && c->Enabled() && c->DialogKey(key)) return true;
    return false;
}

void TWinControl::SetVisible(bool visible) {
    TControl::SetVisible(visible);
    if (handle_) ::ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::SetEnabled(bool enabled) {
    TControl::SetEnabled(enabled);
    if (handle_) ::EnableWindow(handle_, enabled);
}

void TWinControl::SetCaption(const std::string& caption) {
    TControl::SetCaption(caption);
    if (handle_) ::SetWindowTextA(handle_, caption.c_str());
}

void TWinControl::Invalidate() {
    if (handle_) ::InvalidateRect(handle_, nullptr, FALSE);
}

TControl* TWinControl::ControlAt(int x, int y) const {
    POINT p{x + scroll_.x, y + scroll_.y};
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        RECT r = c->BoundsRect();
        if (!c->IsWindowed() && c->Visible() && ::PtInRect(&r, p)) return c;
    }
    return nullptr;
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintBuffered(HDC dc, const RECT& area) {
    // Background, own content and light children go to a bitmap first and reach
    // the screen in one copy, so that nothing flickers when a part repaints (the
    // program's own repaints do not ask the system to erase first).
    const int w = area.right - area.left, h = area.bottom - area.top;
    win::MemoryDC memory(w > 0 && h > 0 && Color() != clNone ? ::CreateCompatibleDC(dc) : nullptr);
    win::Bitmap buffer(memory ? ::CreateCompatibleBitmap(dc, w, h) : nullptr);
    if (!buffer) {
        if (Color() != clNone) WndProc(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        PaintWindow(dc);
        PaintControls(dc, area);
        return;
    }
    win::Selection select(memory.Get(), buffer.Get());
    ::SetWindowOrgEx(memory.Get(), area.left, area.top, nullptr);
    // The background as WM_ERASEBKGND paints it, the control's own or ours.
    WndProc(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.Get()), 0);
    PaintWindow(memory.Get());
    PaintControls(memory.Get(), area);
    ::BitBlt(dc, area.left, area.top, w, h, memory.Get(), area.left, area.top, SRCCOPY);
}

void TWinControl::PaintUpdateNow() {
    RECT update;
    if (systemProc_ || !handle_ || !::GetUpdateRect(handle_, &update, FALSE)) return;
    HDC dc = ::GetDC(handle_);
    if (!dc) return;
    PaintBuffered(dc, update);
    ::ReleaseDC(handle_, dc);
    ::ValidateRect(handle_, &update);
}

void TWinControl::PaintBehind(const RECT& area, HDC dc) {
    const int saved = ::SaveDC(dc);
    ::OffsetWindowOrgEx(dc, area.left, area.top, nullptr);
    ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    WndProc(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    PaintWindow(dc);
    PaintControls(dc, area);
    ::RestoreDC(dc, saved);
}

void TWinControl::PaintControls(HDC dc, const RECT& area) {
    for (TControl* c : controls_) {
        if (c->IsWindowed() || !c->Visible()) continue;
        RECT r = c->BoundsRect(), hit;
        ::OffsetRect(&r, -scroll_.x, -scroll_.y);
        if (!::IntersectRect(&hit, &r, &area)) continue;
        const int saved = ::SaveDC(dc);
        ::IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        ::OffsetWindowOrgEx(dc, -r.left, -r.top, nullptr);
        c->Paint(dc);
        ::RestoreDC(dc, saved);
    }
}

void TWinControl::SetHovered(TControl* control) {
    if (control == hovered_) return;
    TControl* old = hovered_;
    hovered_ = control;
    if (old) old->MouseLeave();
    if (control) control->MouseEnter();
    // The tooltip of the window shows the hints of light children.
    TControl* light = control && control != this ? control : nullptr;
    if (light && !hints_ && handle_ && light->ShowHint() && !light->Hint().empty())
        hints_ = std::make_unique<THintWindow>(handle_);
    if (hints_ && light)
        hints_->Track(light, {light->Left() - scroll_.x, light->Top() - scroll_.y});
}

void TWinControl::RouteMouse(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    const TShiftState shift = ShiftFromKeys(wParam);
    TControl* under = ControlAt(x, y);
    TControl* target = captured_ ? captured_ : under ? under : this;
    const int tx = target == this ? x : x + scroll_.x - target->Left();
    const int ty = target == this ? y : y + scroll_.y - target->Top();
    if (hints_) hints_->Relay(message, wParam, lParam);
    TMouseButton button = TMouseButton::mbLeft;
    switch (message) {
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
            button = TMouseButton::mbRight;
            break;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            button = TMouseButton::mbMiddle;
            break;
        default:
            break;
    }
    switch (message) {
        case WM_MOUSEMOVE:
            if (!tracking_) {
                TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, handle_, 0};
                tracking_ = ::TrackMouseEvent(&tme) != FALSE;
            }
            SetHovered(under ? under : this);
            target->MouseMove(shift, tx, ty);
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            // A system control takes and lets go of the capture itself.
            if (!captured_) {
                captured_ = target;
                if (!systemProc_) ::SetCapture(handle_);
            }
            target->MouseDown(button, shift, tx, ty);
            break;
        default: {  // a button went up
            const bool inside = tx >= 0 && ty >= 0 && tx < target->Width() && ty < target->Height();
            if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
                captured_ = nullptr;
                if (!systemProc_ && ::GetCapture() == handle_) ::ReleaseCapture();
            }
            target->MouseUp(button, shift, tx, ty);
            // A system control reports its own clicks (BN_CLICKED, STN_CLICKED).
            const bool reportsOwnClicks = target == this && systemProc_;
            if (button == TMouseButton::mbLeft && inside && target->Enabled() && !reportsOwnClicks)
                target->Click();
            // A right click on a control with a menu opens it where the mouse is.
            if (button == TMouseButton::mbRight && inside && target->PopupMenu()) {
                POINT p;
                ::GetCursorPos(&p);
                target->PopupMenu()->Popup(p.x, p.y);
            }
        }
    }
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
    if (systemProc_) return ::CallWindowProcA(systemProc_, handle_, message, wParam, lParam);
    return ::DefWindowProcA(handle_, message, wParam, lParam);
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            if (systemProc_ || Color() == clNone) break;
            {
                RECT r;
                ::GetClientRect(handle_, &r);
                win::Brush brush(::CreateSolidBrush(ColorToRGB(Color())));
                ::FillRect(reinterpret_cast<HDC>(wParam), &r, brush.Get());
            }
            return 1;
        case WM_PAINT: {
            if (systemProc_) break;
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(handle_, &ps);
            PaintBuffered(dc, ps.rcPaint);
            ::EndPaint(handle_, &ps);
            return 0;
        }
        case WM_WINDOWPOSCHANGED: {
            // Keep the bounds in step when the system moves or sizes the window.
            // A minimised window keeps the bounds it has when restored: its
            // controls are not laid out into the icon's size and back again.
            if (::IsIconic(handle_)) break;
            RECT r;
            ::GetWindowRect(handle_, &r);
            HWND parentWindow = ::GetParent(handle_);
            if (parentWindow && (::GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD))
                ::MapWindowPoints(nullptr, parentWindow, reinterpret_cast<POINT*>(&r), 2);
            const POINT shift = parent_ ? parent_->scroll_ : POINT{0, 0};
            left_ = r.left + shift.x;
            top_ = r.top + shift.y;
            width_ = r.right - r.left;
            height_ = r.bottom - r.top;
            Realign();
            break;
        }
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_MBUTTONDBLCLK:
            RouteMouse(message, wParam, lParam);
            if (systemProc_) break;
            return 0;
        case WM_MOUSELEAVE:
            tracking_ = false;
            SetHovered(nullptr);
            break;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != handle_) captured_ = nullptr;
            break;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == handle_ && LOWORD(lParam) == HTCLIENT) {
                int cursor = Application->ScreenCursor();
                if (cursor == crDefault) cursor = hovered_ ? hovered_->Cursor() : cursor_;
                if (cursor != crDefault) {
                    ::SetCursor(Application->Cursors(cursor));
                    return TRUE;
                }
            }
            break;
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            // Notifications of a child control go back to the control itself.
            HWND from = message == WM_NOTIFY ? reinterpret_cast<NMHDR*>(lParam)->hwndFrom
                                             : reinterpret_cast<HWND>(lParam);
            TWinControl* child = FromHandle(from);
            if (child && child != this) return child->WndProc(kReflected + message, wParam, lParam);
            break;
        }
        case kReflected + WM_CTLCOLORSTATIC:
        case kReflected + WM_CTLCOLORBTN:
            // Not handled by the control: the system's colours.
            return ::DefWindowProcA(handle_, message - kReflected, wParam, lParam);
        default:
            break;
    }
    return DefaultHandler(message, wParam, lParam);
}

}  // namespace ui
