// Copies that lay a picture's pixels out again without resampling: the quarter turns
// and the mirrorings, one mechanism for the rotation and the flip routines.
#pragma once

#include "imaging/pixel_view.h"

namespace glimra {

// Target pixel (x, y) takes source pixel (u, v), with (u, v) = (y, x) when `transpose`
// is set and (x, y) otherwise, then u -> width - 1 - u when `mirrorPixels` and
// v -> height - 1 - v when `mirrorRows` (width and height of the source).
struct Orientation {
    bool transpose = false;
    bool mirrorRows = false;
    bool mirrorPixels = false;
};

// Fills `target` from `source` as `orientation` says. Both views have the same 3 or 4
// bytes per pixel, do not overlap, and the target has the source's size (width and
// height swapped when transposing); returns false, writing nothing, otherwise.
bool CopyOriented(const PixelView& source, Orientation orientation, const PixelView& target);

}  // namespace glimra
