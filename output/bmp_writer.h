// Windows BMP: a 14-byte file header, a 40-byte information header, 24 bits per
// pixel without a colour table, rows bottom-up, each padded to 4 bytes.
#pragma once

#include "imaging/pixel_view.h"
#include "output/byte_sink.h"

namespace glimra {

// Writes `view` (24-bit) as a BMP file to `sink`; throws SaveError.
void WriteBmp(const PixelView& view, ByteSink& sink);

}  // namespace glimra
