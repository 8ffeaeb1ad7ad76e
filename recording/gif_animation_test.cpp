#include "recording/gif_animation.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "output/save_error.h"
#include "testing/imaging/test_picture.h"
#include "testing/output/decoders.h"
#include "testing/recording/decoded_animation.h"

namespace glimra {
namespace {

using test::TestPicture;

constexpr std::uint32_t kPaper = 0xFDFDF6, kInk = 0x202020;

struct Shot {
    TestPicture picture;
    std::int64_t time;
};

std::vector<std::uint8_t> Encode(std::vector<Shot>& shots, std::int64_t end) {
    VectorSink sink;
    GifAnimation animation(sink, shots.front().picture.Width(), shots.front().picture.Height());
    for (Shot& shot : shots)
        animation.Add(shot.picture.View(), shot.time);
    animation.Finish(end);
    return sink.Bytes();
}

std::uint32_t Pixel(const test::DecodedFrame& frame, int width, int x, int y) {
    return frame.pixels[static_cast<std::size_t>(y) * width + x];
}

testing::AssertionResult Shows(const test::DecodedFrame& frame, const TestPicture& picture) {
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (Pixel(frame, picture.Width(), x, y) != (picture.Get(x, y) & 0xFFFFFF))
                return testing::AssertionFailure()
                       << "pixel " << x << ", " << y << " shows " << std::hex
                       << Pixel(frame, picture.Width(), x, y) << " for "
                       << (picture.Get(x, y) & 0xFFFFFF);
    return testing::AssertionSuccess();
}

void Fill(TestPicture& picture, int left, int top, int width, int height, std::uint32_t colour) {
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            picture.Set(x, y, colour);
}

// A glyph of 6 x 9 pixels in the text cell (column, row) of 8 x 12 pixels.
void Glyph(TestPicture& picture, int column, int row, std::uint32_t seed) {
    std::minstd_rand random(seed + 1);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 6; ++x)
            picture.Set(8 * column + 1 + x, 12 * row + 2 + y, random() % 3 == 0 ? kInk : kPaper);
}

struct Bounds {
    int left, top, width, height;
    friend bool operator==(const Bounds&, const Bounds&) = default;
};
std::ostream& operator<<(std::ostream& out, const Bounds& b) {
    return out << b.left << "," << b.top << " " << b.width << "x" << b.height;
}

// The pixels where two pictures differ, bounded.
Bounds Changed(const TestPicture& before, const TestPicture& after) {
    int left = after.Width(), top = after.Height(), right = 0, bottom = 0;
    for (int y = 0; y < after.Height(); ++y)
        for (int x = 0; x < after.Width(); ++x)
            if ((before.Get(x, y) & 0xFFFFFF) != (after.Get(x, y) & 0xFFFFFF)) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
                top = std::min(top, y);
                bottom = std::max(bottom, y + 1);
            }
    return {left, top, right - left, bottom - top};
}

int PowerOfTwoFor(int entries) {
    int size = 4;
    while (size < entries)
        size *= 2;
    return size;
}

