#include "app/ScrollingProgress.h"

#include <algorithm>
#include <string>

#include "capture/ScrnCap.h"
#include "ui/TApplication.h"
#include "win/SystemFunction.h"

namespace {

constexpr const char* kClass = "GlimraScrollingProgress";
constexpr int kWidth = 320, kHeight = 40, kGap = 8;

// Where the window stands: beside the area, within the work area of its display,
// or else in that work area's lower right corner, over the area.
RECT Place(RECT area, bool& over) {
    MONITORINFO monitor{sizeof monitor, {}, {}, 0};
    ::GetMonitorInfoA(::MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT work = monitor.rcWork;
    const auto within = [&](int x, int y) {
        x = std::max(int(work.left), std::min(x, int(work.right) - kWidth));
        return RECT{x, y, x + kWidth, y + kHeight};
    };
    for (const RECT r :
         {within(area.left, area.bottom + kGap), within(area.left, area.top - kGap - kHeight),
          RECT{area.right + kGap, area.top, area.right + kGap + kWidth, area.top + kHeight},
          RECT{area.left - kGap - kWidth, area.top, area.left - kGap, area.top + kHeight}}) {
        RECT inside, common;
        if (::IntersectRect(&inside, &r, &work) && ::EqualRect(&inside, &r) &&
            !::IntersectRect(&common, &r, &area)) {
            over = false;
            return r;
        }
    }
    over = true;
    return {work.right - kWidth, work.bottom - kHeight, work.right, work.bottom};
}

}  // namespace

ScrollingProgress::ScrollingProgress(RECT area) {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = ::GetSysColorBrush(COLOR_INFOBK);
        wc.lpszClassName = kClass;
        return ::RegisterClassA(&wc) != 0;
    }();
    (void)registered;
    bool over = false;
    const RECT r = Place(area, over);
    window_ = ::CreateWindowExA(
        WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClass, "Glimra", WS_POPUP | WS_BORDER, r.left, r.top,
        r.right - r.left, r.bottom - r.top, nullptr, nullptr, ::GetModuleHandleA(nullptr), this);
    if (!window_) return;
    if (over) {
        // WDA_EXCLUDEFROMCAPTURE, which Windows 10 2004 and later know
        // (https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-setwindowdisplayaffinity).
        const auto set = win::OptionalSystemFunction<decltype(::SetWindowDisplayAffinity)>(
            "user32.dll", "SetWindowDisplayAffinity");
        hideForGrabs_ = !set || !set(window_, 0x11);
    }
    ::ShowWindow(window_, SW_SHOW);
    ::SetForegroundWindow(window_);
    ::SetFocus(window_);
}

ScrollingProgress::~ScrollingProgress() {
    if (window_) ::DestroyWindow(window_);
}

void ScrollingProgress::Show(int screens) {
    Say("Scrolling capture: " + std::to_string(screens) + (screens == 1 ? " screen" : " screens") +
        " taken. Esc stops.");
}

void ScrollingProgress::Say(const std::string& text) {
    text_ = text;
    if (!window_) return;
    ::InvalidateRect(window_, nullptr, TRUE);
    ::UpdateWindow(window_);
}

std::unique_ptr<ui::TBitmap> ScrollingProgress::Grab(RECT area) {
    if (!hideForGrabs_ || !window_) return GrabScreenRect(area);
    ::ShowWindow(window_, SW_HIDE);
    // What the window covered paints itself again first.
    ui::Application->HandleMessagesUntil(nullptr, 60);
    std::unique_ptr<ui::TBitmap> picture = GrabScreenRect(area);
    ::ShowWindow(window_, SW_SHOWNA);
    return picture;
}

LRESULT CALLBACK ScrollingProgress::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        ::SetWindowLongPtrA(window, GWLP_USERDATA,
                            LONG_PTR(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<ScrollingProgress*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE && self) self->stopped_ = true;
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(window, &ps);
            RECT r;
            ::GetClientRect(window, &r);
            HGDIOBJ font = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, ::GetSysColor(COLOR_INFOTEXT));
            if (self)
                ::DrawTextA(dc, self->text_.c_str(), -1, &r,
                            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            ::SelectObject(dc, font);
            ::EndPaint(window, &ps);
            return 0;
        }
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}
