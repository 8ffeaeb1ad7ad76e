#include "imaging/pixel_ops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "testing/imaging/test_picture.h"

namespace glimra {
namespace {

using test::TestPicture;

std::uint32_t Gray(int value, std::uint32_t fourth) {
    return fourth << 24 | 0x010101u * static_cast<std::uint32_t>(value);
}

TEST(Grayscale, PureColoursWhiteAndBlackKeepingTheFourthByte) {
    const std::pair<std::uint32_t, int> cases[] = {{0xFF0000, 76},  // red: 76.5 rounds to even
                                                   {0x00FF00, 150},
                                                   {0x0000FF, 28},
                                                   {0xFFFFFF, 255},
                                                   {0x000000, 0}};
    TestPicture picture(5, 1, 4, true);
    for (int x = 0; x < 5; ++x)
        picture.Set(x, 0, cases[x].first | (0x10u + x) << 24);
    ASSERT_TRUE(Grayscale(picture.View()));
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(picture.Get(x, 0), Gray(cases[x].second, 0x10u + x));
    EXPECT_TRUE(picture.PaddingIntact());
}

TEST(Grayscale, IsIdempotent) {
    TestPicture picture(131, 9, 4);  // blocks of eight pixels and a remainder
    picture.FillPattern(7);
    ASSERT_TRUE(Grayscale(picture.View()));
    const TestPicture once = picture;
    ASSERT_TRUE(Grayscale(picture.View()));
    EXPECT_TRUE(picture.SamePixels(once));
    EXPECT_TRUE(picture.PaddingIntact());
}

TEST(Brightness, BoundaryValues) {
    const int values[] = {0, 25, 26, 245, 246, 255};
    const int brightened[] = {0, 25, 27, 254, 255, 255};
    const int darkened[] = {0, 25, 25, 236, 237, 245};
    for (auto [step, expected] : {std::pair{kBrightenStep, brightened}, {kDarkenStep, darkened}}) {
        TestPicture picture(2, 1, 3);  // six channel bytes, all treated alike
        const PixelView view = picture.View();
        for (int i = 0; i < 6; ++i)
            view.data[i] = static_cast<std::uint8_t>(values[i]);
        ASSERT_TRUE(StepBrightness(view, step));
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(view.data[i], expected[i]) << step << " " << values[i];
        EXPECT_TRUE(picture.PaddingIntact());
    }
}

// Every byte value under every step, against v - (v * step) / 255 with C++'s truncating
// division, clamped.
TEST(Brightness, EveryValueAndStep) {
    for (int step = -255; step <= 255; ++step) {
        TestPicture picture(86, 1, 3);  // 258 channel bytes: every value and a partial block
        const PixelView view = picture.View();
        for (int i = 0; i < 256; ++i)
            view.data[i] = static_cast<std::uint8_t>(i);
        ASSERT_TRUE(StepBrightness(view, step));
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(view.data[i], std::clamp(i - i * step / 255, 0, 255)) << "step " << step;
        ASSERT_TRUE(picture.PaddingIntact());
    }
}

TEST(PixelOps, RefuseOtherLayoutsAndArguments) {
    TestPicture packed(3, 2, 3), wide(3, 2, 4);
    EXPECT_FALSE(Grayscale(packed.View()));
    EXPECT_FALSE(StepBrightness(wide.View(), kBrightenStep));
    EXPECT_FALSE(StepBrightness(packed.View(), 256));
    EXPECT_FALSE(InvertRows(wide.View(), 0, 2));
    EXPECT_FALSE(InvertRows(packed.View(), 1, 3));
    EXPECT_FALSE(Invert(wide.View(), wide.View(), [](int, int) { FAIL(); }));
    EXPECT_EQ(packed.Get(0, 0), 0xA5A5A5u);
    EXPECT_EQ(wide.Get(0, 0), 0xA5A5A5A5u);
}

TEST(Invert, TwiceIsTheIdentityAndARowRangeChangesOnlyItsRows) {
    TestPicture picture(9, 6, 3, true), original(9, 6, 3);
    picture.FillPattern(11);
    original.FillPattern(11);
    ASSERT_TRUE(InvertRows(picture.View(), 2, 4));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(picture.Get(x, y),
                      (y == 2 || y == 3) ? ~original.Get(x, y) & 0xFFFFFFu : original.Get(x, y));
    ASSERT_TRUE(InvertRows(picture.View(), 2, 4));
    EXPECT_TRUE(picture.SamePixels(original));
    EXPECT_TRUE(picture.PaddingIntact());
}

// A clock that the test moves: every reading advances it by `tick`; a repaint adds
// `repaintCost`. Inverts a picture of several bands from its 32-bit capture and records
// the repaints; each checks that the rows above its end are final and the rest not yet.
struct PacedInvert {
    std::chrono::milliseconds tick, frame, repaintCost;
    std::vector<std::pair<int, int>> repaints = {};

    void Run() {
        TestPicture captured(1000, 200, 4), picture(1000, 200, 3);
        captured.FillPattern(4);
        std::chrono::steady_clock::time_point time{};
        const RepaintPacing pacing{frame, [&] { return time += tick; }};
        ASSERT_TRUE(Invert(
            captured.View(), picture.View(),
            [&](int first, int end) {
                repaints.emplace_back(first, end);
                for (int y = 0; y < 200; ++y)
                    ASSERT_EQ(picture.Get(7, y) == (~captured.Get(7, y) & 0xFFFFFFu), y < end);
                time += repaintCost;
            },
            pacing));
        int next = 0;  // every row repainted once, from the top down
        for (auto [first, end] : repaints) {
            EXPECT_EQ(first, next);
            EXPECT_GT(end, first);
            next = end;
        }
        EXPECT_EQ(next, 200);
    }
};

TEST(Invert, RepaintsAtMostOncePerFrameAndNeverMoreThanThePixelWork) {
    using std::chrono::milliseconds;
    PacedInvert quick{milliseconds(0), milliseconds(16), milliseconds(0)};
    quick.Run();
    EXPECT_EQ(quick.repaints.size(), 1u);  // all within one frame: one repaint at the end

    PacedInvert slow{milliseconds(5), milliseconds(4), milliseconds(0)};
    slow.Run();
    EXPECT_GT(slow.repaints.size(), 3u);  // every band takes more than a frame

    PacedInvert costly{milliseconds(5), milliseconds(4), milliseconds(20)};
    costly.Run();  // a repaint of 20 ms waits for as much pixel work
    EXPECT_LE(costly.repaints.size(), slow.repaints.size() / 2);
}

}  // namespace
}  // namespace glimra
