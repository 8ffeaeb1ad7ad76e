// The flip routine: mirrors a 24-bit picture's rows (Flip Vertical) and/or the pixels
// within each row (Flip Horizontal) into a target of the same size and layout.
#pragma once

#include "imaging/pixel_view.h"

namespace glimra {

// Returns false, writing nothing, when the source is not 24-bit or the target is not a
// 24-bit view of the source's size; the caller then keeps the picture it had.
bool Flip(bool mirrorRows, bool mirrorPixels, const PixelView& source, const PixelView& target);

// The Flip commands: `picture` (24 or 32 bits per pixel) flipped into the 24-bit
// `target` of its size, which the commands then put in its place. A 24-bit picture goes
// through Flip. A 32-bit one is converted straight into the target's rows in one pass:
// into them from the bottom up when mirrored by rows, with each row's pixels in the
// opposite order when mirrored within its rows. Either way the pixels are those of
// converting it first.
// Returns false, writing nothing, when the views do not fit; the caller then keeps the
// picture it had.
bool FlipPicture(bool mirrorRows, bool mirrorPixels, const PixelView& picture,
                 const PixelView& target);

}  // namespace glimra
