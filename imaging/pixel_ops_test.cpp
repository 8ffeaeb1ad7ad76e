#include "imaging/pixel_ops.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "imaging/test_picture.h"

namespace glimra {
namespace {

using test::TestPicture;

std::uint32_t Bgr(int red, int green, int blue) {
    return static_cast<std::uint32_t>(red << 16 | green << 8 | blue);
}

std::uint32_t Gray(int value, std::uint32_t fourth = 0) {
    return fourth << 24 | Bgr(value, value, value);
}

TEST(Grayscale, PureColoursWhiteAndBlack) {
    const std::pair<std::uint32_t, int> cases[] = {
        {Bgr(255, 0, 0), 76},  // 76.5 rounds to even
        {Bgr(0, 255, 0), 150}, {Bgr(0, 0, 255), 28}, {Bgr(255, 255, 255), 255}, {Bgr(0, 0, 0), 0},
    };
    TestPicture picture(5, 1, 4, true);
    for (int x = 0; x < 5; ++x)
        picture.Set(x, 0, cases[x].first | (0x10u + x) << 24);
    ASSERT_TRUE(Grayscale(picture.View()));
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(picture.Get(x, 0), Gray(cases[x].second, 0x10u + x));
    EXPECT_TRUE(picture.PaddingIntact());
}

TEST(Grayscale, IsIdempotentAndTouchesNoPadding) {
    TestPicture picture(131, 9, 4);  // runs of 64 pixels and a remainder
    picture.FillPattern(7);
    ASSERT_TRUE(Grayscale(picture.View()));
    TestPicture once = picture;
    ASSERT_TRUE(Grayscale(picture.View()));
    EXPECT_TRUE(picture.SamePixels(once));
    EXPECT_TRUE(picture.PaddingIntact());
}

TEST(Grayscale, RefusesATwentyFourBitView) {
    TestPicture picture(3, 2, 3);
    picture.FillPattern(3);
    const TestPicture before = picture;
    EXPECT_FALSE(Grayscale(picture.View()));
    EXPECT_TRUE(picture.SamePixels(before));
}

// The step as defined: v - (v * step) / 255 with C++'s truncating division, clamped.
int SteppedByDefinition(int v, int step) {
    return std::clamp(v - v * step / 255, 0, 255);
}

TEST(Brightness, BoundaryValues) {
    const int values[] = {0, 25, 26, 245, 246, 255};
    const int brightened[] = {0, 25, 27, 254, 255, 255};
    const int darkened[] = {0, 25, 25, 236, 237, 245};
    for (auto [step, expected] : {std::pair{kBrightenStep, brightened}, {kDarkenStep, darkened}}) {
        TestPicture picture(2, 1, 3);  // six channel bytes, all treated alike
        PixelView view = picture.View();
        for (int i = 0; i < 6; ++i)
            view.data[i] = static_cast<std::uint8_t>(values[i]);
        ASSERT_TRUE(StepBrightness(view, step));
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(view.data[i], expected[i]) << step << " " << values[i];
        EXPECT_TRUE(picture.PaddingIntact());
    }
}

TEST(Brightness, EveryValueAndStepAsDefined) {
    for (int step = -255; step <= 255; ++step) {
        TestPicture picture(86, 2, 3, true);  // 258 channel bytes per row: every value
        PixelView view = picture.View();
        for (int y = 0; y < 2; ++y)
            for (int i = 0; i < 256; ++i)
                view.Row(y)[i] = static_cast<std::uint8_t>(i);
        ASSERT_TRUE(StepBrightness(view, step));
        for (int y = 0; y < 2; ++y)
            for (int i = 0; i < 256; ++i)
                ASSERT_EQ(view.Row(y)[i], SteppedByDefinition(i, step)) << "step " << step;
        ASSERT_TRUE(picture.PaddingIntact());
    }
}

TEST(Brightness, RefusesOtherLayoutsAndSteps) {
    TestPicture wide(2, 2, 4), packed(2, 2, 3);
    EXPECT_FALSE(StepBrightness(wide.View(), kBrightenStep));
    EXPECT_FALSE(StepBrightness(packed.View(), 256));
    EXPECT_FALSE(StepBrightness(packed.View(), -256));
    EXPECT_EQ(packed.Get(0, 0), 0xA5A5A5u);
}

TEST(Invert, TwiceIsTheIdentity) {
    TestPicture picture(9, 5, 3, true), original(9, 5, 3);
    picture.FillPattern(11);
    original.FillPattern(11);
    ASSERT_TRUE(InvertRows(picture.View(), 0, 5));
    for (int x = 0; x < 9; ++x)
        EXPECT_EQ(picture.Get(x, 2), ~original.Get(x, 2) & 0xFFFFFFu);
    ASSERT_TRUE(InvertRows(picture.View(), 0, 5));
    EXPECT_TRUE(picture.SamePixels(original));
    EXPECT_TRUE(picture.PaddingIntact());
}

TEST(Invert, RowRangeChangesOnlyThoseRows) {
    TestPicture picture(4, 6, 3), original(4, 6, 3);
    picture.FillPattern(2);
    original.FillPattern(2);
    ASSERT_TRUE(InvertRows(picture.View(), 2, 4));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool inverted = y == 2 || y == 3;
            EXPECT_EQ(picture.Get(x, y),
                      inverted ? ~original.Get(x, y) & 0xFFFFFFu : original.Get(x, y));
        }
    EXPECT_FALSE(InvertRows(picture.View(), -1, 2));
    EXPECT_FALSE(InvertRows(picture.View(), 3, 2));
    EXPECT_FALSE(InvertRows(picture.View(), 0, 7));
    TestPicture wide(4, 6, 4);
    EXPECT_FALSE(InvertRows(wide.View(), 0, 6));
}

// A clock that the test moves: every reading advances it by `tick`, and a repaint can
// add its own cost.
struct FakeClock {
    std::chrono::steady_clock::time_point time{};
    std::chrono::steady_clock::duration tick{};
    RepaintPacing Pacing(std::chrono::milliseconds frame) {
        return {frame, [this] { return time += tick; }};
    }
};

struct Repaint {
    int first;
    int end;
};

// Inverts a picture of several bands and records the repaints; each repaint checks that
// the rows above its end are inverted and the rows below are not yet.
std::vector<Repaint> InvertRecording(FakeClock& clock, std::chrono::milliseconds frame,
                                     std::chrono::steady_clock::duration repaintCost) {
    TestPicture picture(1000, 200, 3), original(1000, 200, 3);
    picture.FillPattern(4);
    original.FillPattern(4);
    std::vector<Repaint> repaints;
    const bool done = Invert(
        picture.View(), picture.View(),
        [&](int first, int end) {
            repaints.push_back({first, end});
            for (int y = 0; y < picture.Height(); ++y)
                EXPECT_EQ(picture.Get(0, y) != original.Get(0, y), y < end) << y;
            clock.time += repaintCost;
        },
        clock.Pacing(frame));
    EXPECT_TRUE(done);
    for (int y = 0; y < picture.Height(); ++y)
        EXPECT_EQ(picture.Get(999, y), ~original.Get(999, y) & 0xFFFFFFu);
    return repaints;
}

void ExpectEveryRowRepaintedOnceInOrder(const std::vector<Repaint>& repaints) {
    int next = 0;
    for (const Repaint& r : repaints) {
        EXPECT_EQ(r.first, next);
        EXPECT_GT(r.end, r.first);
        next = r.end;
    }
    EXPECT_EQ(next, 200);
}

TEST(Invert, WithinOneFrameItRepaintsOnceAtTheEnd) {
    FakeClock clock;
    const auto repaints = InvertRecording(clock, std::chrono::milliseconds(16), {});
    ASSERT_EQ(repaints.size(), 1u);
    ExpectEveryRowRepaintedOnceInOrder(repaints);
}

TEST(Invert, RepaintsAtMostOncePerFrameFromTheTopDown) {
    FakeClock clock;
    clock.tick = std::chrono::milliseconds(5);  // every band takes more than a frame
    const auto repaints = InvertRecording(clock, std::chrono::milliseconds(4), {});
    EXPECT_GT(repaints.size(), 3u);
    ExpectEveryRowRepaintedOnceInOrder(repaints);

    FakeClock slow;
    slow.tick = std::chrono::milliseconds(1);
    const auto fewer = InvertRecording(slow, std::chrono::milliseconds(16), {});
    EXPECT_LT(fewer.size(), repaints.size());
    ExpectEveryRowRepaintedOnceInOrder(fewer);
}

TEST(Invert, ARepaintCostlierThanAFrameWaitsForAsMuchPixelWork) {
    FakeClock cheap, costly;
    cheap.tick = costly.tick = std::chrono::milliseconds(2);
    const auto often = InvertRecording(cheap, std::chrono::milliseconds(1), {});
    const auto seldom =
        InvertRecording(costly, std::chrono::milliseconds(1), std::chrono::milliseconds(7));
    ExpectEveryRowRepaintedOnceInOrder(seldom);
    EXPECT_GE(often.size(), 2 * seldom.size());
}

TEST(Invert, BringsAThirtyTwoBitPictureToTwentyFourBits) {
    TestPicture captured(301, 70, 4, true), inverted(301, 70, 3);
    captured.FillPattern(6);
    const TestPicture before = captured;
    std::vector<Repaint> repaints;
    ASSERT_TRUE(Invert(captured.View(), inverted.View(), [&](int first, int end) {
        repaints.push_back({first, end});
    }));
    ASSERT_EQ(repaints.size(), 1u);
    EXPECT_EQ(repaints[0].first, 0);
    EXPECT_EQ(repaints[0].end, 70);
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 301; ++x)
            ASSERT_EQ(inverted.Get(x, y), ~captured.Get(x, y) & 0xFFFFFFu) << x << "," << y;
    EXPECT_TRUE(captured.SamePixels(before));
    EXPECT_TRUE(inverted.PaddingIntact());
}

TEST(Invert, RefusesViewsThatDoNotFit) {
    TestPicture wide(3, 3, 4), narrow(2, 3, 3);
    int calls = 0;
    EXPECT_FALSE(Invert(wide.View(), wide.View(), [&](int, int) { ++calls; }));
    EXPECT_FALSE(Invert(wide.View(), narrow.View(), [&](int, int) { ++calls; }));
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(wide.Get(0, 0), 0xA5A5A5A5u);
    EXPECT_EQ(narrow.Get(0, 0), 0xA5A5A5u);
}

}  // namespace
}  // namespace glimra
