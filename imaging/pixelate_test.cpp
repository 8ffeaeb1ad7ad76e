// Pixelation on pictures of irregular colours, both layouts, both row orders, with
// areas that end inside a block, past the picture and dragged backwards.
#include "imaging/pixelate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "testing/imaging/test_picture.h"

namespace {

using glimra::Area;
using glimra::test::TestPicture;

struct Layout {
    int bytesPerPixel;
    bool bottomUp;
};

class Pixelate : public ::testing::TestWithParam<Layout> {};

// Byte `c` of the mean of the original block, computed in floating point.
std::uint8_t Mean(const TestPicture& original, int left, int top, int right, int bottom, int c) {
    double sum = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            sum += (original.Get(x, y) >> (8 * c)) & 0xFF;
    return std::uint8_t(std::floor(sum / ((right - left) * (bottom - top)) + 0.5));
}

TEST_P(Pixelate, BlocksOnThePicturesGridHoldTheirExactMeans_NothingElseChanges) {
    const Layout layout = GetParam();
    TestPicture picture(37, 21, layout.bytesPerPixel, layout.bottomUp),
        original(37, 21, layout.bytesPerPixel);
    picture.FillPattern(7);
    original.FillPattern(7);
    // Dragged from lower right to upper left, ending inside blocks and past the
    // right edge: the blocks it touches are columns 0 to 37 and rows 0 to 16.
    const Area blocks = glimra::Pixelate(picture.View(), {40, 12, 5, 3});
    EXPECT_EQ(blocks.left, 0);
    EXPECT_EQ(blocks.top, 0);
    EXPECT_EQ(blocks.right, 37);
    EXPECT_EQ(blocks.bottom, 16);
    EXPECT_TRUE(picture.PaddingIntact());

    std::set<std::uint32_t> before, after;
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 37; ++x) {
            if (y >= 16) {
                EXPECT_EQ(picture.Get(x, y), original.Get(x, y)) << x << "," << y;
                continue;
            }
            const int left = x / 8 * 8, top = y / 8 * 8;
            const int right = std::min(left + 8, 37), bottom = top + 8;
            for (int c = 0; c < layout.bytesPerPixel; ++c)
                ASSERT_EQ((picture.Get(x, y) >> (8 * c)) & 0xFF,
                          Mean(original, left, top, right, bottom, c))
                    << x << "," << y << " byte " << c;
            before.insert(original.Get(x, y));
            after.insert(picture.Get(x, y));
        }
    // None of the area's original pixels is left in it.
    for (std::uint32_t value : after)
        EXPECT_EQ(before.count(value), 0u) << std::hex << value;
}

TEST_P(Pixelate, OverlappingAreasGiveTheSameBlocks_AndAnEmptyAreaChangesNothing) {
    const Layout layout = GetParam();
    TestPicture once(40, 24, layout.bytesPerPixel, layout.bottomUp),
        twice(40, 24, layout.bytesPerPixel, layout.bottomUp);
    once.FillPattern(3);
    twice.FillPattern(3);
    glimra::Pixelate(once.View(), {3, 2, 30, 20});
    glimra::Pixelate(twice.View(), {3, 2, 20, 20});
    glimra::Pixelate(twice.View(), {10, 5, 30, 20});
    EXPECT_TRUE(once.SamePixels(twice));

    TestPicture untouched(40, 24, layout.bytesPerPixel, layout.bottomUp);
    untouched.FillPattern(3);
    for (Area empty : {Area{5, 5, 5, 30}, Area{50, 0, 60, 10}, Area{-20, -20, -1, -1}}) {
        const Area blocks = glimra::Pixelate(untouched.View(), empty);
        EXPECT_EQ(blocks.right - blocks.left, 0);
    }
    TestPicture fresh(40, 24, layout.bytesPerPixel, layout.bottomUp);
    fresh.FillPattern(3);
    EXPECT_TRUE(untouched.SamePixels(fresh));
}

INSTANTIATE_TEST_SUITE_P(Layouts, Pixelate,
                         ::testing::Values(Layout{3, false}, Layout{4, false}, Layout{3, true},
                                           Layout{4, true}));

}  // namespace
