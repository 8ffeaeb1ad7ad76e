#include "output/palette_lookup.h"

#include <algorithm>
#include <climits>

namespace glimra {

namespace {

constexpr int kCubeBits = 3;  // 8 values per cube side
constexpr int kCubeSide = 1 << kCubeBits;
constexpr int kCubesPerChannel = 256 / kCubeSide;

int Square(int value) {
    return value * value;
}

// Least and greatest squared distance from `value` to the range [low, low + 7].
int LeastDistance(int value, int low) {
    const int high = low + kCubeSide - 1;
    return value < low ? Square(low - value) : value > high ? Square(value - high) : 0;
}

int GreatestDistance(int value, int low) {
    const int high = low + kCubeSide - 1;
    return Square(std::max(value - low, high - value));
}

}  // namespace

PaletteLookup::PaletteLookup(const std::vector<PaletteColor>& palette)
    : palette_(palette), cubes_(kCubesPerChannel * kCubesPerChannel * kCubesPerChannel) {}

int PaletteLookup::Nearest(int red, int green, int blue) {
    const Cube& cube = CubeOf(red, green, blue);
    const std::uint8_t* candidate = candidates_.data() + cube.first;
    int best = candidate[0];
    int bestDistance = INT_MAX;
    for (int i = 0; i < cube.count; ++i) {
        const PaletteColor& entry = palette_[candidate[i]];
        const int distance =
            Square(red - entry.red) + Square(green - entry.green) + Square(blue - entry.blue);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate[i];
        }
    }
    return best;
}

const PaletteLookup::Cube& PaletteLookup::CubeOf(int red, int green, int blue) {
    const int r = red >> kCubeBits, g = green >> kCubeBits, b = blue >> kCubeBits;
    Cube& cube = cubes_[(r * kCubesPerChannel + g) * kCubesPerChannel + b];
    if (cube.first >= 0) return cube;

    const int lowRed = r * kCubeSide, lowGreen = g * kCubeSide, lowBlue = b * kCubeSide;
    int bound = INT_MAX;
    for (const PaletteColor& entry : palette_)
        bound = std::min(bound, GreatestDistance(entry.red, lowRed) +
                                    GreatestDistance(entry.green, lowGreen) +
                                    GreatestDistance(entry.blue, lowBlue));
    cube.first = static_cast<std::int32_t>(candidates_.size());
    for (std::size_t i = 0; i < palette_.size(); ++i) {
        const PaletteColor& entry = palette_[i];
        if (LeastDistance(entry.red, lowRed) + LeastDistance(entry.green, lowGreen) +
                LeastDistance(entry.blue, lowBlue) <=
            bound)
            candidates_.push_back(static_cast<std::uint8_t>(i));
    }
    cube.count = static_cast<std::int32_t>(candidates_.size()) - cube.first;
    return cube;
}

}  // namespace glimra
