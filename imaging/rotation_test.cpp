#include "imaging/rotation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>

#include "imaging/test_picture.h"

namespace glimra {
namespace {

using test::TestPicture;

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr Colour kWhite{255, 255, 255};

Point CentreOf(const TestPicture& p) {
    return {p.Width() / 2, p.Height() / 2};
}

// Rotates `source` by `angle` about its centre over white into a fresh picture.
TestPicture Rotated(TestPicture& source, long double angle, int bytesPerPixel = 0) {
    const Size size = RotatedSize(source.Width(), source.Height(), CentreOf(source), angle);
    const int bytes = bytesPerPixel ? bytesPerPixel : source.View().bytesPerPixel;
    TestPicture target(size.width, size.height, bytes);
    EXPECT_TRUE(Rotate(source.View(), CentreOf(source), kWhite, angle, target.View()));
    EXPECT_TRUE(target.PaddingIntact());
    return target;
}

struct QuarterTurnCase {
    const char* name;
    long double angle;
    bool swapsSize;
    // Where source pixel (x, y) of a w x h picture lands.
    Point (*place)(int x, int y, int w, int h);
};

const QuarterTurnCase kQuarterTurns[] = {
    {"0", 0, false,
     [](int x, int y, int, int) {
         return Point{x, y};
     }},
    {"90", kPi / 2, true,
     [](int x, int y, int, int h) {
         return Point{h - 1 - y, x};
     }},
    {"180", kPi, false,
     [](int x, int y, int w, int h) {
         return Point{w - 1 - x, h - 1 - y};
     }},
    {"270", 3 * kPi / 2, true,
     [](int x, int y, int w, int) {
         return Point{y, w - 1 - x};
     }},
};

TEST(Rotation, QuarterTurnsPlaceEveryPixelExactly) {
    const int sizes[][2] = {{4, 3}, {5, 3}, {3, 5}, {7, 7}, {1, 6}, {1, 1}, {37, 21}};
    for (const auto& turn : kQuarterTurns)
        for (const auto& [w, h] : sizes)
            for (int bytes : {3, 4}) {
                SCOPED_TRACE(::testing::Message()
                             << turn.name << " " << w << "x" << h << " " << bytes << " bytes");
                TestPicture source(w, h, bytes, true);
                source.FillPattern(static_cast<std::uint32_t>(w * h));
                const TestPicture target = Rotated(source, turn.angle);
                ASSERT_EQ(target.Width(), turn.swapsSize ? h : w);
                ASSERT_EQ(target.Height(), turn.swapsSize ? w : h);
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        const Point p = turn.place(x, y, w, h);
                        EXPECT_EQ(target.Get(p.x, p.y), source.Get(x, y)) << x << "," << y;
                    }
            }
}

TEST(Rotation, RoundTripsGiveBackTheOriginal) {
    TestPicture original(37, 21, 4);  // more than one tile each way, odd sizes
    original.FillPattern(8);
    TestPicture picture = original;
    for (int i = 0; i < 4; ++i)
        picture = Rotated(picture, kPi / 2);
    EXPECT_TRUE(picture.SamePixels(original));
    for (int i = 0; i < 2; ++i)
        picture = Rotated(picture, kPi);
    EXPECT_TRUE(picture.SamePixels(original));
}

TEST(Rotation, QuarterTurnAnglesFromOtherSources) {
    TestPicture source(5, 3, 3);
    source.FillPattern(3);
    const TestPicture exact = Rotated(source, kPi / 2);
    // pi / 2 as a double, after whole turns, and three quarters backwards.
    for (long double angle :
         {static_cast<long double>(std::numbers::pi / 2), kPi / 2 + 4 * kPi, -3 * kPi / 2})
        EXPECT_TRUE(Rotated(source, angle).SamePixels(exact)) << static_cast<double>(angle);
    EXPECT_TRUE(Rotated(source, -kPi / 2).SamePixels(Rotated(source, 3 * kPi / 2)));
}

// At another angle every pixel lies on the turned picture within rounding, the target
// is the turned picture's bounding box, its corners show the background, no background
// shows inside the turned picture, and few source pixels get lost (forward mapping
// loses some wherever two land on one target pixel).
TEST(Rotation, OtherAnglesTurnThePixelsOverTheBackground) {
    for (long double angle : {kPi / 6, 2 * kPi / 3, 5 * kPi / 4, 7 * kPi / 4}) {
        SCOPED_TRACE(static_cast<double>(angle));
        TestPicture source(21, 13, 4);
        std::map<std::uint32_t, Point> origin;
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 21; ++x) {
                const std::uint32_t colour = static_cast<std::uint32_t>(y * 21 + x + 1) << 4;
                source.Set(x, y, colour);
                origin[colour] = {x, y};
            }
        const TestPicture target = Rotated(source, angle);
        const double c = std::cos(static_cast<double>(angle)),
                     s = std::sin(static_cast<double>(angle));
        EXPECT_NEAR(target.Width(), 21 * std::fabs(c) + 13 * std::fabs(s), 1.01);
        EXPECT_NEAR(target.Height(), 21 * std::fabs(s) + 13 * std::fabs(c), 1.01);
        for (auto [x, y] :
             {Point{0, 0}, Point{target.Width() - 1, 0}, Point{0, target.Height() - 1},
              Point{target.Width() - 1, target.Height() - 1}})
            EXPECT_EQ(target.Get(x, y), 0xFFFFFFu);  // a zero fourth byte
        // Turned top-left corners, relative to the top-left of the turned picture's box.
        const double left = std::min({0.0, 21 * c, -13 * s, 21 * c - 13 * s});
        const double top = std::min({0.0, 21 * s, 13 * c, 21 * s + 13 * c});
        std::map<std::uint32_t, int> seen;
        int holes = 0;
        for (int ty = 0; ty < target.Height(); ++ty)
            for (int tx = 0; tx < target.Width(); ++tx) {
                const std::uint32_t colour = target.Get(tx, ty);
                // Where the pixel's centre lies on the source, turned back.
                const double bx = tx + 0.5 + left, by = ty + 0.5 + top;
                const double sx = bx * c + by * s, sy = -bx * s + by * c;
                const bool inside = 2 <= sx && sx <= 19 && 2 <= sy && sy <= 11;
                if (colour == 0xFFFFFFu) {
                    holes += inside;
                    continue;
                }
                ASSERT_TRUE(origin.count(colour)) << tx << "," << ty;
                const Point p = origin[colour];
                EXPECT_NEAR(tx, p.x * c - p.y * s - left, 2.0);
                EXPECT_NEAR(ty, p.x * s + p.y * c - top, 2.0);
                ++seen[colour];
            }
        EXPECT_EQ(holes, 0);
        EXPECT_GE(seen.size(), origin.size() * 4 / 5);
    }
}

