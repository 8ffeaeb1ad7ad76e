#include "imaging/layout.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "imaging/vectors.h"

namespace glimra {

namespace {

bool IsLayout(int bytesPerPixel) {
    return bytesPerPixel == 3 || bytesPerPixel == 4;
}

// Eight 32-bit pixels (b g r x), held in four words of two pixels each with the first
// in the low half, as three 64-bit words of packed b g r, assembled in registers. The
// same steps work on a word each (Word = std::uint64_t) or on two sets of eight pixels
// at once, one in each lane of a vector (Word = U64x2).
template <typename Word>
inline void PackWords(const Word& a, const Word& b, const Word& c, const Word& d, Word& first,
                      Word& second, Word& third) {
    first = (a & kPackedPixel) | (a >> 8 & kPackedPixel << 24) | b << 48;
    second =
        (b >> 16 & 0xFF) | (b >> 24 & kPackedPixel << 8) | (c & kPackedPixel) << 32 | c >> 32 << 56;
    third = (c >> 40 & 0xFFFF) | (d & kPackedPixel) << 16 | (d >> 32 & kPackedPixel) << 40;
}

inline void StorePacked(std::uint8_t* target, std::uint64_t a, std::uint64_t b, std::uint64_t c,
                        std::uint64_t d) {
    std::uint64_t words[3];
    PackWords(a, b, c, d, words[0], words[1], words[2]);
    std::memcpy(target, words, sizeof words);
}

// Sixteen pixels given as two sets of eight, lane 0 of each word the first set's and
// lane 1 the second's, stored packed: the first set's 24 bytes, then the second's.
inline void StorePackedPair(std::uint8_t* target, const U64x2& a, const U64x2& b, const U64x2& c,
                            const U64x2& d) {
    U64x2 first, second, third;
    PackWords(a, b, c, d, first, second, third);
    const U64x2 out[] = {__builtin_shufflevector(first, second, 0, 2),
                         __builtin_shufflevector(third, first, 0, 3),
                         __builtin_shufflevector(second, third, 1, 3)};
    std::memcpy(target, out, sizeof out);
}

// Sixteen pixels a step as two sets of eight in the lanes of four vectors, then eight,
// then one at a time.
void Pack32To24(const std::uint8_t* source, std::uint8_t* target, int width) {
    int x = 0;
    for (; x + 16 <= width; x += 16, source += 64, target += 48) {
        U64x2 v[4];
        std::memcpy(v, source, sizeof v);
        StorePackedPair(target, __builtin_shufflevector(v[0], v[2], 0, 2),
                        __builtin_shufflevector(v[0], v[2], 1, 3),
                        __builtin_shufflevector(v[1], v[3], 0, 2),
                        __builtin_shufflevector(v[1], v[3], 1, 3));
    }
    for (; x + 8 <= width; x += 8, source += 32, target += 24)
        StorePacked(target, Load64(source), Load64(source + 8), Load64(source + 16),
                    Load64(source + 24));
    for (; x < width; ++x, source += 4, target += 3)
        std::memcpy(target, source, 3);
}

// The same with the row's pixels in the opposite order: the words come from the row's
// end backwards, and the two pixels of each word change places (a turn by 32 bits).
void Pack32To24Reversed(const std::uint8_t* source, std::uint8_t* target, int width) {
    const std::uint8_t* end = source + 4 * static_cast<std::ptrdiff_t>(width);
    const auto swapped = [](const std::uint8_t* p) { return std::rotl(Load64(p), 32); };
    int x = 0;
    for (; x + 16 <= width; x += 16, end -= 64, target += 48) {
        U64x2 v[4];
        std::memcpy(v, end - 64, sizeof v);
        for (U64x2& word : v)
            word = word << 32 | word >> 32;
        StorePackedPair(target, __builtin_shufflevector(v[3], v[1], 1, 3),
                        __builtin_shufflevector(v[3], v[1], 0, 2),
                        __builtin_shufflevector(v[2], v[0], 1, 3),
                        __builtin_shufflevector(v[2], v[0], 0, 2));
    }
    for (; x + 8 <= width; x += 8, end -= 32, target += 24)
        StorePacked(target, swapped(end - 8), swapped(end - 16), swapped(end - 24),
                    swapped(end - 32));
    for (; x < width; ++x, end -= 4, target += 3)
        std::memcpy(target, end - 4, 3);
}

// The reverse: three words of packed b g r become eight pixels with a zero fourth byte.
void Unpack24To32(const std::uint8_t* source, std::uint8_t* target, int width) {
    int x = 0;
    for (; x + 8 <= width; x += 8, source += 24, target += 32) {
        const std::uint64_t a = Load64(source), b = Load64(source + 8), c = Load64(source + 16);
        Store64(target, (a & kPackedPixel) | (a << 8 & kPackedPixel << 32));
        Store64(target + 8, (a >> 48 | (b & 0xFF) << 16) | (b >> 8 & kPackedPixel) << 32);
        Store64(target + 16, (b >> 32 & kPackedPixel) | (b >> 56 | (c & 0xFFFF) << 8) << 32);
        Store64(target + 24, (c >> 16 & kPackedPixel) | (c >> 40) << 32);
    }
    for (; x < width; ++x, source += 3, target += 4) {
        std::memcpy(target, source, 3);
        target[3] = 0;
    }
}

bool Fits(const PixelView& source, const PixelView& target) {
    return source.width == target.width && source.height == target.height &&
           IsLayout(source.bytesPerPixel) && IsLayout(target.bytesPerPixel) &&
           (source.Empty() || (source.data != nullptr && target.data != nullptr));
}

bool SameView(const PixelView& a, const PixelView& b) {
    return a.data == b.data && a.width == b.width && a.height == b.height && a.stride == b.stride &&
           a.bytesPerPixel == b.bytesPerPixel;
}

// Rows per band: about 16 KiB of target pixels, so that a band is still in the
// first-level cache, beside the source rows it came from, when the work reads it.
int BandRows(const PixelView& target) {
    const int rowBytes = std::max(1, target.width * target.bytesPerPixel);
    return std::max(1, (16 << 10) / rowBytes);
}

}  // namespace

bool ConvertLayout(const PixelView& source, const PixelView& target) {
    if (!Fits(source, target)) return false;
    if (source.Empty()) return true;
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

bool PackMirrored(const PixelView& source, const PixelView& target) {
    if (!Fits(source, target) || source.bytesPerPixel != 4 || target.bytesPerPixel != 3)
        return false;
    for (int y = 0; y < source.height; ++y)
        Pack32To24Reversed(source.Row(y), target.Row(y), source.width);
    return true;
}

bool ConvertLayoutInBands(const PixelView& source, const PixelView& target,
                          const std::function<bool(int firstRow, int endRow)>& work) {
    if (!Fits(source, target)) return false;
    const bool convert = !SameView(source, target);
    const int band = BandRows(target);
    for (int y = 0; y < target.height; y += band) {
        const int end = std::min(target.height, y + band);
        if (convert) ConvertLayout(source.Rows(y, end), target.Rows(y, end));
        if (!work(y, end)) return false;
    }
    return true;
}

}  // namespace glimra
