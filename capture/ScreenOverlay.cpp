#include "capture/ScreenOverlay.h"

#include <algorithm>

#include "capture/Foreground.h"
#include "capture/ScrnCap.h"

void TScreenOverlay::Loaded() {
    PhysicalPixels physical;
    HandleNeeded();
}

void TScreenOverlay::FreezeScreen() {
    PhysicalPixels physical;
    const RECT screen = VirtualScreen();
    ScreenImage = GrabScreenRect(screen);
    frozenPointer_ = PointerImage::Now();
    origin_ = {screen.left, screen.top};
    SetBounds(screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top);
}

std::unique_ptr<ui::TBitmap> TScreenOverlay::FrozenPart(RECT r) const {
    auto part = std::make_unique<ui::TBitmap>();
    part->Recreate(ScreenImage->PixelFormat(), std::max(0L, r.right - r.left),
                   std::max(0L, r.bottom - r.top));
    if (part->Empty()) return part;
    // The part that lies on the frozen image is copied; beyond its edges is
    // black, as a grab from the screen gives there. The image itself is black
    // where no display is.
    const RECT image{origin_.x, origin_.y, origin_.x + ScreenImage->Width(),
                     origin_.y + ScreenImage->Height()};
    RECT shown;
    if (!::IntersectRect(&shown, &r, &image) || !::EqualRect(&shown, &r)) FillBlack(*part);
    if (shown.left < shown.right && shown.top < shown.bottom)
        ::BitBlt(part->Canvas().Handle(), shown.left - r.left, shown.top - r.top,
                 shown.right - shown.left, shown.bottom - shown.top, ScreenImage->Canvas().Handle(),
                 shown.left - origin_.x, shown.top - origin_.y, SRCCOPY);
    return part;
}

void TScreenOverlay::PaintScreenImage() {
    if (!ScreenImage || !PaintDC()) return;
    // Only the part that is painted again; the client area's (0, 0) is the
    // image's.
    RECT r;
    if (::GetClipBox(PaintDC(), &r) == NULLREGION) return;
    ::BitBlt(PaintDC(), r.left, r.top, r.right - r.left, r.bottom - r.top,
             ScreenImage->Canvas().Handle(), r.left, r.top, SRCCOPY);
}

void TScreenOverlay::SetVisible(bool visible) {
    ui::TForm::SetVisible(visible);
    // Shown while another program is in front (the usual case: a hot key pressed
    // there), the overlay must still get the keys, so that Escape reaches it.
    if (visible && HandleAllocated()) TakeForeground(Handle());
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
