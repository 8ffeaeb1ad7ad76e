#include "imaging/layout.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace glimra {

namespace {

// The word packing below puts byte 0 of a pixel in the low bits of a word.
static_assert(std::endian::native == std::endian::little);

bool IsLayout(int bytesPerPixel) {
    return bytesPerPixel == 3 || bytesPerPixel == 4;
}

// Four 32-bit pixels (b g r x) at a time become three 32-bit words of packed b g r;
// the words are assembled in registers so that each loop step is three full stores.
void Pack32To24(const std::uint8_t* source, std::uint8_t* target, int width) {
    int x = 0;
    for (; x + 4 <= width; x += 4, source += 16, target += 12) {
        std::uint32_t p[4];
        std::memcpy(p, source, sizeof p);
        const std::uint32_t words[3] = {
            (p[0] & 0xFFFFFFu) | (p[1] << 24),
            ((p[1] >> 8) & 0xFFFFu) | (p[2] << 16),
            ((p[2] >> 16) & 0xFFu) | (p[3] << 8),
        };
        std::memcpy(target, words, sizeof words);
    }
    for (; x < width; ++x, source += 4, target += 3)
        std::memcpy(target, source, 3);
}

// The reverse: three words of packed b g r become four pixels with a zero fourth byte.
void Unpack24To32(const std::uint8_t* source, std::uint8_t* target, int width) {
    int x = 0;
    for (; x + 4 <= width; x += 4, source += 12, target += 16) {
        std::uint32_t w[3];
        std::memcpy(w, source, sizeof w);
        const std::uint32_t pixels[4] = {
            w[0] & 0xFFFFFFu,
            (w[0] >> 24) | ((w[1] & 0xFFFFu) << 8),
            (w[1] >> 16) | ((w[2] & 0xFFu) << 16),
            w[2] >> 8,
        };
        std::memcpy(target, pixels, sizeof pixels);
    }
    for (; x < width; ++x, source += 3, target += 4) {
        std::memcpy(target, source, 3);
        target[3] = 0;
    }
}

}  // namespace

bool ConvertLayout(const PixelView& source, const PixelView& target) {
    if (source.width != target.width || source.height != target.height ||
        !IsLayout(source.bytesPerPixel) || !IsLayout(target.bytesPerPixel))
        return false;
    if (source.Empty()) return true;
    if (source.data == nullptr || target.data == nullptr) return false;
    const std::size_t sameLayoutBytes =
        static_cast<std::size_t>(source.width) * source.bytesPerPixel;
    for (int y = 0; y < source.height; ++y) {
        const std::uint8_t* from = source.Row(y);
        std::uint8_t* to = target.Row(y);
        if (source.bytesPerPixel == target.bytesPerPixel)
            std::memcpy(to, from, sameLayoutBytes);
        else if (source.bytesPerPixel == 4)
            Pack32To24(from, to, source.width);
        else
            Unpack24To32(from, to, source.width);
    }
    return true;
}

}  // namespace glimra
