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

// Rotates `source` by `angle` about its centre (size div 2) over white, as the commands do.
TestPicture Rotated(TestPicture& source, long double angle) {
    const Point centre{source.Width() / 2, source.Height() / 2};
    const Size size = RotatedSize(source.Width(), source.Height(), centre, angle);
    TestPicture target(size.width, size.height, source.View().bytesPerPixel);
    EXPECT_TRUE(Rotate(source.View(), centre, kWhite, angle, target.View()));
    EXPECT_TRUE(target.PaddingIntact());
    return target;
}

TEST(Rotation, QuarterTurnsPlaceEveryPixelExactly) {
    struct Turn {
        long double angle;
        Point (*place)(int x, int y, int w, int h);  // where source pixel (x, y) lands
    };
    const Turn turns[] = {
        {0,
         [](int x, int y, int, int) {
             return Point{x, y};
         }},
        {kPi / 2,
         [](int x, int y, int, int h) {
             return Point{h - 1 - y, x};
         }},
        {kPi,
         [](int x, int y, int w, int h) {
             return Point{w - 1 - x, h - 1 - y};
         }},
        {3 * kPi / 2,
         [](int x, int y, int w, int) {
             return Point{y, w - 1 - x};
         }},
    };
    const int sizes[][2] = {{4, 3}, {5, 3}, {3, 5}, {1, 6}, {1, 1}, {37, 21}};
    for (const Turn& turn : turns)
        for (const auto& [w, h] : sizes)
            for (int bytes : {3, 4}) {
                SCOPED_TRACE(::testing::Message() << static_cast<double>(turn.angle) << " " << w
                                                  << "x" << h << " " << bytes << " bytes");
                TestPicture source(w, h, bytes, true);
                source.FillPattern(static_cast<std::uint32_t>(w * h));
                const TestPicture target = Rotated(source, turn.angle);
                const Point corner = turn.place(w - 1, h - 1, w, h),
                            origin = turn.place(0, 0, w, h);
                ASSERT_EQ(target.Width(), std::max(corner.x, origin.x) + 1);
                ASSERT_EQ(target.Height(), std::max(corner.y, origin.y) + 1);
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        const Point p = turn.place(x, y, w, h);
                        ASSERT_EQ(target.Get(p.x, p.y), source.Get(x, y)) << x << "," << y;
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

TEST(Rotation, QuarterTurnsFromOtherAngleValues) {
    TestPicture source(5, 3, 3);
    source.FillPattern(3);
    const TestPicture exact = Rotated(source, kPi / 2);
    // pi / 2 as a double, after whole turns, three quarters backwards; a huge angle ends.
    for (long double angle :
         {static_cast<long double>(std::numbers::pi / 2), kPi / 2 + 4 * kPi, -3 * kPi / 2})
        EXPECT_TRUE(Rotated(source, angle).SamePixels(exact)) << static_cast<double>(angle);
    EXPECT_GT(Rotated(source, 1e30L).Width(), 0);
}

// At another angle the target is the turned picture's bounding box, its corners and
// nothing inside the turned picture show the background, every pixel lies where its
// top-left corner turns to (within rounding), and few source pixels get lost (forward
// mapping loses some wherever two land on one target pixel).
TEST(Rotation, OtherAnglesTurnThePixelsOverTheBackground) {
    const int w = 21, h = 13;
    for (long double angle : {kPi / 6, 2 * kPi / 3, 5 * kPi / 4, 7 * kPi / 4}) {
        SCOPED_TRACE(static_cast<double>(angle));
        TestPicture source(w, h, 4);
        std::map<std::uint32_t, Point> origin;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                source.Set(x, y, static_cast<std::uint32_t>(y * w + x + 1) << 4);
                origin[source.Get(x, y)] = {x, y};
            }
        const TestPicture target = Rotated(source, angle);
        const double c = std::cos(static_cast<double>(angle)),
                     s = std::sin(static_cast<double>(angle));
        EXPECT_NEAR(target.Width(), w * std::fabs(c) + h * std::fabs(s), 1.01);
        EXPECT_NEAR(target.Height(), w * std::fabs(s) + h * std::fabs(c), 1.01);
        EXPECT_EQ(target.Get(0, 0), 0xFFFFFFu);  // white with a zero fourth byte
        EXPECT_EQ(target.Get(target.Width() - 1, target.Height() - 1), 0xFFFFFFu);
        const double left = std::min({0.0, w * c, -h * s, w * c - h * s});
        const double top = std::min({0.0, w * s, h * c, w * s + h * c});
        std::map<std::uint32_t, int> seen;
        for (int ty = 0; ty < target.Height(); ++ty)
            for (int tx = 0; tx < target.Width(); ++tx) {
                const std::uint32_t colour = target.Get(tx, ty);
                if (colour == 0xFFFFFFu) {  // turned back, the pixel's centre is off the picture
                    const double bx = tx + 0.5 + left, by = ty + 0.5 + top;
                    const double sx = bx * c + by * s, sy = -bx * s + by * c;
                    EXPECT_FALSE(2 <= sx && sx <= w - 2 && 2 <= sy && sy <= h - 2)
                        << tx << "," << ty;
                    continue;
                }
                ASSERT_TRUE(origin.count(colour)) << tx << "," << ty;
                const Point p = origin[colour];
                EXPECT_NEAR(tx, p.x * c - p.y * s - left, 2.0);
                EXPECT_NEAR(ty, p.x * s + p.y * c - top, 2.0);
                ++seen[colour];
            }
        EXPECT_GE(seen.size(), origin.size() * 4 / 5);
    }
}

TEST(Rotation, SizesForACentreOutsideAndRefusals) {
    const Size inside = RotatedSize(40, 30, {20, 15}, kPi / 5);
    const Size outside = RotatedSize(40, 30, {-100, 500}, kPi / 5);
    EXPECT_NEAR(outside.width, inside.width, 1);
    EXPECT_NEAR(outside.height, inside.height, 1);
    EXPECT_EQ(RotatedSize(4, 3, {2, 1}, NAN), Size{});
    EXPECT_EQ(RotatedSize(0, 3, {0, 1}, kPi), Size{});
    TestPicture source(4, 3, 4), unturned(4, 3, 4), packed(3, 4, 3);
    EXPECT_FALSE(Rotate(source.View(), {2, 1}, kWhite, kPi / 2, unturned.View()));
    EXPECT_FALSE(Rotate(source.View(), {2, 1}, kWhite, kPi / 2, packed.View()));
    EXPECT_EQ(unturned.Get(0, 0), 0xA5A5A5A5u);
}

}  // namespace
}  // namespace glimra
