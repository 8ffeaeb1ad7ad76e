#include "imaging/pixel_ops.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/extended_precision.h"
#include "imaging/layout.h"
#include "imaging/vectors.h"

namespace glimra {

namespace {

// An exact decimal half as the 80-bit evaluation decides it (the stored weights are
// not the decimal ones, so the computed value lies a little above or below the half, or
// on it). The value is that close to the half h = s / 100 of its weighted sum s, so
// comparing with h, which long double holds exactly, rounds it: above goes up, below
// down, on it to the even neighbour.
std::uint8_t ExtendedGray(std::uint32_t pixel) {
    const int blue = pixel & 0xFF, green = pixel >> 8 & 0xFF, red = pixel >> 16 & 0xFF;
    const long double value = (red * 0.30L + green * 0.59L) + blue * 0.11L;
    const int below = (30 * red + 59 * green + 11 * blue) / 100;
    const long double half = below + 0.5L;
    const int up = value > half || (value == half && below % 2 == 1);
    return static_cast<std::uint8_t>(below + up);
}

// The pixels among the sixteen at p with an exact decimal half, as `halves` from
// GraysOfEight marks them, get the gray value of the 80-bit evaluation of their colour
// in `pixels`, kept out of the way of the vector loop.
[[gnu::noinline]] void GrayHalves(std::uint8_t* p, const U32x4 (&pixels)[4],
                                  const U16x8 (&halves)[2]) {
    std::uint32_t colours[16];
    std::uint16_t marks[16];
    std::memcpy(colours, pixels, sizeof colours);
    std::memcpy(marks, halves, sizeof marks);
    unsigned marked = 0;
    for (int i = 0; i < 16; ++i)
        marked |= (marks[i] & 1u) << i;
    for (; marked != 0; marked &= marked - 1) {
        // Lane 2 j of a set of eight holds its pixel j, lane 2 j + 1 its pixel 4 + j.
        const int i = std::countr_zero(marked);
        const int pixel = i / 8 * 8 + i % 8 / 2 + i % 2 * 4;
        std::memset(p + 4 * pixel, ExtendedGray(colours[pixel]), 3);
    }
}

// The gray values of eight pixels, four in `first` and four in `second`, and a mask of
// those with an exact decimal half. With s = 30 R + 59 G + 11 B (at most 25500), the gray
// value is (s + 50) div 100 unless s ends in 50, which the 80-bit evaluation decides.
// Each pixel's two 16-bit lanes, (B + 256 G) and (R + 256 X) with X the fourth byte,
// times (11, 30) less the high bytes (G, X) times (2757, 7680) are (11 B + 59 G, 30 R)
// modulo 65536; the weights differ from lane to lane, which keeps each multiplication a
// single vector operation. The two lanes of all eight pixels are then added in one
// vector, pixels of `first` in the even lanes and of `second` in the odd ones, where the
// rounding division and the test for halves take one step for all eight.
inline void GraysOfEight(const U32x4& first, const U32x4& second, U16x8& grays, U16x8& halves) {
    const U16x8 weights = {11, 30, 11, 30, 11, 30, 11, 30};
    const U16x8 highWeights = {2757, 7680, 2757, 7680, 2757, 7680, 2757, 7680};
    const U16x8 lanesA = reinterpret_cast<U16x8>(first), lanesB = reinterpret_cast<U16x8>(second);
    const U32x4 a = reinterpret_cast<U32x4>(lanesA * weights - (lanesA >> 8) * highWeights);
    const U32x4 b = reinterpret_cast<U32x4>(lanesB * weights - (lanesB >> 8) * highWeights);
    const U16x8 sums = reinterpret_cast<U16x8>((a & 0xFFFF) | b << 16) +
                       reinterpret_cast<U16x8>(a >> 16 | (b & 0xFFFF0000u));
    const U16x8 rounded = sums + 50;
    grays = rounded / 100;
    halves = reinterpret_cast<U16x8>(grays * 100 == rounded);
}

// Writes gray values from GraysOfEight into the pixels `first` and `second`, stored at
// p: each gray value goes to both 16-bit lanes of its pixel, whose multiplication by
// (0x101, 1) puts it in blue, green and red; the fourth byte stays.
inline void StoreGrays(std::uint8_t* p, const U32x4& first, const U32x4& second,
                       const U16x8& grays) {
    const U16x8 spread = {0x101, 1, 0x101, 1, 0x101, 1, 0x101, 1};
    const U32x4 out[] = {
        reinterpret_cast<U32x4>(__builtin_shufflevector(grays, grays, 0, 0, 2, 2, 4, 4, 6, 6) *
                                spread) |
            (first & 0xFF000000u),
        reinterpret_cast<U32x4>(__builtin_shufflevector(grays, grays, 1, 1, 3, 3, 5, 5, 7, 7) *
                                spread) |
            (second & 0xFF000000u)};
    std::memcpy(p, out, sizeof out);
}

// Grayscale of the sixteen pixels at p, as two sets of eight with one test for halves;
// the pixels with an exact half are then corrected by GrayHalves.
inline void GraySixteen(std::uint8_t* p) {
    U32x4 pixels[4];
    std::memcpy(pixels, p, sizeof pixels);
    U16x8 grays[2], halves[2];
    GraysOfEight(pixels[0], pixels[1], grays[0], halves[0]);
    GraysOfEight(pixels[2], pixels[3], grays[1], halves[1]);
    const U16x8 either = halves[0] | halves[1];
    std::uint64_t anyHalf[2];
    std::memcpy(anyHalf, &either, sizeof anyHalf);
    StoreGrays(p, pixels[0], pixels[1], grays[0]);
    StoreGrays(p + 32, pixels[2], pixels[3], grays[1]);
    if (anyHalf[0] | anyHalf[1]) GrayHalves(p, pixels, halves);
}

// The brightness step of a row's bytes. The quotient (v * magnitude) / 255 is
// (v * m) >> 16 with m = ceil(65536 * magnitude / 255) for every byte v when
// magnitude < 255: m exceeds 65536 * magnitude / 255 by less than 1, which raises the
// exact quotient by less than 255 / 65536, while its fraction is a multiple of 1 / 255
// and at most 254 / 255, so the whole part stays. A magnitude of 255 makes the quotient
// v itself. Brightening adds the quotient up to 255 at most; darkening takes it away,
// and it is never more than v.
template <bool kBrighten>
void StepRow(std::uint8_t* row, int bytes, int magnitude) {
    const auto m =
        static_cast<std::uint16_t>(magnitude == 255 ? 0 : (65536 * magnitude + 254) / 255);
    const bool whole = magnitude == 255;
    int i = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: the quotients as the high words of 16-bit products,
    // then one saturating addition or one subtraction. The compiler's own vector
    // code for the loop below is much slower, most of it spent on the clamp.
    const __m128i zero = _mm_setzero_si128(), factor = _mm_set1_epi16(static_cast<short>(m));
    for (; i + 16 <= bytes; i += 16) {
        auto* at = reinterpret_cast<__m128i*>(row + i);
        const __m128i v = _mm_loadu_si128(at);
        const __m128i q =
            whole ? v
                  : _mm_packus_epi16(_mm_mulhi_epu16(_mm_unpacklo_epi8(v, zero), factor),
                                     _mm_mulhi_epu16(_mm_unpackhi_epi8(v, zero), factor));
        _mm_storeu_si128(at, kBrighten ? _mm_adds_epu8(v, q) : _mm_sub_epi8(v, q));
    }
#endif
    for (; i < bytes; ++i) {
        const std::uint16_t v = row[i];
        const std::uint16_t q =
            whole ? v : static_cast<std::uint16_t>((static_cast<std::uint32_t>(v) * m) >> 16);
        if constexpr (kBrighten) {
            // The step clamped to the room above v, so that the sum stops at 255.
            const auto room = static_cast<std::uint8_t>(255 - v);
            row[i] = static_cast<std::uint8_t>(v + std::min(static_cast<std::uint8_t>(q), room));
        } else {
            row[i] = static_cast<std::uint8_t>(v - q);
        }
    }
}

// Runs `work` over a row of `bytes` bytes in blocks of kBlock bytes; the last, partial
// block goes through a buffer, so that no byte after the row's end is read or written.
template <int kBlock, typename Work>
void InBlocks(std::uint8_t* row, int bytes, Work work) {
    int i = 0;
    for (; i + kBlock <= bytes; i += kBlock)
        work(row + i);
    if (i == bytes) return;
    std::uint8_t block[kBlock] = {};
    std::memcpy(block, row + i, bytes - i);
    work(block);
    std::memcpy(row + i, block, bytes - i);
}

bool IsRowRange(const PixelView& picture, int firstRow, int endRow) {
    return 0 <= firstRow && firstRow <= endRow && endRow <= picture.height;
}

}  // namespace

bool Grayscale(const PixelView& picture) {
    if (picture.bytesPerPixel != 4) return false;
    const ExtendedPrecision extended;
    for (int y = 0; y < picture.height; ++y)
        InBlocks<64>(picture.Row(y), picture.width * 4, [](std::uint8_t* p) { GraySixteen(p); });
    return true;
}

bool StepBrightness(const PixelView& picture, int step) {
    if (picture.bytesPerPixel != 3 || step < -255 || step > 255) return false;
    const int magnitude = step < 0 ? -step : step;
    for (int y = 0; y < picture.height; ++y) {
        if (step < 0)
            StepRow<true>(picture.Row(y), picture.width * 3, magnitude);
        else
            StepRow<false>(picture.Row(y), picture.width * 3, magnitude);
    }
    return true;
}

bool InvertRows(const PixelView& picture, int firstRow, int endRow) {
    if (picture.bytesPerPixel != 3 || !IsRowRange(picture, firstRow, endRow)) return false;
    const int bytes = picture.width * 3;
    for (int y = firstRow; y < endRow; ++y) {
        std::uint8_t* row = picture.Row(y);
        for (int i = 0; i < bytes; ++i)
            row[i] = static_cast<std::uint8_t>(255 - row[i]);
    }
    return true;
}

bool Invert(const PixelView& source, const PixelView& target,
            const std::function<void(int firstRow, int endRow)>& repaint,
            const RepaintPacing& pacing) {
    if (target.bytesPerPixel != 3) return false;
    int repainted = 0;
    auto repaintEnd = pacing.now();
    auto repaintCost = std::chrono::steady_clock::duration::zero();
    return ConvertLayoutInBands(source, target, [&](int first, int end) {
        InvertRows(target, first, end);
        if (end < target.height && pacing.now() - repaintEnd < std::max(pacing.frame, repaintCost))
            return true;
        const auto repaintStart = pacing.now();
        repaint(repainted, end);
        repainted = end;
        repaintEnd = pacing.now();
        repaintCost = repaintEnd - repaintStart;
        return true;
    });
}

}  // namespace glimra
