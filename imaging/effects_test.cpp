// The effects' geometry on pictures of irregular colours: where each puts the
// picture and what it adds around it, how the shadow falls off, which alpha the
// corners and the torn edges get, and the blend over a background.
#include "imaging/effects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "testing/imaging/test_picture.h"

namespace {

using glimra::test::TestPicture;

int Alpha(const TestPicture& p, int x, int y) {
    return int(p.Get(x, y) >> 24);
}
std::uint32_t Rgb(const TestPicture& p, int x, int y) {
    return p.Get(x, y) & 0xFFFFFF;
}

TestPicture Target(glimra::EffectSize size) {
    return TestPicture(size.width, size.height, 4, true);
}

// A source in both layouts: the fourth byte is alpha only where the caller says so.
class Effects : public ::testing::TestWithParam<int> {
  protected:
    Effects() : source_(23, 17, GetParam()) { source_.FillPattern(3); }
    TestPicture source_;
};

TEST_P(Effects, BorderSurroundsThePictureInItsColour_TheInsideIsTheSourceOpaque) {
    const auto size = glimra::BorderSize(23, 17, 4);
    ASSERT_EQ(size.width, 31);
    ASSERT_EQ(size.height, 25);
    TestPicture out = Target(size);
    // COLORREF red 0x12, green 0x34, blue 0x56.
    ASSERT_TRUE(glimra::AddBorder(source_.View(), false, 4, 0x563412, out.View()));
    EXPECT_TRUE(out.PaddingIntact());
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 31; ++x) {
            const bool inside = x >= 4 && x < 27 && y >= 4 && y < 21;
            const std::uint32_t expected =
                inside ? (source_.Get(x - 4, y - 4) & 0xFFFFFF) | 0xFF000000 : 0xFF123456;
            ASSERT_EQ(out.Get(x, y), expected) << x << "," << y;
        }
    EXPECT_FALSE(glimra::AddBorder(source_.View(), false, 0, 0, out.View()));
    EXPECT_FALSE(glimra::AddBorder(source_.View(), false, 3, 0, out.View()));  // wrong size
}

TEST_P(Effects, RoundedCornersAreTransparentOutsideTheCircleAndBlendedOnIt_TheRestStays) {
    TestPicture out(23, 17, 4);
    ASSERT_TRUE(glimra::RoundCorners(source_.View(), false, 6, out.View()));
    std::set<int> edgeAlphas;
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 23; ++x) {
            ASSERT_EQ(Rgb(out, x, y), source_.Get(x, y) & 0xFFFFFF);
            // Each corner's pixel is mirrored to the top-left one.
            const int mx = std::min(x, 22 - x), my = std::min(y, 16 - y);
            const double d = std::hypot(6 - (mx + 0.5), 6 - (my + 0.5));
            const int a = Alpha(out, x, y);
            if (mx >= 6 || my >= 6 || d <= 5.5)
                ASSERT_EQ(a, 255) << x << "," << y;
            else if (d >= 6.5)
                ASSERT_EQ(a, 0) << x << "," << y;
            else
                edgeAlphas.insert(a);
            EXPECT_EQ(a, Alpha(out, 22 - x, y));
            EXPECT_EQ(a, Alpha(out, x, 16 - y));
        }
    // The edge is antialiased: several levels between transparent and opaque.
    EXPECT_GE(edgeAlphas.size(), 4u);
    EXPECT_GT(*edgeAlphas.rbegin(), 200);
    EXPECT_LT(*edgeAlphas.begin(), 60);
}

TEST_P(Effects, TornSidesStartTransparentAndReachNoDeeperThanTheDepth_OtherSidesStay) {
    TestPicture out(23, 17, 4);
    ASSERT_TRUE(glimra::TearEdges(source_.View(), false, glimra::kTornTop | glimra::kTornRight, 5,
                                  out.View()));
    std::set<int> depths;
    for (int x = 0; x < 23; ++x) {
        EXPECT_EQ(Alpha(out, x, 0), 0);
        if (x >= 18) continue;  // within the right side's reach
        int depth = 0;          // the first row from the top that is opaque
        while (depth < 17 && Alpha(out, x, depth) < 255)
            ++depth;
        EXPECT_LE(depth, 5);
        depths.insert(depth);
    }
    EXPECT_GE(depths.size(), 3u) << "a straight cut, not a tear";
    for (int y = 0; y < 17; ++y) {
        EXPECT_EQ(Alpha(out, 22, y), 0);
        for (int x = 0; x < 23; ++x) {
            ASSERT_EQ(Rgb(out, x, y), source_.Get(x, y) & 0xFFFFFF);
            if (y >= 5 && x < 18) {
                ASSERT_EQ(Alpha(out, x, y), 255) << x << "," << y;
            }
        }
    }
    // The same tear again: the effect repeats exactly.
    TestPicture again(23, 17, 4);
    ASSERT_TRUE(glimra::TearEdges(source_.View(), false, glimra::kTornTop | glimra::kTornRight, 5,
                                  again.View()));
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 23; ++x)
            ASSERT_EQ(out.Get(x, y), again.Get(x, y));
}

