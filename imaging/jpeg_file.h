// Reads a JPEG file (libjpeg) into a picture target.
#pragma once

#include <cstdint>
#include <span>

#include "imaging/picture_file.h"

namespace glimra {

// Decodes `file` into `target`, which is made opaque at the picture's size.
// Throws PictureFileError with libjpeg's reason.
void DecodeJpegFile(std::span<const std::uint8_t> file, PictureTarget& target);

}  // namespace glimra
