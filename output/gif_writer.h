// GIF through giflib: one image, no transparency, at most 256 colours from the
// picture's own octree palette, Floyd-Steinberg dithered.
#pragma once

#include "imaging/pixel_view.h"
#include "output/byte_sink.h"

namespace glimra {

// Reduces `view` (24-bit, at most 65535 x 65535) to an indexed image and writes
// it as a GIF file to `sink`; throws SaveError.
void WriteGif(const PixelView& view, ByteSink& sink);

}  // namespace glimra
