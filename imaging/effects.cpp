#include "imaging/effects.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace glimra {

namespace {

bool Fits(const PixelView& source) {
    return !source.Empty() && (source.bytesPerPixel == 3 || source.bytesPerPixel == 4);
}

bool IsTarget(const PixelView& target, int width, int height) {
    return target.bytesPerPixel == 4 && target.width == width && target.height == height &&
           target.data != nullptr;
}

// The source pixel's alpha: its fourth byte where it has alpha, else opaque.
std::uint8_t AlphaAt(const std::uint8_t* pixel, int bytesPerPixel, bool sourceAlpha) {
    return bytesPerPixel == 4 && sourceAlpha ? pixel[3] : 255;
}

// Copies the source into the target at (left, top), alpha made explicit.
void Place(const PixelView& source, bool sourceAlpha, const PixelView& target, int left, int top) {
    for (int y = 0; y < source.height; ++y) {
        const std::uint8_t* s = source.Row(y);
        std::uint8_t* d = target.Row(top + y) + std::ptrdiff_t(left) * 4;
        for (int x = 0; x < source.width; ++x, s += source.bytesPerPixel, d += 4) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            d[3] = AlphaAt(s, source.bytesPerPixel, sourceAlpha);
        }
    }
}

std::uint8_t Scale(int alpha, double coverage) {
    return static_cast<std::uint8_t>(std::lround(alpha * std::clamp(coverage, 0.0, 1.0)));
}

// A small generator of its own, so that the torn line is the same on every
// platform and in every build.
class Jitter {
  public:
    explicit Jitter(std::uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    // A whole number from 0 to `range` - 1.
    int Next(int range) {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<int>(state_ % static_cast<std::uint32_t>(range));
    }

  private:
    std::uint32_t state_;
};

// The torn line along a side of `length` pixels: its depth at each pixel's middle.
// Points every few pixels alternate between the outer and the inner half of the
// depth, joined by straight lines, so that the line has teeth of irregular size.
std::vector<double> TornLine(int length, int depth, std::uint32_t seed) {
    Jitter jitter(seed * 2654435761u + static_cast<std::uint32_t>(length) * 40503u +
                  static_cast<std::uint32_t>(depth));
    const int half = std::max(1, depth / 2);
    std::vector<double> points;
    std::vector<int> at;
    int x = 0;
    for (int i = 0; x <= length + 1; ++i) {
        const int low = i % 2 ? 1 : half, high = i % 2 ? half : depth;
        points.push_back(low + jitter.Next(high - low + 1));
        at.push_back(x);
        x += 2 + jitter.Next(std::max(2, depth));
    }
    std::vector<double> line(length);
    std::size_t k = 0;
    for (int p = 0; p < length; ++p) {
        const double t = p + 0.5;
        while (k + 2 < at.size() && at[k + 1] <= t)
            ++k;
        const double f = (t - at[k]) / (at[k + 1] - at[k]);
        line[p] = points[k] + (points[k + 1] - points[k]) * std::min(f, 1.0);
    }
    return line;
}

}  // namespace

EffectSize BorderSize(int width, int height, int border) {
    return {width + 2 * border, height + 2 * border};
}

bool AddBorder(const PixelView& source, bool sourceAlpha, int border, ColourRef colour,
               const PixelView& target) {
    if (!Fits(source) || border < 1 || border > kMaxEffectReach) return false;
    const EffectSize size = BorderSize(source.width, source.height, border);
    if (!IsTarget(target, size.width, size.height)) return false;
    const std::uint8_t pixel[4] = {std::uint8_t(colour >> 16), std::uint8_t(colour >> 8),
                                   std::uint8_t(colour), 255};
    for (int y = 0; y < size.height; ++y) {
        std::uint8_t* row = target.Row(y);
        const bool inside = y >= border && y < border + source.height;
        for (int x = 0; x < size.width; ++x) {
            if (inside && x == border) x += source.width;
            if (x < size.width) std::memcpy(row + std::ptrdiff_t(x) * 4, pixel, 4);
        }
    }
    Place(source, sourceAlpha, target, border, border);
    return true;
}