// A screen's life: text typed and scrolled, a window moving in, a patch of 200
// colours, as 24-bit and 32-bit views (their fourth bytes set), top-down and
// bottom-up. Each frame comes back exactly, as the rectangle that changed, over
// what the frame before left, with tables no larger than the frame needs.
TEST(GifAnimationTest, ScreenFramesComeBackExactlyAsTheirChangedRectangles) {
    constexpr int kWidth = 240, kHeight = 120;  // 30 x 10 text cells
    std::vector<Shot> shots;
    TestPicture screen(kWidth, kHeight, 3);
    Fill(screen, 0, 0, kWidth, kHeight, kPaper);
    Fill(screen, 0, 0, kWidth, 10, 0x3A6EA5);
    Fill(screen, 230, 2, 6, 6, 0xE0E0E0);
    for (int row = 1; row < 9; ++row)
        for (int column = 0; column < 15 + row; ++column)
            Glyph(screen, column, row, static_cast<std::uint32_t>(row * 40 + column));
    shots.push_back({screen, 0});
    auto next = [&](int bytesPerPixel, bool bottomUp, auto change) {
        TestPicture picture(kWidth, kHeight, bytesPerPixel, bottomUp);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                picture.Set(x, y, (shots.back().picture.Get(x, y) & 0xFFFFFF) | 0x5A000000);
        change(picture);
        shots.push_back({picture, static_cast<std::int64_t>(shots.size()) * 100});
    };
    for (int column = 24; column < 30; ++column)  // typing
        next(column % 2 ? 4 : 3, column == 27,
             [&](TestPicture& p) { Glyph(p, column, 8, 7 * column); });
    next(4, false, [&](TestPicture& p) {  // a scroll by one line
        for (int y = 24; y < 108; ++y)
            for (int x = 0; x < kWidth; ++x)
                p.Set(x, y, p.Get(x, y + 12));
        Fill(p, 0, 108, kWidth, 12, kPaper);
    });
    for (int left = 170; left <= 184; left += 7)  // a window in new colours, moving
        next(3, false, [&](TestPicture& p) {
            for (int y = 0; y < kHeight; ++y)
                for (int x = 160; x < kWidth; ++x)
                    p.Set(x, y, shots.front().picture.Get(x, y));
            Fill(p, left, 40, 40, 30, 0x808080);
            Fill(p, left + 1, 41, 38, 6, 0x2050C0);
            Fill(p, left + 1, 48, 38, 21, 0xFFFFFF);
        });
    next(4, true, [&](TestPicture& p) {  // 200 colours
        for (int i = 0; i < 200; ++i)
            p.Set(10 + i % 20, 30 + i / 20, TestPicture::Colour(i, 255 - i, i * 7));
    });

    const auto gif = test::DecodeAnimation(Encode(shots, 1500));
    ASSERT_EQ(gif.frames.size(), shots.size());
    EXPECT_EQ(gif.loopCount, 0);
    EXPECT_EQ(gif.globalTableSize, 8);  // four colours and room for a transparent index
    for (std::size_t i = 0; i < shots.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        const test::DecodedFrame& frame = gif.frames[i];
        EXPECT_TRUE(Shows(frame, shots[i].picture));
        EXPECT_EQ(frame.disposal, DISPOSE_DO_NOT);
        if (i == 0) {
            EXPECT_EQ((Bounds{frame.left, frame.top, frame.width, frame.height}),
                      (Bounds{0, 0, kWidth, kHeight}));
            EXPECT_EQ(frame.tableSize, 0);
            continue;
        }
        const Bounds changed = Changed(shots[i - 1].picture, shots[i].picture);
        EXPECT_EQ((Bounds{frame.left, frame.top, frame.width, frame.height}), changed);
        // The colours written, and whether some pixels of the rectangle are kept.
        std::set<std::uint32_t> colours;
        bool kept = false;
        for (int y = changed.top; y < changed.top + changed.height; ++y)
            for (int x = changed.left; x < changed.left + changed.width; ++x) {
                const std::uint32_t before = shots[i - 1].picture.Get(x, y) & 0xFFFFFF;
                const std::uint32_t after = shots[i].picture.Get(x, y) & 0xFFFFFF;
                if (before == after)
                    kept = true;
                else
                    colours.insert(after);
            }
        EXPECT_EQ(frame.transparent >= 0, kept);
        if (frame.tableSize > 0) {
            EXPECT_EQ(frame.tableSize, PowerOfTwoFor(static_cast<int>(colours.size()) + kept));
        }
    }
    // Frames that bring no new colour go through the global table.
    for (int i = 1; i <= 7; ++i)
        EXPECT_EQ(gif.frames[static_cast<std::size_t>(i)].tableSize, 0) << "frame " << i;
    EXPECT_EQ(gif.frames[11].tableSize, 256);
}