TEST(Rotation, TargetSizeHoldsForACentreOutsideThePicture) {
    const Size inside = RotatedSize(40, 30, {20, 15}, kPi / 5);
    const Size outside = RotatedSize(40, 30, {-100, 500}, kPi / 5);
    EXPECT_NEAR(outside.width, inside.width, 1);
    EXPECT_NEAR(outside.height, inside.height, 1);
}

TEST(Rotation, RefusesWhatDoesNotFit) {
    TestPicture source(4, 3, 4);
    EXPECT_EQ(RotatedSize(4, 3, {2, 1}, NAN), Size{});
    EXPECT_EQ(RotatedSize(4, 3, {2, 1}, INFINITY), Size{});
    EXPECT_EQ(RotatedSize(0, 3, {0, 1}, kPi), Size{});
    TestPicture unturned(4, 3, 4), packed(3, 4, 3), turned(3, 4, 4);
    EXPECT_FALSE(Rotate(source.View(), {2, 1}, kWhite, kPi / 2, unturned.View()));
    EXPECT_FALSE(Rotate(source.View(), {2, 1}, kWhite, kPi / 2, packed.View()));
    EXPECT_FALSE(Rotate(source.View(), {2, 1}, kWhite, NAN, turned.View()));
    EXPECT_EQ(unturned.Get(0, 0), 0xA5A5A5A5u);
    EXPECT_EQ(turned.Get(0, 0), 0xA5A5A5A5u);
}

TEST(Rotation, AHugeAngleEndsAtOnce) {
    TestPicture source(3, 2, 3);
    source.FillPattern(1);
    const Size size = RotatedSize(3, 2, {1, 1}, 1e30L);
    EXPECT_GT(size.width, 0);
    TestPicture target(size.width, size.height, 3);
    EXPECT_TRUE(Rotate(source.View(), {1, 1}, kWhite, 1e30L, target.View()));
}

}  // namespace
}  // namespace glimra
