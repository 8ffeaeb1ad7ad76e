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
// The side of the tiles whose backgrounds a screen's ink is measured from.
constexpr int kTile = 32;
// A pixel this near a background is of its colour...
constexpr int kSameColour = 48;
// ...and paper where a row has this many of them side by side.
constexpr int kPaperRun = 24;
// Marks a pixel's background index as the nearest paper's, not its own colour.
constexpr std::int16_t kTaken = 0x4000;
// Runs of ink, even faint (darker than kRuleGray), longer than these are no letter's.
constexpr std::uint8_t kRuleGray = 240;
constexpr int kLongestRow = 160, kLongestColumn = 64;

int Class(const std::uint8_t* p) {
    return (p[0] >> 4) << 8 | (p[1] >> 4) << 4 | p[2] >> 4;
}

int Distance(const std::uint8_t* p, const Colour& c) {
    return std::abs(p[0] - c.blue) + std::abs(p[1] - c.green) + std::abs(p[2] - c.red);
}

}  // namespace

namespace {

// BackgroundColour with the caller's class counts, all zero before and after.
Colour ModeColour(const PixelView& picture, const Box& area, std::vector<std::uint32_t>& counts) {
    const int bpp = picture.bytesPerPixel;
    // Large areas are sampled: every second row and column is plenty for a mode.
    const int step = std::int64_t(area.Width()) * area.Height() > (1 << 18) ? 2 : 1;
    int mode = 0;
    for (int y = area.top; y < area.bottom; y += step) {
        const std::uint8_t* p = picture.Row(y) + std::ptrdiff_t(area.left) * bpp;
        for (int x = area.left; x < area.right; x += step, p += bpp * step) {
            const int c = Class(p);
            if (++counts[std::size_t(c)] > counts[std::size_t(mode)] ||
                (counts[std::size_t(c)] == counts[std::size_t(mode)] && c < mode))
                mode = c;
        }
    }
    std::uint64_t sums[3] = {};
    std::uint64_t n = 0;
    for (int y = area.top; y < area.bottom; y += step) {
        const std::uint8_t* p = picture.Row(y) + std::ptrdiff_t(area.left) * bpp;
        for (int x = area.left; x < area.right; x += step, p += bpp * step) {
            const int c = Class(p);
            counts[std::size_t(c)] = 0;
            if (c == mode) {
                for (int k = 0; k < 3; ++k)
                    sums[k] += p[k];
                ++n;
            }
        }
    }
    if (n == 0) return {255, 255, 255};
    return {int((sums[0] + n / 2) / n), int((sums[1] + n / 2) / n), int((sums[2] + n / 2) / n)};
}

}  // namespace

Colour BackgroundColour(const PixelView& picture, const Box& area) {
    std::vector<std::uint32_t> counts(kClasses);
    return ModeColour(picture, area, counts);
}

namespace {

// Distances (0 to kFarthest) as ink on paper: the text's colour is taken as the
// distance that the strongest tenth of clearly inked pixels reach.
void InkFromDistances(const std::vector<std::uint16_t>& distances, double gamma, GrayImage& out) {
    std::array<std::uint32_t, kFarthest + 1> histogram{};
    for (std::uint16_t d : distances)
        ++histogram[d];
    std::uint64_t clear = 0;
    for (int d = kClearInk; d <= kFarthest; ++d)
        clear += histogram[d];
    if (clear == 0) return;
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
}

GrayImage Paper(const Box& area) {
    GrayImage out;
    out.width = std::max(0, area.Width());
    out.height = std::max(0, area.Height());
    out.pixels.assign(std::size_t(out.width) * std::size_t(out.height), 255);
    return out;
}

// Runs of ink longer than any letter's stroke, along rows or columns: the
// frames, rules and edges of a screen's panels. They would join lines of text
// that a blank row separates otherwise.
void EraseRules(GrayImage& ink) {
    // Both directions' runs are found in the ink as it was, so that a frame's
    // corner taken along the rows still counts along the columns.
    std::vector<std::uint8_t> rule(ink.pixels.size(), 0);
    const auto find = [&](int lines, int length, std::ptrdiff_t along, std::ptrdiff_t across,
                          int longest) {
        for (int i = 0; i < lines; ++i) {
            const std::size_t line = std::size_t(i * across);
            const auto dark = [&](int k) {
                return ink.pixels[line + std::size_t(k * along)] < kRuleGray;
            };
            for (int begin = 0; begin < length;) {
                if (!dark(begin)) {
                    ++begin;
                    continue;
                }
                int end = begin;
                while (end < length && dark(end))
                    ++end;
                if (end - begin > longest)
                    for (int k = begin; k < end; ++k)
                        rule[line + std::size_t(k * along)] = 1;
                begin = end;
            }
        }
    };
    find(ink.height, ink.width, 1, ink.width, kLongestRow);
    find(ink.width, ink.height, ink.width, 1, kLongestColumn);
    for (std::size_t i = 0; i < rule.size(); ++i)
        if (rule[i]) ink.pixels[i] = 255;
}

}  // namespace

