#include "imaging/flip.h"

#include "imaging/layout.h"
#include "imaging/orientation.h"

namespace glimra {

bool Flip(bool mirrorRows, bool mirrorPixels, const PixelView& source, const PixelView& target) {
    if (source.bytesPerPixel != 3) return false;
    return CopyOriented(source, {.mirrorRows = mirrorRows, .mirrorPixels = mirrorPixels}, target);
}

bool FlipPicture(bool mirrorRows, bool mirrorPixels, const PixelView& picture,
                 const PixelView& target) {
    if (picture.bytesPerPixel == 3) return Flip(mirrorRows, mirrorPixels, picture, target);
    if (picture.bytesPerPixel != 4 || target.bytesPerPixel != 3 || target.width != picture.width ||
        target.height != picture.height)
        return false;
    if (picture.Empty()) return true;
    // Mirrored rows: the target's rows written from the bottom up.
    const PixelView upwards{target.Row(target.height - 1), target.width, target.height,
                            -target.stride, 3};
    const PixelView& rows = mirrorRows ? upwards : target;
    return mirrorPixels ? PackMirrored(picture, rows) : ConvertLayout(picture, rows);
}

}  // namespace glimra
