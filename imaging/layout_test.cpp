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

// A picture tall enough for several bands (each about 96 KiB of target pixels).
constexpr int kWide = 1000, kTall = 100;

TEST(LayoutInBands, ConvertsEachBandBeforeItsWorkFromTheTopDown) {
    TestPicture source(kWide, kTall, 3), target(kWide, kTall, 4, true);
    source.FillPattern(12);
    int next = 0, bands = 0;
    ASSERT_TRUE(ConvertLayoutInBands(source.View(), target.View(), [&](int first, int end) {
        EXPECT_EQ(first, next);
        EXPECT_GT(end, first);
        for (int y = 0; y < kTall; ++y)  // converted down to the band's end, untouched below
            EXPECT_EQ(target.Get(kWide - 1, y) == source.Get(kWide - 1, y), y < end) << y;
        next = end;
        ++bands;
        return true;
    }));
    EXPECT_EQ(next, kTall);
    EXPECT_GT(bands, 2);
    EXPECT_TRUE(target.SamePixels(source));
    EXPECT_TRUE(target.PaddingIntact());
}

TEST(LayoutInBands, APictureAlreadyInTheLayoutOnlyGetsTheWork) {
    TestPicture picture(kWide, kTall, 4);
    picture.FillPattern(3);
    const TestPicture before = picture;
    int rows = 0;
    ASSERT_TRUE(ConvertLayoutInBands(picture.View(), picture.View(), [&](int first, int end) {
        rows += end - first;
        return true;
    }));
    EXPECT_EQ(rows, kTall);
    EXPECT_TRUE(picture.SamePixels(before));
}

TEST(LayoutInBands, StopsWhenTheWorkFailsAndRefusesWhatDoesNotFit) {
    TestPicture source(kWide, kTall, 4), target(kWide, kTall, 3), narrow(kWide - 1, kTall, 3);
    source.FillPattern(8);
    int calls = 0;
    EXPECT_FALSE(ConvertLayoutInBands(source.View(), target.View(), [&](int, int) {
        ++calls;
        return false;
    }));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(target.Get(0, kTall - 1), 0xA5A5A5u);  // the last band was never converted
    EXPECT_FALSE(ConvertLayoutInBands(source.View(), narrow.View(), [&](int, int) {
        ++calls;
        return true;
    }));
    EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace glimra
