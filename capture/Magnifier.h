// The magnifier of the selection overlay: a small square beside the pointer that
// shows the frozen screen around it enlarged, the pixel under the pointer marked,
// and under it the pointer's screen coordinates and, while a selection is
// dragged, its width and height. It stays on the display the pointer is on, and
// its size and text follow that display's dots per inch. It is drawn only on the
// overlay; pictures are cut from the frozen image and never see it.
#pragma once

#include <windows.h>

#include <optional>

#include "capture/Displays.h"
#include "ui/TBitmap.h"

namespace magnifier {

// Screen pixels shown on each side of the pointer's pixel.
constexpr int kReach = 7;
// At 96 dpi: the enlargement, the enlarged square, the text below it, the gap
// between pointer and box, and the border around it all.
constexpr int kZoom = 8;
constexpr int kSquare = (2 * kReach + 1) * kZoom;
constexpr int kTextHeight = 32;
constexpr int kGap = 20;
constexpr int kBorder = 1;

// The magnifier's measures on a display of `dpi` dots per inch; at 96 dpi the
// ones above. The border stays one pixel.
struct Measures {
    int zoom, square, textHeight, gap, width, height;
};
Measures MeasuresFor(UINT dpi);

// Where the magnifier stands, in screen pixels, border included, for a pointer on
// `display`: right of and below the pointer, or on the other side of it where
// that would leave the display. A display smaller than the magnifier shows it
// from the display's top-left corner.
RECT Place(POINT pointer, const Display& display);

// Draws the magnifier for the pointer (screen pixels) on `display`. The overlay's
// drawing context `dc` and the frozen image both have the screen point `origin`
// at their (0, 0). `selection` is the dragged rectangle's width and height, when
// one is dragged.
void Paint(HDC dc, POINT origin, ui::TBitmap& frozen, POINT pointer, const Display& display,
           std::optional<SIZE> selection);

}  // namespace magnifier