EffectSize ShadowPlace(const ShadowSettings& shadow) {
    return {std::max(0, shadow.softness - shadow.offsetX),
            std::max(0, shadow.softness - shadow.offsetY)};
}

EffectSize ShadowSize(int width, int height, const ShadowSettings& shadow) {
    const EffectSize place = ShadowPlace(shadow);
    const int right = std::max(width, shadow.offsetX + width + shadow.softness);
    const int bottom = std::max(height, shadow.offsetY + height + shadow.softness);
    return {place.width + right, place.height + bottom};
}

bool AddShadow(const PixelView& source, bool sourceAlpha, const ShadowSettings& shadow,
               const PixelView& target) {
    const int r = shadow.softness;
    if (!Fits(source) || r < 0 || r > kMaxEffectReach ||
        std::abs(shadow.offsetX) > kMaxEffectReach || std::abs(shadow.offsetY) > kMaxEffectReach ||
        shadow.opacity < 0 || shadow.opacity > 100)
        return false;
    const EffectSize size = ShadowSize(source.width, source.height, shadow);
    if (!IsTarget(target, size.width, size.height)) return false;
    const EffectSize place = ShadowPlace(shadow);
    const int w = size.width, h = size.height;
    const int sx = place.width + shadow.offsetX, sy = place.height + shadow.offsetY;

    // The shape's alpha summed over a box of 2r + 1 pixels along each row...
    std::vector<std::uint32_t> rows(std::size_t(w) * h, 0);
    std::vector<std::uint32_t> line(std::size_t(w) + 1);
    for (int y = sy; y < sy + source.height; ++y) {
        const std::uint8_t* s = source.Row(y - sy);
        // Running sums of the shape along the row, then each box as a difference.
        std::fill(line.begin(), line.end(), 0u);
        for (int x = 0; x < source.width; ++x)
            line[sx + x + 1] = AlphaAt(s + std::ptrdiff_t(x) * source.bytesPerPixel,
                                       source.bytesPerPixel, sourceAlpha);
        for (int x = 0; x < w; ++x)
            line[x + 1] += line[x];
        std::uint32_t* out = &rows[std::size_t(y) * w];
        for (int x = 0; x < w; ++x)
            out[x] = line[std::min(w, x + r + 1)] - line[std::max(0, x - r)];
    }
    // ...then those sums over 2r + 1 rows down each column.
    const double box = double(2 * r + 1) * (2 * r + 1);
    std::vector<std::uint64_t> column(std::size_t(h) + 1);
    for (int x = 0; x < w; ++x) {
        column[0] = 0;
        for (int y = 0; y < h; ++y)
            column[y + 1] = column[y] + rows[std::size_t(y) * w + x];
        for (int y = 0; y < h; ++y) {
            const std::uint64_t sum = column[std::min(h, y + r + 1)] - column[std::max(0, y - r)];
            std::uint8_t* d = target.Row(y) + std::ptrdiff_t(x) * 4;
            d[0] = d[1] = d[2] = 0;
            d[3] = static_cast<std::uint8_t>(std::lround(sum * shadow.opacity / (box * 100)));
        }
    }
    // The picture over its shadow.
    for (int y = 0; y < source.height; ++y) {
        const std::uint8_t* s = source.Row(y);
        std::uint8_t* d = target.Row(place.height + y) + std::ptrdiff_t(place.width) * 4;
        for (int x = 0; x < source.width; ++x, s += source.bytesPerPixel, d += 4) {
            const int a = AlphaAt(s, source.bytesPerPixel, sourceAlpha);
            const int under = d[3] * (255 - a);  // the shadow's share, times 255
            const int total = a * 255 + under;
            for (int c = 0; c < 3; ++c)
                d[c] = total ? static_cast<std::uint8_t>((s[c] * a * 255 + total / 2) / total) : 0;
            d[3] = static_cast<std::uint8_t>((total + 127) / 255);
        }
    }
    return true;
}

