#include "app/PinWindow.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "ui/TApplication.h"
#include "ui/TBitmap.h"

namespace {

constexpr const char* kClass = "GlimraPin";

struct Pin {
    ui::TBitmap picture;
    int percent = 100;
    POINT grabbed{};  // where a drag took hold, in the window
    bool dragging = false;
};

Pin* PinOf(HWND window) {
    return reinterpret_cast<Pin*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
}

// The window's size for the picture at its zoom, the point under the pointer
// staying where it is.
void Zoom(HWND window, Pin& pin, int percent, POINT screenPoint) {
    percent = std::clamp(percent, 25, 400);
    if (percent == pin.percent) return;
    RECT r;
    ::GetWindowRect(window, &r);
    const double scale = double(percent) / pin.percent;
    const int width = std::max(1, pin.picture.Width() * percent / 100);
    const int height = std::max(1, pin.picture.Height() * percent / 100);
    const int left = screenPoint.x - int((screenPoint.x - r.left) * scale);
    const int top = screenPoint.y - int((screenPoint.y - r.top) * scale);
    pin.percent = percent;
    ::SetWindowPos(window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(window, nullptr, FALSE);
}

LRESULT CALLBACK PinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Pin* pin = PinOf(window);
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(window, &paint);
            if (pin) {
                RECT client;
                ::GetClientRect(window, &client);
                HDC source = pin->picture.Canvas().Handle();
                ::SetStretchBltMode(dc, pin->percent < 100 ? HALFTONE : COLORONCOLOR);
                ::SetBrushOrgEx(dc, 0, 0, nullptr);
                ::StretchBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0,
                             pin->picture.Width(), pin->picture.Height(), SRCCOPY);
            }
            ::EndPaint(window, &paint);
            return 0;
        }
        case WM_LBUTTONDOWN:
            if (!pin) break;
            pin->dragging = true;
            pin->grabbed = {short(LOWORD(lParam)), short(HIWORD(lParam))};
            ::SetCapture(window);
            return 0;
        case WM_MOUSEMOVE:
            if (pin && pin->dragging) {
                POINT p;
                ::GetCursorPos(&p);
                ::SetWindowPos(window, nullptr, p.x - pin->grabbed.x, p.y - pin->grabbed.y, 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            return 0;
        case WM_LBUTTONUP:
            if (pin) pin->dragging = false;
            ::ReleaseCapture();
            return 0;
        case WM_MOUSEWHEEL:
            if (pin) {
                const int steps = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
                int percent = pin->percent;
                for (int i = 0; i < std::abs(steps); ++i)
                    percent = steps > 0 ? percent * 5 / 4 : percent * 4 / 5;
                Zoom(window, *pin, percent, {short(LOWORD(lParam)), short(HIWORD(lParam))});
            }
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) ::DestroyWindow(window);
            return 0;
        case WM_LBUTTONDBLCLK:
            ::DestroyWindow(window);
            return 0;
        case WM_NCDESTROY:
            delete pin;
            ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            break;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void PinPicture(const glimra::PixelView& picture, POINT at) {
    if (picture.Empty()) return;
    HINSTANCE instance = ui::Application->Instance();
    WNDCLASSA cls{};
    cls.style = CS_DBLCLKS;
    cls.lpfnWndProc = PinProc;
    cls.hInstance = instance;
    cls.lpszClassName = kClass;
    cls.hCursor = ::LoadCursor(nullptr, IDC_SIZEALL);
    ::RegisterClassA(&cls);  // a second registration fails harmlessly
    auto pin = std::make_unique<Pin>();
    pin->picture.Recreate(
        picture.bytesPerPixel == 4 ? ui::TPixelFormat::pf32bit : ui::TPixelFormat::pf24bit,
        picture.width, picture.height);
    const glimra::PixelView copy = pin->picture.View();
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(copy.Row(y), picture.Row(y),
                    std::size_t(picture.width) * std::size_t(picture.bytesPerPixel));
    HWND window =
        ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClass, "Glimra pin", WS_POPUP, at.x,
                          at.y, picture.width, picture.height, nullptr, nullptr, instance, nullptr);
    if (!window) return;
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pin.release()));
    ::ShowWindow(window, SW_SHOW);
    ::SetForegroundWindow(window);
}
