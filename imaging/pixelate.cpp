#include "imaging/pixelate.h"

#include <algorithm>
#include <cstdint>

namespace glimra {

Area PixelateBlocks(const PixelView& picture, Area a, int block) {
    if (a.left == a.right || a.top == a.bottom) return {};
    const auto down = [block](int v) { return v / block * block; };
    const auto up = [block](int v) { return (v + block - 1) / block * block; };
    Area blocks{std::max(0, down(std::max(0, std::min(a.left, a.right)))),
                std::max(0, down(std::max(0, std::min(a.top, a.bottom)))),
                std::min(picture.width, up(std::max(a.left, a.right))),
                std::min(picture.height, up(std::max(a.top, a.bottom)))};
    if (blocks.right <= blocks.left || blocks.bottom <= blocks.top) return {};
    return blocks;
}

Area Pixelate(const PixelView& picture, Area area, int block) {
    const Area blocks = PixelateBlocks(picture, area, block);
    const int bpp = picture.bytesPerPixel;
    for (int top = blocks.top; top < blocks.bottom; top += block) {
        const int bottom = std::min(top + block, blocks.bottom);
        for (int left = blocks.left; left < blocks.right; left += block) {
            const int right = std::min(left + block, blocks.right);
            std::uint32_t sums[4] = {};
            for (int y = top; y < bottom; ++y) {
                const std::uint8_t* p = picture.Row(y) + std::ptrdiff_t(left) * bpp;
                for (int x = left; x < right; ++x, p += bpp)
                    for (int c = 0; c < bpp; ++c)
                        sums[c] += p[c];
            }
            const std::uint32_t count = std::uint32_t(right - left) * std::uint32_t(bottom - top);
            std::uint8_t mean[4];
            for (int c = 0; c < bpp; ++c)
                mean[c] = std::uint8_t((sums[c] + count / 2) / count);
            for (int y = top; y < bottom; ++y) {
                std::uint8_t* p = picture.Row(y) + std::ptrdiff_t(left) * bpp;
                for (int x = left; x < right; ++x, p += bpp)
                    std::copy(mean, mean + bpp, p);
            }
        }
    }
    return blocks;
}

}  // namespace glimra
