#include "capture/ScrnCap.h"

#include <dwmapi.h>

#include "capture/Displays.h"
#include "win/SystemFunction.h"
#include "win/handles.h"

namespace {

// DwmGetWindowAttribute of dwmapi (Windows Vista on); null where it is missing.
decltype(::DwmGetWindowAttribute)* WindowAttribute() {
    static const auto get = win::OptionalSystemFunction<decltype(::DwmGetWindowAttribute)>(
        "dwmapi.dll", "DwmGetWindowAttribute");
    return get;
}

// The compositor keeps the window off the screen although it is "visible": a
// window on another virtual desktop, or an app that is suspended.
bool Cloaked(HWND window) {
    auto get = WindowAttribute();
    DWORD cloaked = 0;
    return get && get(window, DWMWA_CLOAKED, &cloaked, sizeof cloaked) == S_OK && cloaked != 0;
}

// The screen's pixels inside `area` into `target`, resized to it; black where no
// display shows the screen.
void GrabInto(const RECT& area, ui::TBitmap& target) {
    // Sizing comes first, so that a size the system cannot give fails before any
    // drawing context is taken.
    target.Recreate(target.PixelFormat(), area.right - area.left, area.bottom - area.top);
    if (target.Empty()) return;
    HDC dc = target.Canvas().Handle();
    // Only the part on the virtual screen is read: a transfer that reaches
    // beyond it may copy nothing at all.
    const RECT screen = VirtualScreen();
    RECT shown;
    if (::IntersectRect(&shown, &area, &screen)) {
        win::WindowDC source = win::WindowDC::Of(nullptr);
        ::BitBlt(dc, shown.left - area.left, shown.top - area.top, shown.right - shown.left,
                 shown.bottom - shown.top, source.Get(), shown.left, shown.top, SRCCOPY);
    }
    // Beyond the displays the screen has no pixels of its own to give.
    BlackenBeyondDisplays(dc, area);
}

}  // namespace

std::unique_ptr<ui::TBitmap> GrabScreenRect(RECT rectangle) {
    PhysicalPixels physical;
    auto bitmap = std::make_unique<ui::TBitmap>();
    GrabInto(rectangle, *bitmap);
    return bitmap;
}

RECT WindowArea(HWND window) {
    PhysicalPixels physical;
    RECT r{0, 0, 0, 0};
    if (!window || !::IsWindow(window)) return r;
    // The compositor's rectangle is in physical pixels whatever the thread's
    // awareness ("DWMWINDOWATTRIBUTE", DWMWA_EXTENDED_FRAME_BOUNDS); it fails
    // for child windows and where the compositor is off.
    if (auto get = WindowAttribute())
        if (get(window, DWMWA_EXTENDED_FRAME_BOUNDS, &r, sizeof r) == S_OK && r.right > r.left &&
            r.bottom > r.top)
            return r;
    if (!::GetWindowRect(window, &r)) return RECT{0, 0, 0, 0};
    return r;
}

void GrabScreen(int mode, ui::TBitmap& target) {
    PhysicalPixels physical;
    if (mode == 0) {
        GrabInto({0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}, target);
        return;
    }
    HWND window = ::GetForegroundWindow();
    if (!window || ::IsIconic(window) || Cloaked(window)) {
        target.SetSize(0, 0);
        return;
    }
    const RECT area = WindowArea(window);
    if (area.right <= area.left || area.bottom <= area.top) {
        target.SetSize(0, 0);
        return;
    }
    GrabInto(area, target);
}

void GrabAllDisplays(ui::TBitmap& target) {
    PhysicalPixels physical;
    GrabInto(VirtualScreen(), target);
}

void FillBlack(ui::TBitmap& bitmap) {
    const RECT all{0, 0, bitmap.Width(), bitmap.Height()};
    ::FillRect(bitmap.Canvas().Handle(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}