// Noise of 2 to 255 colours fills the code table at every code size; noise of
// all of them after noise of two wears out the table the two filled; frames of
// which a random half changed put kept pixels among the rest.
TEST(GifAnimationTest, NoiseComesBackExactlyAtEveryCodeSize) {
    std::mt19937 random(5);
    for (const int colours : {2, 3, 4, 5, 9, 17, 33, 65, 129, 255}) {
        SCOPED_TRACE(std::to_string(colours) + " colours");
        std::vector<Shot> shots;
        TestPicture picture(256, 320, 4);
        for (int frame = 0; frame < 3; ++frame) {
            for (int y = 0; y < 320; ++y)
                for (int x = 0; x < 256; ++x)
                    if (frame == 0 || random() % 2) {
                        const auto colour = static_cast<std::uint32_t>(
                            frame == 0 && y < 240 ? random() % 2 * (colours - 1)
                                                  : random() % colours);
                        picture.Set(x, y, colour * 0x010305);
                    }
            shots.push_back({picture, frame * 40});
        }
        const auto gif = test::DecodeAnimation(Encode(shots, 120));
        ASSERT_EQ(gif.frames.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_TRUE(Shows(gif.frames[i], shots[i].picture)) << "frame " << i;
    }
}

// The first image is the whole screen: a band of noise at its top fills the
// code table, and the plain screen below it costs next to nothing once the
// table is cleared for it; it comes back exactly, and so does the next frame.
TEST(GifAnimationTest, APlainScreenBelowNoiseCostsLittle) {
    constexpr int kWidth = 512, kBand = 32, kHeight = 512;
    std::mt19937 random(11);
    TestPicture band(kWidth, kBand, 3), screen(kWidth, kHeight, 3);
    Fill(screen, 0, 0, kWidth, kHeight, kPaper);
    for (int y = 0; y < kBand; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const auto colour = static_cast<std::uint32_t>(random() % 16) * 0x0F0D0B;
            band.Set(x, y, colour);
            screen.Set(x, y, colour);
        }
    TestPicture typed = screen;
    Glyph(typed, 3, 20, 9);
    std::vector<Shot> bandOnly = {{band, 0}};
    std::vector<Shot> shots = {{screen, 0}, {typed, 100}};
    const std::vector<std::uint8_t> bandFile = Encode(bandOnly, 100);
    const std::vector<std::uint8_t> file = Encode(shots, 200);
    // Below the band: 245,760 plain pixels, and the typed frame (some 300 bytes
    // with its table); with the table kept full of noise, the plain pixels alone
    // took some 38 KB.
    EXPECT_LT(file.size(), bandFile.size() + 1500) << bandFile.size();
    const auto gif = test::DecodeAnimation(file);
    ASSERT_EQ(gif.frames.size(), 2u);
    EXPECT_TRUE(Shows(gif.frames[0], screen));
    EXPECT_TRUE(Shows(gif.frames[1], typed));
}

std::vector<int> Delays(const test::DecodedAnimation& gif) {
    std::vector<int> delays;
    for (const auto& frame : gif.frames)
        delays.push_back(frame.delay);
    return delays;
}

TEST(GifAnimationTest, DelaysAddUpToTheWholeTime) {
    TestPicture a(8, 8, 3), b(8, 8, 3), c(8, 8, 3);
    Fill(a, 0, 0, 8, 8, kPaper);
    b = a;
    b.Set(3, 3, kInk);
    c = b;
    c.Set(5, 1, kInk);
    {
        // A repeated frame writes no image: the one before lasts longer.
        std::vector<Shot> shots = {{a, 0}, {a, 100}, {b, 250}, {b, 300}, {b, 330}, {c, 420}};
        const auto gif = test::DecodeAnimation(Encode(shots, 1000));
        EXPECT_EQ(Delays(gif), (std::vector<int>{25, 17, 58}));
        EXPECT_TRUE(Shows(gif.frames[2], c));
    }
    {
        // Thirtieths of a second, from a start past 0: 3 or 4 hundredths each,
        // a whole second in all.
        std::vector<Shot> shots;
        for (int i = 0; i < 30; ++i)
            shots.push_back({i % 2 ? a : b, 5000 + (i * 1000 + 1) / 30});
        const auto gif = test::DecodeAnimation(Encode(shots, 6000));
        int sum = 0;
        for (const int delay : Delays(gif)) {
            EXPECT_TRUE(delay == 3 || delay == 4) << delay;
            sum += delay;
        }
        EXPECT_EQ(sum, 100);
    }
    {
        // Past the 16 bits of a delay, blank images carry the rest of the time.
        std::vector<Shot> shots = {{a, 0}, {b, 1'000'000}};
        const auto gif = test::DecodeAnimation(Encode(shots, 1'000'123));
        int sum = 0;
        for (const auto& frame : gif.frames)
            sum += frame.delay;
        EXPECT_EQ(sum, 100'012);
        EXPECT_EQ(gif.frames.size(), 3u);
        EXPECT_TRUE(Shows(gif.frames[gif.frames.size() - 2], a));
        EXPECT_TRUE(Shows(gif.frames.back(), b));
    }
}

// More than 256 colours are dithered in an ordered pattern: equal colours at
// equal places in the 8 x 8 pattern look the same, pixels that stay keep their
// look from frame to frame, and once the colours fit again the frame is exact,
// also where the dithered pixels did not change.
TEST(GifAnimationTest, ManyColoursAreDitheredSteadily) {
    constexpr int kWidth = 96, kHeight = 64;
    TestPicture gradient(kWidth, kHeight, 3);
    Fill(gradient, 0, 0, kWidth, kHeight, kPaper);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < 64; ++x)  // two copies of a 32-pixel-wide gradient
            gradient.Set(x, y, TestPicture::Colour(4 * y, 8 * (x % 32), 255 - 3 * y));
    Glyph(gradient, 9, 2, 1);
    TestPicture patched = gradient;
    for (int y = 20; y < 30; ++y)
        for (int x = 20; x < 30; ++x)
            patched.Set(x, y, TestPicture::Colour(7 * x, 200, 5 * y));
    TestPicture cleared = patched;
    Fill(cleared, 0, 0, 64, kHeight, kPaper);

    std::vector<Shot> shots = {{gradient, 0}, {patched, 100}, {cleared, 200}};
    const auto gif = test::DecodeAnimation(Encode(shots, 300));
    ASSERT_EQ(gif.frames.size(), 3u);
    const test::DecodedFrame& first = gif.frames[0];
    std::set<std::uint32_t> colours(first.pixels.begin(), first.pixels.end());
    EXPECT_LE(colours.size(), 256u);
    double squares = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const std::uint32_t shown = Pixel(first, kWidth, x, y);
            const std::uint32_t input = gradient.Get(x, y);
            for (int shift = 0; shift < 24; shift += 8) {
                const int difference = static_cast<int>(shown >> shift & 0xFF) -
                                       static_cast<int>(input >> shift & 0xFF);
                squares += difference * difference;
            }
            if (x < 32) {
                EXPECT_EQ(Pixel(first, kWidth, x + 32, y), shown) << x << ", " << y;
            }
            if (x >= 64) {
                EXPECT_EQ(shown, input & 0xFFFFFF) << "exact colours stay exact";
            }
        }
    EXPECT_GT(squares, 0) << "not dithered";
    EXPECT_GT(10 * std::log10(255.0 * 255 * 3 * kWidth * kHeight / squares), 32);
    // The patch is a frame of its own; everything around it shows as before.
    EXPECT_EQ(
        (Bounds{gif.frames[1].left, gif.frames[1].top, gif.frames[1].width, gif.frames[1].height}),
        (Bounds{20, 20, 10, 10}));
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (x < 20 || x >= 30 || y < 20 || y >= 30) {
                ASSERT_EQ(Pixel(gif.frames[1], kWidth, x, y), Pixel(first, kWidth, x, y))
                    << x << ", " << y;
            }
    EXPECT_TRUE(Shows(gif.frames[2], cleared));
}

