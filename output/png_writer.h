// PNG through libpng: 24-bit RGB, exact.
#pragma once

#include "imaging/pixel_view.h"
#include "output/byte_sink.h"

namespace glimra {

// Writes `view` (24-bit) as a PNG file to `sink`; throws SaveError.
void WritePng(const PixelView& view, ByteSink& sink);

}  // namespace glimra
