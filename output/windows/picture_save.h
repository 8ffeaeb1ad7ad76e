// The save command's work: a picture in the format of the chosen type, written to
// the file without risk to an existing one.
#pragma once

#include <string>

#include "imaging/pixel_view.h"
#include "output/save_type.h"

namespace glimra {

// Writes the 24-bit `picture` as type `type` to `path`. The type alone decides the
// format, whatever the name's extension. Throws SaveError.
void SavePicture(const std::string& path, SaveType type, const PixelView& picture);
// Writes the 32-bit `picture` with straight alpha to `path` as a PNG file that
// keeps the alpha. Throws SaveError.
void SavePngWithAlpha(const std::string& path, const PixelView& picture);

}  // namespace glimra