TEST(GifAnimationTest, RefusesWhatAGifCannotHold) {
    VectorSink sink;
    EXPECT_THROW(GifAnimation(sink, 0, 10), SaveError);
    EXPECT_THROW(GifAnimation(sink, 65536, 10), SaveError);
    {
        GifAnimation animation(sink, 10, 10);
        EXPECT_THROW(animation.Finish(0), SaveError);  // no frame
    }
    TestPicture small(10, 10, 3), large(11, 10, 3);
    {
        GifAnimation animation(sink, 10, 10);
        EXPECT_THROW(animation.Add(large.View(), 0), SaveError);
    }
    EXPECT_TRUE(sink.Bytes().empty());
    // The sink's own error comes out of the call that met it.
    for (const std::size_t limit : {0, 20, 900}) {
        test::FailingSink failing(limit);
        GifAnimation animation(failing, 10, 10);
        try {
            for (int i = 0; i < 3; ++i) {
                small.FillPattern(static_cast<std::uint32_t>(i));
                animation.Add(small.View(), i * 100);
            }
            animation.Finish(300);
            ADD_FAILURE() << "a sink of " << limit << " bytes took the file";
        } catch (const SaveError& error) {
            EXPECT_STREQ(error.what(), test::kFailingSinkText);
        }
    }
}

}  // namespace
}  // namespace glimra
