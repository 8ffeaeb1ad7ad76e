// Conversion between the two pixel layouts the commands work in: 24 bits per pixel
// (blue, green, red) and 32 bits per pixel (blue, green, red, fourth byte).
#pragma once

#include "imaging/pixel_view.h"

namespace glimra {

// Copies every pixel of `source` into `target` in the target's layout. Both views must
// have the same width and height, 3 or 4 bytes per pixel, and must not overlap. From
// 32 to 24 bits the fourth byte is dropped; from 24 to 32 it is 0; between equal
// layouts the pixel bytes are copied as they are. Row padding is neither read nor
// written. Returns false, writing nothing, when the views do not fit these rules.
bool ConvertLayout(const PixelView& source, const PixelView& target);

}  // namespace glimra
