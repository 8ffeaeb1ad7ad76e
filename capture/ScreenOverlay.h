// What the selection overlay and the window/control picker share: a borderless,
// top-most window over the whole primary display that shows the screen frozen as
// it was when the overlay was made, and cuts its captures from that frozen image,
// so that nothing the overlay draws, and no repaint still on its way to the
// screen, can enter a picture. Escape cancels.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/TBitmap.h"
#include "ui/TForm.h"

class TScreenOverlay : public ui::TForm {
  public:
    // The frozen image: the whole primary display as it was when the overlay was made.
    std::unique_ptr<ui::TBitmap> ScreenImage;

    // The frozen image's pixels inside a rectangle of screen pixels (right and
    // bottom exclusive), in the image's own pixel format. Parts beyond the
    // display's edges are black; a rectangle of zero width or height gives an empty bitmap.
    std::unique_ptr<ui::TBitmap> FrozenPart(RECT rectangle) const;

  protected:
    using ui::TForm::TForm;

    // Takes the frozen image and places the overlay over the display.
    void FreezeScreen();
    // Draws the frozen image at (0, 0); for the overlay's paint handler.
    void PaintScreenImage();
    // WM_ERASEBKGND (the frozen image covers the background, so nothing is
    // cleared first) and Escape (cancel).
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Stays on screen while the main window is minimised.
    HWND OwnerWindow() override { return nullptr; }
};