bool TearEdges(const PixelView& source, bool sourceAlpha, unsigned sides, int depth,
               const PixelView& target) {
    if (!Fits(source) || depth < 2 || depth > kMaxEffectReach || (sides & ~15u) != 0) return false;
    if (!IsTarget(target, source.width, source.height)) return false;
    Place(source, sourceAlpha, target, 0, 0);
    const int w = source.width, h = source.height;
    for (unsigned side = 0; side < 4; ++side) {
        if (!(sides & (1u << side))) continue;
        const bool across = side == 0 || side == 2;  // the line runs along a row
        const int length = across ? w : h, reach = across ? h : w;
        const std::vector<double> line = TornLine(length, depth, side + 1);
        for (int p = 0; p < length; ++p) {
            // Pixel i in from the edge covers depths i to i + 1; the part beyond the line stays.
            for (int i = 0; i < std::min(depth, reach); ++i) {
                const int x = across ? p : (side == 1 ? w - 1 - i : i);
                const int y = across ? (side == 0 ? i : h - 1 - i) : p;
                std::uint8_t* d = target.Row(y) + std::ptrdiff_t(x) * 4;
                d[3] = Scale(d[3], i + 1 - line[p]);
            }
        }
    }
    return true;
}

bool RoundCorners(const PixelView& source, bool sourceAlpha, int radius, const PixelView& target) {
    if (!Fits(source) || radius < 1 || radius > kMaxEffectReach) return false;
    if (!IsTarget(target, source.width, source.height)) return false;
    Place(source, sourceAlpha, target, 0, 0);
    const int w = source.width, h = source.height;
    const int r = std::min({radius, w / 2, h / 2});
    for (int y = 0; y < r; ++y)
        for (int x = 0; x < r; ++x) {
            // The distance of the pixel's middle from the circle's centre decides the
            // part of it inside: half a pixel either side of the circle.
            const double dx = r - (x + 0.5), dy = r - (y + 0.5);
            const double inside = r + 0.5 - std::sqrt(dx * dx + dy * dy);
            if (inside >= 1) continue;
            for (const auto& [cx, cy] :
                 {std::pair{x, y}, std::pair{w - 1 - x, y}, std::pair{x, h - 1 - y},
                  std::pair{w - 1 - x, h - 1 - y}}) {
                std::uint8_t* d = target.Row(cy) + std::ptrdiff_t(cx) * 4;
                d[3] = Scale(d[3], inside);
            }
        }
    return true;
}

bool BlendOver(const PixelView& picture, ColourRef background, const PixelView& target) {
    if (picture.bytesPerPixel != 4 || target.width != picture.width ||
        target.height != picture.height || (target.bytesPerPixel != 3 && target.bytesPerPixel != 4))
        return false;
    const int under[3] = {int(background >> 16) & 0xFF, int(background >> 8) & 0xFF,
                          int(background) & 0xFF};
    for (int y = 0; y < picture.height; ++y) {
        const std::uint8_t* s = picture.Row(y);
        std::uint8_t* d = target.Row(y);
        for (int x = 0; x < picture.width; ++x, s += 4, d += target.bytesPerPixel) {
            const int a = s[3];
            std::uint8_t blended[3];
            for (int c = 0; c < 3; ++c)
                blended[c] = static_cast<std::uint8_t>(
                    under[c] + ((s[c] - under[c]) * a + (s[c] >= under[c] ? 127 : -127)) / 255);
            std::memcpy(d, blended, 3);
            if (target.bytesPerPixel == 4) d[3] = 255;
        }
    }
    return true;
}

}  // namespace glimra
