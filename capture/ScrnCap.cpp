#include "capture/ScrnCap.h"

#include "win/handles.h"

std::unique_ptr<ui::TBitmap> GrabScreenRect(RECT rectangle) {
    auto bitmap = std::make_unique<ui::TBitmap>();
    // Sizing comes first, so that a size the system cannot give fails before any
    // drawing context is taken.
    bitmap->Recreate(bitmap->PixelFormat(), rectangle.right - rectangle.left,
                     rectangle.bottom - rectangle.top);
    if (bitmap->Empty()) return bitmap;
    win::WindowDC screen = win::WindowDC::Of(nullptr);
    ::BitBlt(bitmap->Canvas().Handle(), 0, 0, bitmap->Width(), bitmap->Height(), screen.Get(),
             rectangle.left, rectangle.top, SRCCOPY);
    return bitmap;
}

RECT WindowArea(HWND window) {
    RECT r{0, 0, 0, 0};
    if (!window || !::GetWindowRect(window, &r)) return RECT{0, 0, 0, 0};
    return r;
}

void GrabScreen(int mode, ui::TBitmap& target) {
    HWND window;
    int width = 0, height = 0;
    bool beyondScreen = false;
    if (mode != 0) {
        window = ::GetForegroundWindow();
        RECT r{0, 0, 0, 0};
        if (!window || !::GetWindowRect(window, &r)) {
            target.SetSize(0, 0);
            return;
        }
        width = r.right - r.left;
        height = r.bottom - r.top;
        const RECT screen{
            ::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
            ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
            ::GetSystemMetrics(SM_YVIRTUALSCREEN) + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
        RECT shown;
        beyondScreen = !::IntersectRect(&shown, &r, &screen) || !::EqualRect(&shown, &r);
    } else {
        window = ::GetDesktopWindow();
    }
    // From here on the context is released on every path.
    win::WindowDC source =
        mode != 0 ? win::WindowDC::WholeWindow(window) : win::WindowDC::Of(window);
    if (mode == 0) {
        width = ::GetDeviceCaps(source.Get(), HORZRES);
        height = ::GetDeviceCaps(source.Get(), VERTRES);
    }
    target.Recreate(target.PixelFormat(), width, height);
    if (target.Empty()) return;
    // Beyond the screen's edges the system gives no pixels: black there.
    if (beyondScreen) FillBlack(target);
    ::BitBlt(target.Canvas().Handle(), 0, 0, target.Width(), target.Height(), source.Get(), 0, 0,
             SRCCOPY);
}

void FillBlack(ui::TBitmap& bitmap) {
    const RECT all{0, 0, bitmap.Width(), bitmap.Height()};
    ::FillRect(bitmap.Canvas().Handle(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}
