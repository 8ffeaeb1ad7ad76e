#include "imaging/rotation.h"

#include <gtest/gtest.h>

#include "testing/imaging/test_picture.h"

namespace glimra {
namespace {

using test::TestPicture;

struct Point {
    int x = 0;
    int y = 0;
};

// Rotates `source` by `quarters` quarter turns, as the commands do, into rows with
// `padding` bytes after them.
TestPicture Rotated(TestPicture& source, int quarters, int padding = TestPicture::kPadding) {
    const Size size = RotatedSize(source.Width(), source.Height(), quarters);
    TestPicture target(size.width, size.height, source.View().bytesPerPixel, false, padding);
    EXPECT_TRUE(Rotate(source.View(), quarters, target.View()));
    EXPECT_TRUE(target.PaddingIntact());
    return target;
}

TEST(Rotation, QuarterTurnsPlaceEveryPixelExactly) {
    struct Turn {
        int quarters;
        Point (*place)(int x, int y, int w, int h);  // where source pixel (x, y) lands
    };
    const Turn turns[] = {
        {0,
         [](int x, int y, int, int) {
             return Point{x, y};
         }},
        {1,
         [](int x, int y, int, int h) {
             return Point{h - 1 - y, x};
         }},
        {2,
         [](int x, int y, int w, int h) {
             return Point{w - 1 - x, h - 1 - y};
         }},
        {3,
         [](int x, int y, int w, int) {
             return Point{y, w - 1 - x};
         }},
    };
    // The large ones are turned in bands, shared among the processors, and are not
    // a whole number of tiles or blocks. The targets of a quarter turn without
    // padding have 16-byte aligned rows of 32-bit pixels (the height is divisible
    // by four), which are written past the caches.
    const struct {
        int w, h, padding;
    } sizes[] = {{4, 3, TestPicture::kPadding},
                 {5, 3, TestPicture::kPadding},
                 {3, 5, TestPicture::kPadding},
                 {1, 6, TestPicture::kPadding},
                 {1, 1, TestPicture::kPadding},
                 {37, 21, TestPicture::kPadding},
                 {1283, 821, TestPicture::kPadding},
                 {37, 24, 0},
                 {1283, 824, 0}};
    for (const Turn& turn : turns)
        for (const auto& [w, h, padding] : sizes)
            for (int bytes : {3, 4}) {
                SCOPED_TRACE(::testing::Message() << turn.quarters << " " << w << "x" << h << " "
                                                  << bytes << " bytes, padding " << padding);
                TestPicture source(w, h, bytes, true);
                source.FillPattern(static_cast<std::uint32_t>(w * h));
                const TestPicture target = Rotated(source, turn.quarters, padding);
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
        picture = Rotated(picture, 1);
    EXPECT_TRUE(picture.SamePixels(original));
    for (int i = 0; i < 2; ++i)
        picture = Rotated(picture, 2);
    EXPECT_TRUE(picture.SamePixels(original));
}

TEST(Rotation, QuarterTurnsFromOtherCounts) {
    TestPicture source(5, 3, 3);
    source.FillPattern(3);
    const TestPicture exact = Rotated(source, 1);
    // After whole turns, three quarters backwards.
    for (int quarters : {5, 9, -3})
        EXPECT_TRUE(Rotated(source, quarters).SamePixels(exact)) << quarters;
    EXPECT_TRUE(Rotated(source, -2).SamePixels(Rotated(source, 2)));
}

TEST(Rotation, SizesAndRefusals) {
    EXPECT_EQ(RotatedSize(40, 30, 1), (Size{30, 40}));
    EXPECT_EQ(RotatedSize(40, 30, 2), (Size{40, 30}));
    EXPECT_EQ(RotatedSize(0, 3, 2), Size{});
    EXPECT_EQ(RotatedSize(4, -3, 1), Size{});
    TestPicture source(4, 3, 4), unturned(4, 3, 4), packed(3, 4, 3);
    EXPECT_FALSE(Rotate(source.View(), 1, unturned.View()));
    EXPECT_FALSE(Rotate(source.View(), 1, packed.View()));
    EXPECT_EQ(unturned.Get(0, 0), 0xA5A5A5A5u);
}

}  // namespace
}  // namespace glimra
