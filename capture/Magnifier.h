// The magnifier of the selection overlay: a small square beside the pointer that
// shows the frozen screen around it eight times enlarged, the pixel under the
// pointer marked, and under it the pointer's screen coordinates and, while a
// selection is dragged, its width and height. It is drawn only on the overlay;
// pictures are cut from the frozen image and never see it.
#pragma once

#include <windows.h>

#include <optional>

#include "ui/TBitmap.h"

namespace magnifier {

// Screen pixels shown on each side of the pointer's pixel, and their enlargement.
constexpr int kReach = 7;
constexpr int kZoom = 8;
// The enlarged square, the text below it, and the gap between pointer and box.
constexpr int kSquare = (2 * kReach + 1) * kZoom;
constexpr int kTextHeight = 32;
constexpr int kGap = 20;

// Where the magnifier stands for a pointer on a display of this size: right of
// and below the pointer, or on the other side of it where that would leave the
// display. Border included.
RECT Place(POINT pointer, SIZE display);

// Draws the magnifier for the pointer into `dc` at Place(pointer, ...).
// `selection` is the dragged rectangle's width and height, when one is dragged.
void Paint(HDC dc, ui::TBitmap& frozen, POINT pointer, std::optional<SIZE> selection);

}  // namespace magnifier
