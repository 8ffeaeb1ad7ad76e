#include "capture/ScreenOverlay.h"

#include <algorithm>

#include "capture/ScrnCap.h"

void TScreenOverlay::FreezeScreen() {
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    ScreenImage = GrabScreenRect({0, 0, width, height});
    SetBounds(0, 0, width, height);
}

std::unique_ptr<ui::TBitmap> TScreenOverlay::FrozenPart(RECT r) const {
    auto part = std::make_unique<ui::TBitmap>();
    part->Recreate(ScreenImage->PixelFormat(), std::max(0L, r.right - r.left),
                   std::max(0L, r.bottom - r.top));
    if (part->Empty()) return part;
    // The part that lies on the display is copied; beyond its edges is black, as
    // a grab from the screen gives there.
    const RECT shown{std::max(r.left, 0L), std::max(r.top, 0L),
                     std::min(r.right, LONG(ScreenImage->Width())),
                     std::min(r.bottom, LONG(ScreenImage->Height()))};
    if (!::EqualRect(&shown, &r)) FillBlack(*part);
    if (shown.left < shown.right && shown.top < shown.bottom)
        ::BitBlt(part->Canvas().Handle(), shown.left - r.left, shown.top - r.top,
                 shown.right - shown.left, shown.bottom - shown.top, ScreenImage->Canvas().Handle(),
                 shown.left, shown.top, SRCCOPY);
    return part;
}

void TScreenOverlay::PaintScreenImage() {
    if (!ScreenImage || !PaintDC()) return;
    // Only the part that is painted again.
    RECT r;
    if (::GetClipBox(PaintDC(), &r) == NULLREGION) return;
    ::BitBlt(PaintDC(), r.left, r.top, r.right - r.left, r.bottom - r.top,
             ScreenImage->Canvas().Handle(), r.left, r.top, SRCCOPY);
}

bool TScreenOverlay::HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message == WM_ERASEBKGND) {
        result = 1;  // the background counts as erased: the frozen image covers it
        return true;
    }
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        SetModalResult(ui::mrCancel);
        result = 0;
        return true;
    }
    return false;
}
