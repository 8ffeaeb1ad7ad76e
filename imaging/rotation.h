// The rotation routine: turns a picture clockwise (on screen, y growing downwards) by
// whole quarter turns. Rotate 90 maps pixel (x, y) of a W x H picture to (H - 1 - y, x)
// of an H x W one, half a turn maps it to (W - 1 - x, H - 1 - y), three quarters to
// (y, W - 1 - x): every pixel lands once and nothing else shows.
#pragma once

#include "imaging/pixel_view.h"

namespace glimra {

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

// The target size for turning a width x height picture by `quarters` quarter turns
// (any count, backwards when negative); 0 x 0 for an empty picture.
Size RotatedSize(int width, int height, int quarters);

// Fills `target`, whose size must be RotatedSize(...) of the source and whose bytes per
// pixel (3 or 4) must be the source's. Returns false, writing nothing, when the views
// do not fit.
bool Rotate(const PixelView& source, int quarters, const PixelView& target);

}  // namespace glimra
