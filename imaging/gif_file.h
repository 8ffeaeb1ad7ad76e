// Reads the first frame of a GIF file (giflib) into a picture target.
#pragma once

#include <cstdint>
#include <span>

#include "imaging/picture_file.h"

namespace glimra {

// Decodes the first frame of `file` on its logical screen into `target`: with
// transparency where the frame has its transparent colour or does not reach,
// which is then 0 in all four bytes. The whole file is read, every frame
// decompressed, so that a damaged later part is an error as well; only one row
// of a frame is held at a time. Throws PictureFileError.
void DecodeGifFile(std::span<const std::uint8_t> file, PictureTarget& target);

}  // namespace glimra
