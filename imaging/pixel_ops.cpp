#include "imaging/pixel_ops.h"

#include <algorithm>
#include <cstdint>

#include "imaging/extended_precision.h"

namespace glimra {

namespace {

// 100 times the gray value of the b, g, r bytes at p: at most 25500, so 16 bits hold it.
inline std::uint16_t WeightedSum(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(30 * p[2] + 59 * p[1] + 11 * p[0]);
}

// The sum ends in 50 exactly when the decimal gray value is an exact half.
inline bool IsDecimalHalf(std::uint16_t sum) {
    return sum % 100 == 50;
}

// The nearest integer to sum / 100, for sums that are not exact halves.
inline std::uint8_t RoundedGray(std::uint16_t sum) {
    return static_cast<std::uint8_t>(static_cast<std::uint16_t>(sum + 50) / 100);
}

// An exact half as the 80-bit evaluation decides it (the stored weights are not the
// decimal ones, so the computed value lies a little above or below the half, or on it).
std::uint8_t ExtendedGray(const std::uint8_t* p) {
    const long double value = (p[2] * 0.30L + p[1] * 0.59L) + p[0] * 0.11L;
    return static_cast<std::uint8_t>(RoundHalfEven(value));
}

inline void SetGray(std::uint8_t* p, std::uint8_t gray) {
    p[0] = p[1] = p[2] = gray;
}

// Runs of pixels short enough to stay in the first-level cache: each run is scanned for
// exact halves first, so that a run without any (nearly all of them) takes one plain
// integer loop that the compiler vectorises.
constexpr int kRun = 64;

void GrayRun(std::uint8_t* p, int count) {
    unsigned halves = 0;
    for (int i = 0; i < count; ++i)
        halves += IsDecimalHalf(WeightedSum(p + 4 * i));
    if (halves == 0) {
        for (int i = 0; i < count; ++i)
            SetGray(p + 4 * i, RoundedGray(WeightedSum(p + 4 * i)));
        return;
    }
    for (int i = 0; i < count; ++i) {
        const std::uint16_t sum = WeightedSum(p + 4 * i);
        SetGray(p + 4 * i, IsDecimalHalf(sum) ? ExtendedGray(p + 4 * i) : RoundedGray(sum));
    }
}

// floor(n / 255) for n up to 255 * 255, without a division.
inline unsigned DivideBy255(unsigned n) {
    return (n + 1 + (n >> 8)) >> 8;
}

bool IsRowRange(const PixelView& picture, int firstRow, int endRow) {
    return 0 <= firstRow && firstRow <= endRow && endRow <= picture.height;
}

// Rows per Invert band: about 64 KiB of pixels, so that the clock is read rarely.
int BandRows(const PixelView& picture) {
    const int rowBytes = std::max(1, picture.width * 3);
    return std::max(1, (64 << 10) / rowBytes);
}

}  // namespace

bool Grayscale(const PixelView& picture) {
    if (picture.bytesPerPixel != 4) return false;
    const ExtendedPrecision extended;
    for (int y = 0; y < picture.height; ++y) {
        std::uint8_t* row = picture.Row(y);
        for (int x = 0; x < picture.width; x += kRun)
            GrayRun(row + 4 * x, std::min(kRun, picture.width - x));
    }
    return true;
}

bool StepBrightness(const PixelView& picture, int step) {
    if (picture.bytesPerPixel != 3 || step < -255 || step > 255) return false;
    const unsigned magnitude = static_cast<unsigned>(step < 0 ? -step : step);
    const int bytes = picture.width * 3;
    for (int y = 0; y < picture.height; ++y) {
        std::uint8_t* row = picture.Row(y);
        if (step < 0) {
            for (int i = 0; i < bytes; ++i) {
                const unsigned v = row[i];
                row[i] = static_cast<std::uint8_t>(std::min(255u, v + DivideBy255(v * magnitude)));
            }
        } else {
            for (int i = 0; i < bytes; ++i) {
                const unsigned v = row[i];
                row[i] = static_cast<std::uint8_t>(v - DivideBy255(v * magnitude));
            }
        }
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

bool Invert(const PixelView& picture, const std::function<void(int firstRow, int endRow)>& repaint,
            const RepaintPacing& pacing) {
    if (picture.bytesPerPixel != 3) return false;
    const int band = BandRows(picture);
    int repainted = 0;
    auto repaintEnd = pacing.now();
    auto repaintCost = std::chrono::steady_clock::duration::zero();
    for (int y = 0; y < picture.height; y += band) {
        const int end = std::min(picture.height, y + band);
        InvertRows(picture, y, end);
        if (end < picture.height && pacing.now() - repaintEnd < std::max(pacing.frame, repaintCost))
            continue;
        const auto repaintStart = pacing.now();
        repaint(repainted, end);
        repainted = end;
        repaintEnd = pacing.now();
        repaintCost = repaintEnd - repaintStart;
    }
    return true;
}

}  // namespace glimra
