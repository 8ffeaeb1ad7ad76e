#include "imaging/flip.h"

#include <gtest/gtest.h>

#include "imaging/test_picture.h"

namespace glimra {
namespace {

using test::TestPicture;

TEST(Flip, MirrorsRowsPixelsOrBothPixelByPixel) {
    const int sizes[][2] = {{5, 3}, {1, 1}, {1, 4}, {6, 1}, {33, 35}};
    for (const auto& [w, h] : sizes)
        for (bool rows : {false, true})
            for (bool pixels : {false, true}) {
                SCOPED_TRACE(::testing::Message()
                             << w << "x" << h << " rows " << rows << " pixels " << pixels);
                TestPicture source(w, h, 3, true), target(w, h, 3);
                source.FillPattern(static_cast<std::uint32_t>(w + h));
                ASSERT_TRUE(Flip(rows, pixels, source.View(), target.View()));
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        EXPECT_EQ(target.Get(pixels ? w - 1 - x : x, rows ? h - 1 - y : y),
                                  source.Get(x, y));
                EXPECT_TRUE(target.PaddingIntact());
            }
}

TEST(Flip, TwiceGivesBackTheOriginal) {
    for (bool rows : {false, true}) {
        TestPicture original(7, 5, 3), once(7, 5, 3), twice(7, 5, 3);
        original.FillPattern(21);
        ASSERT_TRUE(Flip(rows, !rows, original.View(), once.View()));
        EXPECT_FALSE(once.SamePixels(original));
        ASSERT_TRUE(Flip(rows, !rows, once.View(), twice.View()));
        EXPECT_TRUE(twice.SamePixels(original));
    }
}

TEST(Flip, RefusesAnythingButMatchingTwentyFourBitViews) {
    TestPicture wide(4, 3, 4), packed(4, 3, 3), small(3, 3, 3), wideTarget(4, 3, 4);
    wide.FillPattern(2);
    packed.FillPattern(2);
    EXPECT_FALSE(Flip(true, false, wide.View(), wideTarget.View()));
    EXPECT_FALSE(Flip(true, false, wide.View(), packed.View()));
    EXPECT_FALSE(Flip(false, true, packed.View(), small.View()));
    EXPECT_FALSE(Flip(false, true, packed.View(), wideTarget.View()));
    EXPECT_EQ(wideTarget.Get(0, 0), 0xA5A5A5A5u);
    EXPECT_EQ(small.Get(0, 0), 0xA5A5A5u);
}

// The commands, from a captured 32-bit picture tall enough for several bands, and back
// from the 24-bit result.
TEST(FlipPicture, FlipsAPictureOfEitherLayoutBandByBand) {
    const int w = 1001, h = 150;
    for (bool rows : {false, true}) {
        SCOPED_TRACE(rows ? "vertical" : "horizontal");
        TestPicture captured(w, h, 4, true), target(w, h, 3);
        captured.FillPattern(17);
        ASSERT_TRUE(FlipPicture(rows, !rows, captured.View(), target.View()));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(target.Get(rows ? x : w - 1 - x, rows ? h - 1 - y : y),
                          captured.Get(x, y) & 0xFFFFFFu);
        TestPicture again(w, h, 3);
        ASSERT_TRUE(FlipPicture(rows, !rows, target.View(), again.View()));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(again.Get(x, y), captured.Get(x, y) & 0xFFFFFFu);
        EXPECT_TRUE(target.PaddingIntact());
    }
}

TEST(FlipPicture, RefusesViewsThatDoNotFit) {
    TestPicture captured(5, 4, 4), wide(5, 4, 4), small(4, 4, 3), odd(5, 4, 2);
    EXPECT_FALSE(FlipPicture(true, false, captured.View(), wide.View()));
    EXPECT_FALSE(FlipPicture(true, false, captured.View(), small.View()));
    EXPECT_FALSE(FlipPicture(false, true, odd.View(), small.View()));
    EXPECT_EQ(wide.Get(0, 0), 0xA5A5A5A5u);
    EXPECT_EQ(small.Get(0, 0), 0xA5A5A5u);
}

}  // namespace
}  // namespace glimra
