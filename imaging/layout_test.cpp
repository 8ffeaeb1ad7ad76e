#include "imaging/layout.h"

#include <gtest/gtest.h>

#include "imaging/test_picture.h"

namespace glimra {
namespace {

using test::TestPicture;

// Widths 1 to 19 cover the eight-pixel blocks of the conversion and every remainder.
class LayoutWidths : public ::testing::TestWithParam<int> {};

TEST_P(LayoutWidths, ThirtyTwoToTwentyFourAndBackKeepsEveryColour) {
    const int width = GetParam();
    for (bool bottomUp : {false, true}) {
        TestPicture captured(width, 3, 4, bottomUp), packed(width, 3, 3), back(width, 3, 4);
        captured.FillPattern(static_cast<std::uint32_t>(width));
        ASSERT_TRUE(ConvertLayout(captured.View(), packed.View()));
        ASSERT_TRUE(ConvertLayout(packed.View(), back.View()));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < width; ++x) {
                EXPECT_EQ(packed.Get(x, y), captured.Get(x, y) & 0xFFFFFFu) << x << "," << y;
                EXPECT_EQ(back.Get(x, y), captured.Get(x, y) & 0xFFFFFFu) << x << "," << y;
            }
        EXPECT_TRUE(packed.PaddingIntact());
        EXPECT_TRUE(back.PaddingIntact());
    }
}

TEST_P(LayoutWidths, TwentyFourToThirtyTwoAndBackIsExact) {
    const int width = GetParam();
    TestPicture original(width, 2, 3, true), wide(width, 2, 4), back(width, 2, 3);
    original.FillPattern(99);
    ASSERT_TRUE(ConvertLayout(original.View(), wide.View()));
    ASSERT_TRUE(ConvertLayout(wide.View(), back.View()));
    EXPECT_TRUE(wide.SamePixels(original));  // a zero fourth byte, as Get reads 24-bit ones
    EXPECT_TRUE(back.SamePixels(original));
    EXPECT_TRUE(wide.PaddingIntact());
    EXPECT_TRUE(back.PaddingIntact());
}

INSTANTIATE_TEST_SUITE_P(Widths, LayoutWidths, ::testing::Range(1, 20));

TEST(Layout, EqualLayoutsCopyThePixelBytes) {
    for (int bytes : {3, 4}) {
        TestPicture source(7, 3, bytes), target(7, 3, bytes, true);
        source.FillPattern(5);
        ASSERT_TRUE(ConvertLayout(source.View(), target.View()));
        EXPECT_TRUE(target.SamePixels(source));
        EXPECT_TRUE(target.PaddingIntact());
    }
}

TEST(Layout, RefusesViewsThatDoNotFitAndWritesNothing) {
    TestPicture source(4, 3, 4);
    source.FillPattern(1);
    TestPicture narrow(3, 3, 3), short_(4, 2, 3), oddLayout(4, 3, 2);
    EXPECT_FALSE(ConvertLayout(source.View(), narrow.View()));
    EXPECT_FALSE(ConvertLayout(source.View(), short_.View()));
    EXPECT_FALSE(ConvertLayout(source.View(), oddLayout.View()));
    EXPECT_FALSE(ConvertLayout(oddLayout.View(), source.View()));
    PixelView missing = narrow.View();
    missing.data = nullptr;
    missing.width = 4;
    EXPECT_FALSE(ConvertLayout(source.View(), missing));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(narrow.Get(x, y), 0xA5A5A5u);
}

}  // namespace
}  // namespace glimra
