#include "ocr/ink.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace glimra::ocr {

namespace {

// Colour classes of 4 bits a channel.
constexpr int kClasses = 16 * 16 * 16;
// The largest distance: all three channels from 0 to 255.
constexpr int kFarthest = 3 * 255;
// Pixels this far from the background are clearly ink, not noise or a faint edge.
constexpr int kClearInk = 64;
// A text colour weaker than this would turn the faintest noise into ink.
constexpr int kWeakestText = 96;

int Class(const std::uint8_t* p) {
    return (p[0] >> 4) << 8 | (p[1] >> 4) << 4 | p[2] >> 4;
}

int Distance(const std::uint8_t* p, const Colour& c) {
    return std::abs(p[0] - c.blue) + std::abs(p[1] - c.green) + std::abs(p[2] - c.red);
}

}  // namespace

Colour BackgroundColour(const PixelView& picture, const Box& area) {
    std::vector<std::uint32_t> counts(kClasses);
    const int bpp = picture.bytesPerPixel;
    // Large areas are sampled: every second row and column is plenty for a mode.
    const int step = std::int64_t(area.Width()) * area.Height() > (1 << 18) ? 2 : 1;
    for (int y = area.top; y < area.bottom; y += step) {
        const std::uint8_t* p = picture.Row(y) + std::ptrdiff_t(area.left) * bpp;
        for (int x = area.left; x < area.right; x += step, p += bpp * step)
            ++counts[Class(p)];
    }
    const int mode = int(std::max_element(counts.begin(), counts.end()) - counts.begin());
    std::uint64_t sums[3] = {};
    std::uint64_t n = 0;
    for (int y = area.top; y < area.bottom; y += step) {
        const std::uint8_t* p = picture.Row(y) + std::ptrdiff_t(area.left) * bpp;
        for (int x = area.left; x < area.right; x += step, p += bpp * step)
            if (Class(p) == mode) {
                for (int c = 0; c < 3; ++c)
                    sums[c] += p[c];
                ++n;
            }
    }
    if (n == 0) return {255, 255, 255};
    return {int((sums[0] + n / 2) / n), int((sums[1] + n / 2) / n), int((sums[2] + n / 2) / n)};
}

GrayImage InkImage(const PixelView& picture, const Box& area, Colour background, double gamma) {
    GrayImage out;
    out.width = std::max(0, area.Width());
    out.height = std::max(0, area.Height());
    out.pixels.assign(std::size_t(out.width) * std::size_t(out.height), 255);
    if (out.pixels.empty()) return out;

    // The distances first, then the text's colour from their histogram.
    std::vector<std::uint16_t> distances(out.pixels.size());
    std::array<std::uint32_t, kFarthest + 1> histogram{};
    const int bpp = picture.bytesPerPixel;
    for (int y = 0; y < out.height; ++y) {
        const std::uint8_t* p = picture.Row(area.top + y) + std::ptrdiff_t(area.left) * bpp;
        std::uint16_t* d = &distances[std::size_t(y) * std::size_t(out.width)];
        for (int x = 0; x < out.width; ++x, p += bpp) {
            d[x] = std::uint16_t(Distance(p, background));
            ++histogram[d[x]];
        }
    }
    std::uint64_t clear = 0;
    for (int d = kClearInk; d <= kFarthest; ++d)
        clear += histogram[d];
    if (clear == 0) return out;
    std::uint64_t above = 0;
    int text = kFarthest;
    while (text > kClearInk && (above += histogram[text]) * 10 < clear)
        --text;
    text = std::max(text, kWeakestText);

    // Ink in 0..255, as a table over the distances.
    std::array<std::uint8_t, kFarthest + 1> paper{};
    for (int d = 0; d <= kFarthest; ++d)
        paper[d] =
            std::uint8_t(255 - std::lround(255 * std::pow(std::min(1.0, double(d) / text), gamma)));
    for (std::size_t i = 0; i < distances.size(); ++i)
        out.pixels[i] = paper[distances[i]];
    return out;
}

}  // namespace glimra::ocr
