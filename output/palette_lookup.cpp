#include "output/palette_lookup.h"

#include <algorithm>
#include <climits>

namespace glimra {

namespace {

constexpr int kCubeBits = 3;   // 8 values a side
constexpr int kBlockBits = 5;  // 32 values a side

int CellIndex(int red, int green, int blue, int bits) {
    const int perChannel = 8 - bits;
    return ((red >> bits) << (2 * perChannel)) | ((green >> bits) << perChannel) | (blue >> bits);
}

}  // namespace

PaletteLookup::PaletteLookup(const std::vector<PaletteColor>& palette)
    : palette_(palette),
      leastDistances_(palette.size()),
      blocks_(std::size_t{1} << (3 * (8 - kBlockBits))),
      cubes_(std::size_t{1} << (3 * (8 - kCubeBits))),
      recent_(kRecentSize) {
    for (std::size_t i = 0; i < palette.size(); ++i) {
        red_.push_back(palette[i].red);
        green_.push_back(palette[i].green);
        blue_.push_back(palette[i].blue);
        allEntries_.push_back(static_cast<std::uint8_t>(i));
    }
}

PaletteLookup::Candidate PaletteLookup::Search(int red, int green, int blue) {
    Span& cube = cubes_[CellIndex(red, green, blue, kCubeBits)];
    if (cube.first < 0) ListCube(cube, red, green, blue);
    const Candidate* candidates = &candidates_[cube.first];
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < cube.count; ++i) {
        const int distance = Square(red - candidates[i].color.red) +
                             Square(green - candidates[i].color.green) +
                             Square(blue - candidates[i].color.blue);
        // Without a branch: which candidate wins is as good as random.
        const bool nearer = distance < bestDistance;
        best = nearer ? i : best;
        bestDistance = nearer ? distance : bestDistance;
    }
    return candidates[best];
}

void PaletteLookup::ListCube(Span& cube, int red, int green, int blue) {
    Span& block = blocks_[CellIndex(red, green, blue, kBlockBits)];
    if (block.first < 0) {
        block.first = static_cast<std::int32_t>(blockEntries_.size());
        const int mask = ~((1 << kBlockBits) - 1);
        ListNear(allEntries_.data(), static_cast<int>(allEntries_.size()), red & mask, green & mask,
                 blue & mask, 1 << kBlockBits, blockEntries_);
        block.count = static_cast<std::int32_t>(blockEntries_.size()) - block.first;
    }
    cubeEntries_.clear();
    const int mask = ~((1 << kCubeBits) - 1);
    ListNear(&blockEntries_[block.first], block.count, red & mask, green & mask, blue & mask,
             1 << kCubeBits, cubeEntries_);
    cube.first = static_cast<std::int32_t>(candidates_.size());
    cube.count = static_cast<std::int32_t>(cubeEntries_.size());
    for (std::uint8_t entry : cubeEntries_)
        candidates_.push_back({entry, palette_[entry]});
}

void PaletteLookup::ListNear(const std::uint8_t* entries, int count, int lowRed, int lowGreen,
                             int lowBlue, int side, std::vector<std::uint8_t>& out) {
    // Per channel the cell spans [low, high]; an entry's distance to it is least
    // at the nearer face (0 inside) and greatest at the farther corner.
    const int highRed = lowRed + side - 1, highGreen = lowGreen + side - 1,
              highBlue = lowBlue + side - 1;
    int bound = INT_MAX;
    for (int i = 0; i < count; ++i) {
        const int e = entries[i];
        bound = std::min(bound, Square(std::max(red_[e] - lowRed, highRed - red_[e])) +
                                    Square(std::max(green_[e] - lowGreen, highGreen - green_[e])) +
                                    Square(std::max(blue_[e] - lowBlue, highBlue - blue_[e])));
        leastDistances_[i] =
            Square(std::max(0, std::max(lowRed - red_[e], red_[e] - highRed))) +
            Square(std::max(0, std::max(lowGreen - green_[e], green_[e] - highGreen))) +
            Square(std::max(0, std::max(lowBlue - blue_[e], blue_[e] - highBlue)));
    }
    for (int i = 0; i < count; ++i)
        if (leastDistances_[i] <= bound) out.push_back(entries[i]);
}

}  // namespace glimra
