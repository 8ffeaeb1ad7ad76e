// PNG through libpng: 24-bit RGB, or RGB with alpha; exact.
#pragma once

#include "imaging/pixel_view.h"
#include "output/byte_sink.h"

namespace glimra {

// Writes `view` (24-bit) as a PNG file to `sink`; throws SaveError.
void WritePng(const PixelView& view, ByteSink& sink);
// Writes the 32-bit `view` with straight alpha in its fourth byte as an RGBA PNG
// file (colour type 6) to `sink`; throws SaveError.
void WritePngWithAlpha(const PixelView& view, ByteSink& sink);

}  // namespace glimra
