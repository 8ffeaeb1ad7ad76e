// The rotation routine: turns a picture clockwise (on screen, y growing downwards) by an
// angle in radians about a centre point, over a background colour.
//
// A multiple of a quarter turn moves whole pixels: Rotate 90 maps pixel (x, y) of a
// W x H picture to (H - 1 - y, x) of an H x W one, half a turn maps it to
// (W - 1 - x, H - 1 - y), three quarters to (y, W - 1 - x); every pixel lands once, no
// background shows, and the centre does not matter. Any other angle turns the corner
// points of the pixels about the centre: each source pixel goes to the rotated position
// of its top-left corner, plus one neighbour to close rounding gaps, on a target that
// the rotated picture corners span, and the background shows where no pixel lands.
#pragma once

#include <cstdint>

#include "imaging/pixel_view.h"

namespace glimra {

struct Point {
    int x = 0;
    int y = 0;
};

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// The target size for turning a width x height picture by `angle` about `centre`;
// 0 x 0 for an empty picture, an angle that is not finite, or a size that int cannot hold.
Size RotatedSize(int width, int height, Point centre, long double angle);

// Fills `target`, whose size must be RotatedSize(...) of the source and whose bytes per
// pixel (3 or 4) must be the source's. A 32-bit background has a zero fourth byte.
// Returns false, writing nothing, when the views do not fit.
bool Rotate(const PixelView& source, Point centre, Colour background, long double angle,
            const PixelView& target);

}  // namespace glimra
