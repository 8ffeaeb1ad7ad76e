#include "imaging/layout.h"

#include <gtest/gtest.h>

#include "testing/imaging/test_picture.h"

namespace glimra {
namespace {

using test::TestPicture;

// Widths 1 to 19 cover the eight-pixel blocks of the conversions and every remainder;
// both directions, top-down and bottom-up rows.
TEST(Layout, RoundTripsKeepEveryColourWithAZeroFourthByte) {
    for (int width = 1; width < 20; ++width)
        for (bool bottomUp : {false, true}) {
            SCOPED_TRACE(::testing::Message() << width << (bottomUp ? " bottom-up" : ""));
            TestPicture captured(width, 3, 4, bottomUp), packed(width, 3, 3), wide(width, 3, 4);
            captured.FillPattern(static_cast<std::uint32_t>(width));
            ASSERT_TRUE(ConvertLayout(captured.View(), packed.View()));
            ASSERT_TRUE(ConvertLayout(packed.View(), wide.View()));
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < width; ++x) {
                    ASSERT_EQ(packed.Get(x, y), captured.Get(x, y) & 0xFFFFFFu) << x << "," << y;
                    ASSERT_EQ(wide.Get(x, y), captured.Get(x, y) & 0xFFFFFFu) << x << "," << y;
                }
            EXPECT_TRUE(packed.PaddingIntact());
            EXPECT_TRUE(wide.PaddingIntact());
        }
}

// The mirrored packing over the same widths: pixel x lands at width - 1 - x.
TEST(Layout, PackingMirroredReversesEachRow) {
    for (int width = 1; width < 20; ++width)
        for (bool bottomUp : {false, true}) {
            SCOPED_TRACE(::testing::Message() << width << (bottomUp ? " bottom-up" : ""));
            TestPicture captured(width, 3, 4, bottomUp), packed(width, 3, 3);
            captured.FillPattern(static_cast<std::uint32_t>(width));
            ASSERT_TRUE(PackMirrored(captured.View(), packed.View()));
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < width; ++x)
                    ASSERT_EQ(packed.Get(width - 1 - x, y), captured.Get(x, y) & 0xFFFFFFu)
                        << x << "," << y;
            EXPECT_TRUE(packed.PaddingIntact());
        }
    TestPicture captured(4, 3, 4), packed(4, 3, 3), wide(4, 3, 4), narrow(3, 3, 3);
    EXPECT_FALSE(PackMirrored(packed.View(), wide.View()));
    EXPECT_FALSE(PackMirrored(captured.View(), wide.View()));
    EXPECT_FALSE(PackMirrored(captured.View(), narrow.View()));
    EXPECT_EQ(wide.Get(0, 0), 0xA5A5A5A5u);
    EXPECT_EQ(narrow.Get(0, 0), 0xA5A5A5u);
}

TEST(Layout, EqualLayoutsCopyAndMisfitsAreRefused) {
    for (int bytes : {3, 4}) {
        TestPicture source(7, 3, bytes), target(7, 3, bytes, true);
        source.FillPattern(5);
        ASSERT_TRUE(ConvertLayout(source.View(), target.View()));
        EXPECT_TRUE(target.SamePixels(source));
        EXPECT_TRUE(target.PaddingIntact());
    }
    TestPicture source(4, 3, 4), narrow(3, 3, 3), oddLayout(4, 3, 2);
    EXPECT_FALSE(ConvertLayout(source.View(), narrow.View()));
    EXPECT_FALSE(ConvertLayout(oddLayout.View(), source.View()));
    EXPECT_EQ(narrow.Get(0, 0), 0xA5A5A5u);
}

// A picture tall enough for several bands (each about 16 KiB of target pixels).
constexpr int kWide = 1000, kTall = 100;

TEST(LayoutInBands, ConvertsEachBandBeforeItsWorkFromTheTopDown) {
    TestPicture source(kWide, kTall, 3), target(kWide, kTall, 4, true);
    source.FillPattern(12);
    int next = 0, bands = 0;
    EXPECT_FALSE(ConvertLayoutInBands(source.View(), target.View(), [&](int first, int end) {
        EXPECT_EQ(first, next);
        for (int y = 0; y < kTall; ++y)  // converted down to the band's end, untouched below
            EXPECT_EQ(target.Get(kWide - 1, y) == source.Get(kWide - 1, y), y < end) << y;
        next = end;
        return ++bands < 3;  // the third band stops the work
    }));
    EXPECT_EQ(bands, 3);
    EXPECT_LT(next, kTall);
    EXPECT_EQ(target.Get(0, kTall - 1), 0xA5A5A5A5u);
}

TEST(LayoutInBands, APictureAlreadyInTheLayoutOnlyGetsTheWork) {
    TestPicture picture(kWide, kTall, 4), narrow(kWide - 1, kTall, 3);
    picture.FillPattern(3);
    const TestPicture before = picture;
    int rows = 0;
    const auto count = [&](int first, int end) {
        rows += end - first;
        return true;
    };
    ASSERT_TRUE(ConvertLayoutInBands(picture.View(), picture.View(), count));
    EXPECT_EQ(rows, kTall);
    EXPECT_TRUE(picture.SamePixels(before));
    EXPECT_FALSE(ConvertLayoutInBands(picture.View(), narrow.View(), count));
    EXPECT_EQ(rows, kTall);
}

}  // namespace
}  // namespace glimra
