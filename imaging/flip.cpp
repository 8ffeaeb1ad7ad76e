#include "imaging/flip.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "imaging/layout.h"
#include "imaging/orientation.h"

namespace glimra {

namespace {

// Rows per band of the flip buffer.
constexpr int kBandRows = 8;

}  // namespace

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
    const int height = picture.height, band = kBandRows;
    if (picture.Empty()) return true;
    // Rows only: the conversion itself, written from the bottom row up, in one pass.
    if (!mirrorPixels) {
        const PixelView upwards{target.Row(height - 1), target.width, height, -target.stride, 3};
        return ConvertLayout(picture, mirrorRows ? upwards : target);
    }
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(picture.width) * 4 * band);
    for (int first = 0; first < height; first += band) {
        const int end = std::min(height, first + band);
        const PixelView flipped{buffer.data(), picture.width, end - first, picture.width * 4, 4};
        CopyOriented(picture.Rows(first, end), {.mirrorRows = mirrorRows, .mirrorPixels = true},
                     flipped);
        ConvertLayout(flipped, mirrorRows ? target.Rows(height - end, height - first)
                                          : target.Rows(first, end));
    }
    return true;
}

}  // namespace glimra
