// The flip routine: mirrors a 24-bit picture's rows (Flip Vertical) and/or the pixels
// within each row (Flip Horizontal) into a target of the same size and layout.
#pragma once

#include "imaging/pixel_view.h"

namespace glimra {

// Returns false, writing nothing, when the source is not 24-bit or the target is not a
// 24-bit view of the source's size; the caller then keeps the picture it had.
bool Flip(bool mirrorRows, bool mirrorPixels, const PixelView& source, const PixelView& target);

}  // namespace glimra