GrayImage InkImage(const PixelView& picture, const Box& area, Colour background, double gamma) {
    GrayImage out = Paper(area);
    if (out.pixels.empty()) return out;
    std::vector<std::uint16_t> distances(out.pixels.size());
    const int bpp = picture.bytesPerPixel;
    for (int y = 0; y < out.height; ++y) {
        const std::uint8_t* p = picture.Row(area.top + y) + std::ptrdiff_t(area.left) * bpp;
        std::uint16_t* d = &distances[std::size_t(y) * std::size_t(out.width)];
        for (int x = 0; x < out.width; ++x, p += bpp)
            d[x] = std::uint16_t(Distance(p, background));
    }
    InkFromDistances(distances, gamma, out);
    return out;
}

GrayImage ScreenInkImage(const PixelView& picture, const Box& area) {
    GrayImage out = Paper(area);
    if (out.pixels.empty()) return out;
    const int width = out.width, height = out.height, bpp = picture.bytesPerPixel;
    const auto at = [&](int x, int y) {
        return picture.Row(area.top + y) + std::ptrdiff_t(area.left + x) * bpp;
    };
    // Each tile's own background, as an index into the backgrounds met.
    const int columns = (width + kTile - 1) / kTile, rows = (height + kTile - 1) / kTile;
    std::vector<Colour> backgrounds;
    std::vector<std::uint32_t> counts(kClasses);
    std::vector<std::int16_t> tiles(std::size_t(columns) * std::size_t(rows));
    for (int ty = 0; ty < rows; ++ty)
        for (int tx = 0; tx < columns; ++tx) {
            const Box tile{area.left + tx * kTile, area.top + ty * kTile,
                           std::min(area.right, area.left + (tx + 1) * kTile),
                           std::min(area.bottom, area.top + (ty + 1) * kTile)};
            const Colour c = ModeColour(picture, tile, counts);
            auto found = std::find_if(backgrounds.begin(), backgrounds.end(), [&](const Colour& b) {
                return b.blue == c.blue && b.green == c.green && b.red == c.red;
            });
            if (found == backgrounds.end() && backgrounds.size() < std::size_t(kTaken))
                found = backgrounds.insert(backgrounds.end(), c);
            tiles[std::size_t(ty) * std::size_t(columns) + std::size_t(tx)] =
                std::int16_t(found == backgrounds.end() ? 0 : found - backgrounds.begin());
        }
    const auto tileAt = [&](int x, int y) {
        return tiles[std::size_t(y / kTile) * std::size_t(columns) + std::size_t(x / kTile)];
    };

    // The backgrounds of each tile and the tiles around it, each once.
    std::vector<std::vector<std::int16_t>> around(tiles.size());
    for (int ty = 0; ty < rows; ++ty)
        for (int tx = 0; tx < columns; ++tx) {
            auto& list = around[std::size_t(ty) * std::size_t(columns) + std::size_t(tx)];
            for (int j = std::max(0, ty - 1); j <= std::min(rows - 1, ty + 1); ++j)
                for (int i = std::max(0, tx - 1); i <= std::min(columns - 1, tx + 1); ++i) {
                    const std::int16_t k =
                        tiles[std::size_t(j) * std::size_t(columns) + std::size_t(i)];
                    if (std::find(list.begin(), list.end(), k) == list.end()) list.push_back(k);
                }
        }

    // Paper: pixels of their tile's background, and pixels of a background of a
    // tile around it in a run of kPaperRun or more along their row or column. A
    // panel's paper makes such runs, a letter's strokes do not, even when they
    // have the colour of the panel beside.
    std::vector<std::int16_t> colour(out.pixels.size(), -1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            int best = kSameColour + 1;
            for (std::int16_t k :
                 around[std::size_t(y / kTile) * std::size_t(columns) + std::size_t(x / kTile)])
                if (const int d = Distance(at(x, y), backgrounds[std::size_t(k)]); d < best)
                    best = d, colour[std::size_t(y) * std::size_t(width) + std::size_t(x)] = k;
        }
    // Its own tile's background is paper wherever it is.
    std::vector<std::int16_t> paper(out.pixels.size(), -1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t i = std::size_t(y) * std::size_t(width) + std::size_t(x);
            if (colour[i] == tileAt(x, y)) paper[i] = colour[i];
        }
    const auto runs = [&](std::size_t first, std::ptrdiff_t step, int count) {
        for (int n = 0; n < count;) {
            const std::int16_t k = colour[first + std::size_t(n * step)];
            int end = n + 1;
            while (end < count && colour[first + std::size_t(end * step)] == k)
                ++end;
            if (k >= 0 && end - n >= kPaperRun)
                for (; n < end; ++n)
                    paper[first + std::size_t(n * step)] = k;
            n = end;
        }
    };
    for (int y = 0; y < height; ++y)
        runs(std::size_t(y) * std::size_t(width), 1, width);
    for (int x = 0; x < width; ++x)
        runs(std::size_t(x), width, height);
    std::vector<std::int16_t>().swap(colour);

    // Every other pixel belongs to the panel of the nearest paper along its row
    // or column, kept in `paper` with kTaken added; its ink is its distance from
    // that panel's background.
    std::vector<std::uint16_t> reach(out.pixels.size(), 0xFFFF);
    const auto scan = [&](std::size_t first, std::ptrdiff_t step, int count) {
        std::int16_t last = -1;
        int since = 0;
        std::size_t i = first;
        for (int n = 0; n < count; ++n, i += std::size_t(step)) {
            if (paper[i] >= 0 && !(paper[i] & kTaken)) {
                last = paper[i], since = 0;
                continue;
            }
            ++since;
            if (last >= 0 && since < reach[i])
                reach[i] = std::uint16_t(since), paper[i] = std::int16_t(last | kTaken);
        }
    };
    for (int y = 0; y < height; ++y) {
        const std::size_t first = std::size_t(y) * std::size_t(width);
        scan(first, 1, width);
        scan(first + std::size_t(width) - 1, -1, width);
    }
    for (int x = 0; x < width; ++x) {
        scan(std::size_t(x), width, height);
        scan(std::size_t(height - 1) * std::size_t(width) + std::size_t(x), -width, height);
    }
    // The reaches are done with: their memory takes the distances.
    std::vector<std::uint16_t>& distances = reach;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t i = std::size_t(y) * std::size_t(width) + std::size_t(x);
            const std::int16_t k = paper[i] >= 0 ? std::int16_t(paper[i] & ~kTaken) : tileAt(x, y);
            distances[i] = std::uint16_t(Distance(at(x, y), backgrounds[std::size_t(k)]));
        }
    std::vector<std::int16_t>().swap(paper);
    InkFromDistances(distances, 1.0, out);
    EraseRules(out);
    return out;
}

}  // namespace glimra::ocr
