#include "testing/desktop/ScrollingWindow.h"

#include <algorithm>

namespace glimra::test {

namespace {

constexpr const char* kClass = "OtherProgramScrolling";
constexpr int kWheelSteps[] = {37, 61, 89};

}  // namespace

COLORREF ScrollingWindow::Content(int x, int y) {
    // Red and green's high part name the row; the rest is a pattern across it.
    return RGB(y & 255, (y >> 8) * 12 + x % 12, (x * 5 + y * 3) & 255);
}

COLORREF ScrollingWindow::Header(int x, int y) {
    return RGB(250, 40 + y, x & 255);
}

COLORREF ScrollingWindow::Footer(int x, int y) {
    return RGB(20 + y, 250, 255 - (x & 255));
}

COLORREF ScrollingWindow::Whole(int x, int y) const {
    if (y < options_.header) return Header(x, y);
    y -= options_.header;
    if (y < kContentHeight) return Content(x, y);
    return Footer(x, y - kContentHeight);
}

ScrollingWindow::ScrollingWindow(OtherProgram& thread, POINT at, Options options)
    : thread_(thread), options_(options), position_(options.start) {
    thread_.Run([&] {
        static const bool registered = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = Proc;
            wc.hInstance = ::GetModuleHandleA(nullptr);
            wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
            wc.lpszClassName = kClass;
            return ::RegisterClassA(&wc) != 0;
        }();
        (void)registered;
        const DWORD style = WS_POPUP | WS_BORDER | WS_VSCROLL;
        RECT outer{at.x, at.y, at.x + kSide, at.y + kSide};
        ::AdjustWindowRect(&outer, style, FALSE);
        outer.right += ::GetSystemMetrics(SM_CXVSCROLL);
        window_ = ::CreateWindowExA(0, kClass, "Scrolling", style, outer.left, outer.top,
                                    outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                    nullptr, ::GetModuleHandleA(nullptr), this);
        ScrollTo(options_.start);
        ::ShowWindow(window_, SW_SHOW);
        ::UpdateWindow(window_);
    });
}

ScrollingWindow::~ScrollingWindow() {
    thread_.Run([&] { ::DestroyWindow(window_); });
}

void ScrollingWindow::ScrollTo(int position) {
    position = std::clamp(position, 0, kContentHeight - Moving());
    position_ = position;
    SCROLLINFO info{sizeof info, SIF_ALL, 0, kContentHeight - 1, UINT(Moving()), position, 0};
    ::SetScrollInfo(window_, SB_VERT, &info, TRUE);
    ::InvalidateRect(window_, nullptr, FALSE);
    ::UpdateWindow(window_);
    if (options_.pause) ::Sleep(options_.pause);
}

void ScrollingWindow::Paint(HDC dc) const {
    std::vector<DWORD> pixels(std::size_t(kSide) * kSide);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const int moving = y - options_.header;
            const COLORREF c = y < options_.header ? Header(x, y)
                               : moving < Moving() ? Content(x, position_ + moving)
                                                   : Footer(x, moving - Moving());
            pixels[std::size_t(y) * kSide + std::size_t(x)] =
                DWORD(GetBValue(c)) | DWORD(GetGValue(c)) << 8 | DWORD(GetRValue(c)) << 16;
        }
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kSide, -kSide, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    ::SetDIBitsToDevice(dc, 0, 0, kSide, kSide, 0, 0, 0, kSide, pixels.data(), &info,
                        DIB_RGB_COLORS);
}

LRESULT CALLBACK ScrollingWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        ::SetWindowLongPtrA(window, GWLP_USERDATA,
                            LONG_PTR(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<ScrollingWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self || self->window_ != window) return ::DefWindowProcA(window, message, wParam, lParam);
    const Scrolls scrolls = self->options_.scrolls;
    const int at = self->position_;
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(window, &ps);
            self->Paint(dc);
            ::EndPaint(window, &ps);
            return 0;
        }
        case WM_VSCROLL:
            if (scrolls == Scrolls::ByWheel &&
                (LOWORD(wParam) == SB_THUMBPOSITION || LOWORD(wParam) == SB_THUMBTRACK))
                self->ScrollTo(HIWORD(wParam));
            if (scrolls != Scrolls::ByLines) return 0;
            switch (LOWORD(wParam)) {
                case SB_LINEDOWN:
                    self->ScrollTo(at + kLine);
                    break;
                case SB_LINEUP:
                    self->ScrollTo(at - kLine);
                    break;
                case SB_PAGEDOWN:
                    self->ScrollTo(at + self->Moving());
                    break;
                case SB_PAGEUP:
                    self->ScrollTo(at - self->Moving());
                    break;
                case SB_TOP:
                    self->ScrollTo(0);
                    break;
                case SB_BOTTOM:
                    self->ScrollTo(kContentHeight);
                    break;
                case SB_THUMBPOSITION:
                case SB_THUMBTRACK:
                    self->ScrollTo(HIWORD(wParam));
                    break;
            }
            return 0;
        case WM_KEYDOWN:
            if (scrolls != Scrolls::ByPageKeys) return 0;
            if (wParam == VK_NEXT || wParam == VK_PRIOR)
                self->ScrollTo(at + (wParam == VK_NEXT ? 1 : -1) * (self->Moving() - kLine));
            else if (wParam == VK_DOWN || wParam == VK_UP)
                self->ScrollTo(at + (wParam == VK_DOWN ? kLine : -kLine));
            else if (wParam == VK_HOME || wParam == VK_END)
                self->ScrollTo(wParam == VK_HOME ? 0 : kContentHeight);
            return 0;
        case WM_MOUSEWHEEL:
            if (scrolls == Scrolls::ByWheel) {
                const int step = kWheelSteps[self->wheelTurn_++ % 3];
                self->ScrollTo(at + (GET_WHEEL_DELTA_WPARAM(wParam) < 0 ? step : -step));
            }
            return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace glimra::test
