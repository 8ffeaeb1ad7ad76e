#include "imaging/flip.h"

#include "imaging/orientation.h"

namespace glimra {

bool Flip(bool mirrorRows, bool mirrorPixels, const PixelView& source, const PixelView& target) {
    if (source.bytesPerPixel != 3) return false;
    return CopyOriented(source, {.mirrorRows = mirrorRows, .mirrorPixels = mirrorPixels}, target);
}

}  // namespace glimra
