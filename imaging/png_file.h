// Reads a PNG file (libpng) into a picture target.
#pragma once

#include <cstdint>
#include <span>

#include "imaging/picture_file.h"

namespace glimra {

// Decodes `file` into `target`: opaque where the file has no transparency,
// else with straight alpha. Pictures of more than 2^28 pixels are refused
// before any memory is taken for them. Throws PictureFileError.
void DecodePngFile(std::span<const std::uint8_t> file, PictureTarget& target);

}  // namespace glimra
