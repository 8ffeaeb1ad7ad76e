#include "output/octree_quantizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "testing/imaging/test_picture.h"

namespace glimra {
namespace {

std::uint32_t Rgb(int red, int green, int blue) {
    return (std::uint32_t(red) << 16) | (std::uint32_t(green) << 8) | std::uint32_t(blue);
}

// One row of pixels, fed to the tree left to right.
std::vector<PaletteColor> PaletteOf(const std::vector<std::uint32_t>& pixels) {
    test::TestPicture picture(static_cast<int>(pixels.size()), 1, 3);
    for (std::size_t x = 0; x < pixels.size(); ++x)
        picture.Set(static_cast<int>(x), 0, pixels[x]);
    return BuildOctreePalette(picture.View());
}

bool Before(const PaletteColor& a, const PaletteColor& b) {
    return std::tie(a.red, a.green, a.blue) < std::tie(b.red, b.green, b.blue);
}

TEST(OctreeQuantizerTest, EntriesFollowTheTreeOrder) {
    // At the top level red is bit 2 of the child index, green bit 1, blue bit 0.
    const auto palette =
        PaletteOf({Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 0, 255), Rgb(255, 0, 0)});
    const std::vector<PaletteColor> expected = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}};
    EXPECT_EQ(palette, expected);
}

TEST(OctreeQuantizerTest, ALeafAveragesItsColoursWithTruncation) {
    // The same top six bits in every channel: one leaf, sums 32, 62, 91 over 3.
    EXPECT_EQ(PaletteOf({Rgb(10, 20, 29), Rgb(11, 21, 31), Rgb(11, 21, 31)}),
              (std::vector<PaletteColor>{{10, 20, 30}}));
    // Bit 2 of red differs: two leaves.
    EXPECT_EQ(PaletteOf({Rgb(4, 0, 0), Rgb(0, 0, 0)}),
              (std::vector<PaletteColor>{{0, 0, 0}, {4, 0, 0}}));
}

// 129 pairs of colours, each pair in its own node of level 5 and apart only in
// bit 2 of red. After 128 pairs the tree holds 256 leaves; the first colour of
// pair 129 makes 257. The newest node of level 5 (pair 129's, one child) becomes
// a leaf, which removes none, then the next newest (pair 128's) absorbs its two
// children. The second colour of pair 129 then falls into its new leaf.
TEST(OctreeQuantizerTest, ReducesTheNewestNodeOfTheDeepestLevel) {
    std::vector<std::uint32_t> pixels;
    for (int k = 0; k < 129; ++k) {
        const int red = 8 * (k % 32), green = 8 * (k / 32);
        pixels.push_back(Rgb(red, green, 0));
        pixels.push_back(Rgb(red + 4, green, 0));
    }
    auto palette = PaletteOf(pixels);
    std::vector<PaletteColor> expected;
    for (int k = 0; k < 127; ++k) {
        const auto red = static_cast<std::uint8_t>(8 * (k % 32));
        const auto green = static_cast<std::uint8_t>(8 * (k / 32));
        expected.push_back({red, green, 0});
        expected.push_back({static_cast<std::uint8_t>(red + 4), green, 0});
    }
    expected.push_back({250, 24, 0});  // pair 128: (248, 24, 0) and (252, 24, 0)
    expected.push_back({2, 32, 0});    // pair 129: (0, 32, 0) and (4, 32, 0)
    std::sort(palette.begin(), palette.end(), Before);
    std::sort(expected.begin(), expected.end(), Before);
    EXPECT_EQ(palette, expected);
}

}  // namespace
}  // namespace glimra
