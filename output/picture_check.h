// The checks every writer makes before it touches a picture.
#pragma once

#include "imaging/pixel_view.h"

namespace glimra {

// Throws SaveError naming `format` (such as "GIF") unless `view` is a 24-bit
// picture with at least one pixel.
void CheckPicture(const PixelView& view, const char* format);

}  // namespace glimra
