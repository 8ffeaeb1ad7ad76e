// JPEG through libjpeg (libjpeg-turbo): quality 90, baseline tables,
// sequential, three components from RGB input; everything else at the
// library's defaults.
#pragma once

#include "imaging/pixel_view.h"
#include "output/byte_sink.h"

namespace glimra {

// Compresses `view` (24-bit) and writes the stream to `sink` as it comes; throws
// the sink's SaveError when the sink fails, else a SaveError with libjpeg's own
// text when the library refuses.
void WriteJpeg(const PixelView& view, ByteSink& sink);

}  // namespace glimra
