// What the selection overlay and the window/control picker share: a borderless,
// top-most window over every display (the whole virtual screen) that shows the
// screen frozen as it was when the overlay was made, and cuts its captures from
// that frozen image, so that nothing the overlay draws, and no repaint still on
// its way to the screen, can enter a picture. Escape cancels. The overlay works
// in physical pixels (see PhysicalPixels) and takes the foreground and the
// keyboard when it is shown, even while another program is in front.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <utility>

#include "capture/Displays.h"
#include "capture/Pointer.h"
#include "ui/TBitmap.h"
#include "ui/TForm.h"

class TScreenOverlay : public ui::TForm {
  public:
    // The frozen image: the whole virtual screen as it was when the overlay was
    // made, black where no display is. Its (0, 0) is the screen point Origin().
    std::unique_ptr<ui::TBitmap> ScreenImage;

    // The frozen image's pixels inside a rectangle of screen pixels (right and
    // bottom exclusive), in the image's own pixel format, black wherever no
    // display is; a rectangle of zero width or height gives an empty bitmap.
    std::unique_ptr<ui::TBitmap> FrozenPart(RECT rectangle) const;
    // The pointer as it stood at the freeze, taken out of the overlay; nothing
    // where it was hidden.
    std::optional<PointerImage> TakePointer() {
        return std::exchange(frozenPointer_, std::nullopt);
    }

    // The screen point at the frozen image's and the overlay's client area's (0, 0):
    // the virtual screen's top-left corner.
    POINT Origin() const { return origin_; }

    void SetVisible(bool visible) override;

  protected:
    using ui::TForm::TForm;

    // Takes the frozen image and places the overlay over the virtual screen.
    void FreezeScreen();
    // Makes the overlay's window per-monitor aware: the layout is applied and
    // the window is made inside a PhysicalPixels scope. The system runs its
    // window procedure with that awareness from then on, so its mouse
    // positions and paints are physical pixels; the calling thread keeps its own.
    void Loaded() override;
    // Draws the frozen image; for the overlay's paint handler.
    void PaintScreenImage();
    // A point of the overlay's client area in screen pixels.
    POINT ToScreen(int x, int y) const { return {x + origin_.x, y + origin_.y}; }
    // WM_ERASEBKGND (the frozen image covers the background, so nothing is
    // cleared first) and Escape (cancel).
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Stays on screen while the main window is minimised.
    HWND OwnerWindow() override { return nullptr; }

  private:
    POINT origin_{0, 0};
    std::optional<PointerImage> frozenPointer_;  // as it stood at the freeze
};
