#include "imaging/flip.h"

#include <gtest/gtest.h>

#include "testing/imaging/test_picture.h"

namespace glimra {
namespace {

using test::TestPicture;

// Every combination of the flags, pixel by pixel, on odd and 1-pixel sizes; twice gives
// back the original.
TEST(Flip, MirrorsRowsPixelsOrBoth) {
    const int sizes[][2] = {{5, 3}, {1, 1}, {1, 4}, {6, 1}, {33, 35}};
    for (const auto& [w, h] : sizes)
        for (bool rows : {false, true})
            for (bool pixels : {false, true}) {
                SCOPED_TRACE(::testing::Message() << w << "x" << h << " " << rows << pixels);
                TestPicture source(w, h, 3, true), target(w, h, 3), back(w, h, 3);
                source.FillPattern(static_cast<std::uint32_t>(w + h));
                ASSERT_TRUE(Flip(rows, pixels, source.View(), target.View()));
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        ASSERT_EQ(target.Get(pixels ? w - 1 - x : x, rows ? h - 1 - y : y),
                                  source.Get(x, y));
                EXPECT_TRUE(target.PaddingIntact());
                ASSERT_TRUE(Flip(rows, pixels, target.View(), back.View()));
                EXPECT_TRUE(back.SamePixels(source));
            }
}

// The commands, from a captured 32-bit picture tall enough for several bands, and back
// from the 24-bit result.
TEST(FlipPicture, FlipsAPictureOfEitherLayout) {
    const int w = 1001, h = 150;
    for (bool rows : {false, true}) {
        SCOPED_TRACE(rows ? "vertical" : "horizontal");
        TestPicture captured(w, h, 4, true), target(w, h, 3), back(w, h, 3);
        captured.FillPattern(17);
        ASSERT_TRUE(FlipPicture(rows, !rows, captured.View(), target.View()));
        ASSERT_TRUE(FlipPicture(rows, !rows, target.View(), back.View()));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                ASSERT_EQ(target.Get(rows ? x : w - 1 - x, rows ? h - 1 - y : y),
                          captured.Get(x, y) & 0xFFFFFFu);
                ASSERT_EQ(back.Get(x, y), captured.Get(x, y) & 0xFFFFFFu);
            }
        EXPECT_TRUE(target.PaddingIntact());
    }
}

TEST(Flip, RefusesAnythingButMatchingTwentyFourBitTargets) {
    TestPicture wide(4, 3, 4), packed(4, 3, 3), small(3, 3, 3), wideTarget(4, 3, 4);
    EXPECT_FALSE(Flip(true, false, wide.View(), packed.View()));  // the routine: 24-bit only
    EXPECT_FALSE(Flip(false, true, packed.View(), small.View()));
    EXPECT_FALSE(FlipPicture(true, false, wide.View(), wideTarget.View()));
    EXPECT_FALSE(FlipPicture(true, false, wide.View(), small.View()));
    EXPECT_EQ(packed.Get(0, 0), 0xA5A5A5u);
    EXPECT_EQ(small.Get(0, 0), 0xA5A5A5u);
    EXPECT_EQ(wideTarget.Get(0, 0), 0xA5A5A5A5u);
}

}  // namespace
}  // namespace glimra
