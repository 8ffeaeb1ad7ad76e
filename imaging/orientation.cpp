#include "imaging/orientation.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace glimra {

namespace {

// Where the target's pixels come from: target pixel (x, y) copies the source bytes at
// origin + y * rowStep + x * pixelStep.
struct Walk {
    const std::uint8_t* origin;
    std::ptrdiff_t pixelStep;
    std::ptrdiff_t rowStep;
};

Walk WalkOf(const PixelView& source, Orientation orientation) {
    const std::ptrdiff_t pixel = source.bytesPerPixel;
    const std::ptrdiff_t u = orientation.mirrorPixels ? -pixel : pixel;
    const std::ptrdiff_t v = orientation.mirrorRows ? -source.stride : source.stride;
    const std::uint8_t* origin = source.Row(orientation.mirrorRows ? source.height - 1 : 0) +
                                 (orientation.mirrorPixels ? (source.width - 1) * pixel : 0);
    return orientation.transpose ? Walk{origin, v, u} : Walk{origin, u, v};
}

// Square tiles for walks that cross the source's rows: a tile's source rows and target
// rows then stay in the first-level cache while it is copied.
constexpr int kTile = 32;

template <int kBytes>
void CopyTile(const Walk& walk, const PixelView& target, int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; ++y) {
        const std::uint8_t* from = walk.origin + y * walk.rowStep + x0 * walk.pixelStep;
        std::uint8_t* to = target.Row(y) + x0 * kBytes;
        for (int x = x0; x < x1; ++x, from += walk.pixelStep, to += kBytes)
            std::memcpy(to, from, kBytes);
    }
}

template <int kBytes>
void CopyWalk(const Walk& walk, const PixelView& target) {
    if (walk.pixelStep == kBytes) {
        for (int y = 0; y < target.height; ++y)
            std::memcpy(target.Row(y), walk.origin + y * walk.rowStep,
                        static_cast<std::size_t>(target.width) * kBytes);
    } else if (walk.pixelStep == -kBytes) {
        CopyTile<kBytes>(walk, target, 0, 0, target.width, target.height);
    } else {
        for (int y = 0; y < target.height; y += kTile)
            for (int x = 0; x < target.width; x += kTile)
                CopyTile<kBytes>(walk, target, x, y, std::min(target.width, x + kTile),
                                 std::min(target.height, y + kTile));
    }
}

}  // namespace

bool CopyOriented(const PixelView& source, Orientation orientation, const PixelView& target) {
    const int width = orientation.transpose ? source.height : source.width;
    const int height = orientation.transpose ? source.width : source.height;
    if (target.width != width || target.height != height ||
        source.bytesPerPixel != target.bytesPerPixel ||
        (source.bytesPerPixel != 3 && source.bytesPerPixel != 4))
        return false;
    if (source.Empty()) return true;
    if (source.data == nullptr || target.data == nullptr) return false;
    const Walk walk = WalkOf(source, orientation);
    if (source.bytesPerPixel == 3)
        CopyWalk<3>(walk, target);
    else
        CopyWalk<4>(walk, target);
    return true;
}

}  // namespace glimra
