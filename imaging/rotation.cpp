#include "imaging/rotation.h"

#include "imaging/orientation.h"

namespace glimra {

namespace {

// 0 to 3: the clockwise quarter turns that `quarters` comes to.
int Normalised(int quarters) {
    return ((quarters % 4) + 4) % 4;
}

Orientation QuarterTurnOrientation(int quarters) {
    switch (quarters) {
        case 1:
            return {.transpose = true, .mirrorRows = true};
        case 2:
            return {.mirrorRows = true, .mirrorPixels = true};
        case 3:
            return {.transpose = true, .mirrorPixels = true};
        default:
            return {};
    }
}

}  // namespace

Size RotatedSize(int width, int height, int quarters) {
    if (width <= 0 || height <= 0) return {};
    return Normalised(quarters) % 2 == 1 ? Size{height, width} : Size{width, height};
}

bool Rotate(const PixelView& source, int quarters, const PixelView& target) {
    if (source.Empty() || source.data == nullptr || target.data == nullptr ||
        source.bytesPerPixel != target.bytesPerPixel ||
        (source.bytesPerPixel != 3 && source.bytesPerPixel != 4))
        return false;
    const Size size = RotatedSize(source.width, source.height, quarters);
    if (size != Size{target.width, target.height}) return false;
    return CopyOriented(source, QuarterTurnOrientation(Normalised(quarters)), target);
}

}  // namespace glimra