INSTANTIATE_TEST_SUITE_P(Layouts, Effects, ::testing::Values(3, 4));

TEST(Shadow, GrowsToHoldTheShadowWhichFallsOffLinearlyAroundTheOffsetShape) {
    TestPicture source(30, 20, 3);
    source.FillPattern(9);
    const glimra::ShadowSettings shadow{7, 5, 3, 80};
    const auto size = glimra::ShadowSize(30, 20, shadow);
    const auto place = glimra::ShadowPlace(shadow);
    EXPECT_EQ(size.width, 30 + 7 + 3);
    EXPECT_EQ(size.height, 20 + 5 + 3);
    EXPECT_EQ(place.width, 0);
    EXPECT_EQ(place.height, 0);
    TestPicture out = Target(size);
    ASSERT_TRUE(glimra::AddShadow(source.View(), false, shadow, out.View()));
    EXPECT_TRUE(out.PaddingIntact());
    const int full = 204;  // 80 % of 255
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x) {
            if (x < 30 && y < 20) {
                ASSERT_EQ(out.Get(x, y), (source.Get(x, y) & 0xFFFFFF) | 0xFF000000);
                continue;
            }
            ASSERT_EQ(Rgb(out, x, y), 0u) << "the shadow is black";
            // The box's share of the shape: along each axis the pixels of x-3..x+3
            // that fall on the shape at 7..36, 5..24.
            const auto share = [](int v, int from, int to) {
                return std::max(0, std::min(v + 3, to) - std::max(v - 3, from) + 1) / 7.0;
            };
            const double expected = full * share(x, 7, 36) * share(y, 5, 24);
            ASSERT_NEAR(Alpha(out, x, y), expected, 0.51) << x << "," << y;
        }
    // Inside the shadow, beyond the softness from its edges, it is at full opacity;
    // past it nothing.
    EXPECT_EQ(Alpha(out, 33, 21), full);
    EXPECT_EQ(Alpha(out, 39, 27), int(std::lround(full / 49.0)));
    EXPECT_EQ(Alpha(out, 3, 21), 0);
}

TEST(Shadow, UpAndLeftMovesThePicture_AShapeWithAlphaCastsItsOwnShadow) {
    // A 4 x 4 picture whose left half is transparent and right half opaque.
    TestPicture source(4, 4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            source.Set(x, y, x < 2 ? 0x00FFFFFF : 0xFF00FF00);
    const glimra::ShadowSettings shadow{-2, -1, 0, 100};
    const auto place = glimra::ShadowPlace(shadow);
    EXPECT_EQ(place.width, 2);
    EXPECT_EQ(place.height, 1);
    TestPicture out = Target(glimra::ShadowSize(4, 4, shadow));
    ASSERT_EQ(out.Width(), 6);
    ASSERT_EQ(out.Height(), 5);
    ASSERT_TRUE(glimra::AddShadow(source.View(), true, shadow, out.View()));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool picture = x >= 4 && y >= 1;        // the opaque half
            const bool shade = x >= 2 && x < 4 && y < 4;  // its shadow, 2 left and 1 up
            const std::uint32_t expected = picture ? 0xFF00FF00 : shade ? 0xFF000000 : 0;
            EXPECT_EQ(out.Get(x, y), expected) << x << "," << y;
        }
}

TEST(BlendOver, TransparentGivesTheBackgroundOpaqueThePixelAndHalfwayTheMiddle) {
    TestPicture picture(3, 1, 4);
    picture.Set(0, 0, 0x00102030);
    picture.Set(1, 0, 0xFF102030);
    picture.Set(2, 0, 0x80FF0000);  // red at about half
    TestPicture out(3, 1, 3);
    ASSERT_TRUE(glimra::BlendOver(picture.View(), 0x00FF00FF /* magenta */, out.View()));
    EXPECT_EQ(out.Get(0, 0), 0xFF00FFu);
    EXPECT_EQ(out.Get(1, 0), 0x102030u);
    EXPECT_EQ(out.Get(2, 0), TestPicture::Colour(255, 0, 127));
    // In place, a 32-bit picture becomes opaque.
    ASSERT_TRUE(glimra::BlendOver(picture.View(), 0x00FFFFFF, picture.View()));
    EXPECT_EQ(picture.Get(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(picture.Get(1, 0), 0xFF102030u);
}

}  // namespace
