#include "imaging/pixel_ops.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "imaging/extended_precision.h"
#include "imaging/layout.h"
#include "imaging/vectors.h"

namespace glimra {

namespace {

// An exact decimal half as the 80-bit evaluation decides it (the stored weights are
// not the decimal ones, so the computed value lies a little above or below the half, or
// on it).
std::uint8_t ExtendedGray(std::uint32_t pixel) {
    const int blue = pixel & 0xFF, green = pixel >> 8 & 0xFF, red = pixel >> 16 & 0xFF;
    const long double value = (red * 0.30L + green * 0.59L) + blue * 0.11L;
    return static_cast<std::uint8_t>(RoundHalfEven(value));
}

// Grayscale of the eight pixels at p one by one, for the rare blocks with an exact
// decimal half, out of the way of the vector loop.
[[gnu::noinline, gnu::cold]] void GrayEightWithHalves(std::uint8_t* p) {
    for (int i = 0; i < 8; ++i, p += 4) {
        std::uint32_t pixel;
        std::memcpy(&pixel, p, sizeof pixel);
        const int sum = 30 * (pixel >> 16 & 0xFF) + 59 * (pixel >> 8 & 0xFF) + 11 * (pixel & 0xFF);
        p[0] = p[1] = p[2] = sum % 100 == 50 ? ExtendedGray(pixel) : (sum + 50) / 100;
    }
}

// Grayscale of the eight pixels at p. With s = 30 R + 59 G + 11 B (at most 25500), the
// gray value is (s + 50) div 100 unless s ends in 50, an exact decimal half, which the
// 80-bit evaluation decides. Each pixel's two 16-bit lanes hold (B, G) and (R, fourth
// byte); the weighted bytes of both lanes add up to s in the pixel's 32-bit lane. The
// sums of both halves of the block then share one vector of 16-bit lanes for the
// rounding division and the test for halves. A block with an exact half is done again
// by GrayEightWithHalves.
inline void GrayEight(std::uint8_t* p) {
    U32x4 pixels[2];
    std::memcpy(pixels, p, sizeof pixels);
    const U16x8 lowWeights = {11, 30, 11, 30, 11, 30, 11, 30};
    const U16x8 highWeights = {59, 0, 59, 0, 59, 0, 59, 0};
    U32x4 sums[2];
    for (int k = 0; k < 2; ++k) {
        const U16x8 lanes = reinterpret_cast<U16x8>(pixels[k]);
        const U32x4 weighted =
            reinterpret_cast<U32x4>((lanes & 0xFF) * lowWeights + (lanes >> 8) * highWeights);
        sums[k] = (weighted & 0xFFFF) + (weighted >> 16);
    }
    const U16x8 rounded = reinterpret_cast<U16x8>(sums[0] | sums[1] << 16) + 50;
    const U16x8 quotients = rounded / 100;
    const U16x8 halves = reinterpret_cast<U16x8>(quotients * 100 == rounded);
    std::uint64_t anyHalf[2];
    std::memcpy(anyHalf, &halves, sizeof anyHalf);
    if (anyHalf[0] | anyHalf[1]) {
        GrayEightWithHalves(p);
        return;
    }
    const U32x4 both = reinterpret_cast<U32x4>(quotients);
    const U32x4 grays[2] = {both & 0xFFFF, both >> 16};
    U32x4 result[2];
    for (int k = 0; k < 2; ++k)
        result[k] = (pixels[k] & 0xFF000000u) | grays[k] | grays[k] << 8 | grays[k] << 16;
    std::memcpy(p, result, sizeof result);
}

// The brightness step of a row's bytes, a loop that the compiler turns into vector
// code by itself. The quotient (v * magnitude) / 255 is (v * m) >> 16 with
// m = ceil(65536 * magnitude / 255) for every byte v when magnitude < 255: m exceeds
// 65536 * magnitude / 255 by less than 1, which raises the exact quotient by less than
// 255 / 65536, while its fraction is a multiple of 1 / 255 and at most 254 / 255, so the
// whole part stays. A magnitude of 255 makes the quotient v itself.
template <bool kBrighten>
void StepRow(std::uint8_t* row, int bytes, int magnitude) {
    const auto m =
        static_cast<std::uint16_t>(magnitude == 255 ? 0 : (65536 * magnitude + 254) / 255);
    const bool whole = magnitude == 255;
    for (int i = 0; i < bytes; ++i) {
        const std::uint16_t v = row[i];
        const std::uint16_t q =
            whole ? v : static_cast<std::uint16_t>((static_cast<std::uint32_t>(v) * m) >> 16);
        if constexpr (kBrighten) {
            // A sum past 255 wraps around below v: then it is clamped.
            const auto sum = static_cast<std::uint8_t>(v + q);
            row[i] = sum < v ? 255 : sum;
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
        InBlocks<32>(picture.Row(y), picture.width * 4, [](std::uint8_t* p) { GrayEight(p); });
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
