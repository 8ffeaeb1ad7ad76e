// Pixelation for hiding what a part of a picture shows: the part becomes blocks
// of a fixed size, each filled with the mean colour of its pixels.
#pragma once

#include "imaging/pixel_view.h"

namespace glimra {

constexpr int kPixelateBlock = 8;

// An area of the picture, left and top inclusive, right and bottom exclusive.
struct Area {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The blocks that `area` touches: the area widened to the grid of `block` pixels
// that starts at the picture's top-left corner, and clipped to the picture. Two
// areas that overlap give the same blocks where they overlap.
Area PixelateBlocks(const PixelView& picture, Area area, int block = kPixelateBlock);

// Fills every block that `area` touches with the mean of its own pixels, each
// byte of a pixel rounded to the nearest (halves up). Returns the blocks changed.
Area Pixelate(const PixelView& picture, Area area, int block = kPixelateBlock);

}  // namespace glimra
