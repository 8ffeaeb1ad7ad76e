// The editor's marks on real pixel buffers: exact frames and highlights, blended
// lines, arrows, outlines and discs, and the areas that the history keeps, which
// must hold every pixel a mark changes and must not overlap.
#include "imaging/marks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace glimra {
namespace {

// A picture of one colour, 3 or 4 bytes per pixel, rows padded.
struct Picture {
    Picture(int w, int h, int bpp, std::uint8_t value)
        : bytes(std::size_t(h) * std::size_t(w * bpp + 5), value),
          view{bytes.data(), w, h, w * bpp + 5, bpp} {}
    Picture(const Picture& other) : bytes(other.bytes), view(other.view) {
        view.data = bytes.data();
    }
    std::uint8_t* At(int x, int y) const { return view.Row(y) + x * view.bytesPerPixel; }
    std::vector<std::uint8_t> bytes;
    PixelView view;
};

constexpr Colour kRed{255, 0, 0};

bool IsRed(const std::uint8_t* p) {
    return p[0] == 0 && p[1] == 0 && p[2] == 255;
}

TEST(Marks, AFrameColoursExactlyThePixelsWithinItsWidthOfTheEdge) {
    Picture p(70, 50, 4, 255);
    const Area area{10, 10, 60, 40};
    FillAreas(p.view, FrameBands(area, 3), kRed);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 70; ++x) {
            const bool inside = x >= 10 && x < 60 && y >= 10 && y < 40;
            const bool edge = inside && (x < 13 || x >= 57 || y < 13 || y >= 37);
            ASSERT_EQ(IsRed(p.At(x, y)), edge) << x << ", " << y;
            if (!edge) {
                ASSERT_EQ(p.At(x, y)[0], 255);
            }
        }
    // A frame wider than half its area fills it.
    EXPECT_EQ(FrameBands({0, 0, 5, 30}, 3).size(), 1u);
    EXPECT_TRUE(FrameBands({4, 4, 4, 30}, 3).empty());
}

TEST(Marks, TheHighlighterTurnsWhiteYellowKeepsBlackAndStaysInItsArea) {
    Picture p(20, 10, 3, 255);
    for (int x = 0; x < 20; ++x)
        std::fill(p.At(x, 5), p.At(x, 5) + 3, 0);
    Highlight(p.view, {2, 2, 15, 8});
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            const std::uint8_t* q = p.At(x, y);
            const bool in = x >= 2 && x < 15 && y >= 2 && y < 8;
            const std::uint8_t expected[3] = {std::uint8_t(y == 5 ? 0
                                                           : in   ? 0
                                                                  : 255),
                                              std::uint8_t(y == 5 ? 0 : 255),
                                              std::uint8_t(y == 5 ? 0 : 255)};
            ASSERT_EQ(std::vector<std::uint8_t>(q, q + 3),
                      std::vector<std::uint8_t>(expected, expected + 3))
                << x << ", " << y;
        }
}

TEST(Marks, AHorizontalLineThroughPixelCentresIsItsWidthOfFullColour) {
    Picture p(200, 150, 4, 255);
    LineMark({20.5, 100.5}, {150.5, 100.5}, 3).Paint(p.view, kRed);
    for (int x = 20; x <= 150; ++x)
        for (int y = 99; y <= 101; ++y)
            ASSERT_TRUE(IsRed(p.At(x, y))) << x << ", " << y;
    EXPECT_EQ(p.At(80, 97)[0], 255);
    EXPECT_EQ(p.At(80, 103)[0], 255);
}

TEST(Marks, AnArrowsHeadReachesThreeWidthsAcross_AndNothingLiesBeyondItsTip) {
    Picture p(200, 150, 4, 255);
    ArrowMark({20.5, 100.5}, {150.5, 100.5}, 3).Paint(p.view, kRed);
    for (int y = 0; y < 150; ++y)
        for (int x = 151; x < 200; ++x)
            ASSERT_EQ(p.At(x, y)[0], 255) << x << ", " << y;
    bool above = false, below = false;
    for (int x = 135; x <= 150; ++x) {
        above = above || p.At(x, 100 - 9)[0] != 255;
        below = below || p.At(x, 100 + 9)[0] != 255;
    }
    EXPECT_TRUE(above);
    EXPECT_TRUE(below);
    EXPECT_TRUE(IsRed(p.At(60, 100)));
}

TEST(Marks, AnEllipseStaysInsideItsArea_ItsOutlineIsColouredAndItsMiddleNot) {
    Picture p(120, 90, 3, 255);
    const Area area{10, 20, 110, 80};
    EllipseMark(area, 3).Paint(p.view, kRed);
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x)
            if (x < 10 || x >= 110 || y < 20 || y >= 80) {
                ASSERT_EQ(p.At(x, y)[0], 255);
            }
    EXPECT_TRUE(IsRed(p.At(11, 50)));
    EXPECT_TRUE(IsRed(p.At(60, 21)));
    EXPECT_EQ(p.At(60, 50)[0], 255);
    EXPECT_EQ(p.At(20, 25)[0], 255);
}

// Random marks of every kind on a striped picture: every pixel that the shape
// covers, and so every pixel that changes, lies in one of the bands that the
// painting goes over and the history keeps; the bands do not overlap.
TEST(Marks, TheBandsHoldEveryChangedPixelAndNeverOverlap) {
    std::mt19937 random(7);
    const auto coordinate = [&](int limit) {
        return std::uniform_real_distribution<double>(-20, limit + 20)(random);
    };
    for (int round = 0; round < 200; ++round) {
        Picture p(160, 120, round % 2 ? 3 : 4, 0);
        for (std::size_t i = 0; i < p.bytes.size(); ++i)
            p.bytes[i] = std::uint8_t(i * 31);
        const Picture before = p;
        const double width = 1 + round % 12;
        std::unique_ptr<Mark> mark;
        const Point a{coordinate(160), coordinate(120)}, b{coordinate(160), coordinate(120)};
        switch (round % 4) {
            case 0:
                mark = std::make_unique<LineMark>(a, b, width);
                break;
            case 1:
                mark = std::make_unique<ArrowMark>(a, b, width);
                break;
            case 2:
                mark = std::make_unique<EllipseMark>(
                    Area{int(std::min(a.x, b.x)), int(std::min(a.y, b.y)), int(std::max(a.x, b.x)),
                         int(std::max(a.y, b.y))},
                    width);
                break;
            default:
                mark = std::make_unique<DiscMark>(a, width * 2);
        }
        const std::vector<Area> bands = SpanBands(mark->Spans(160, 120));
        mark->Paint(p.view, {10, 200, 90});
        for (std::size_t i = 0; i < bands.size(); ++i)
            for (std::size_t j = i + 1; j < bands.size(); ++j) {
                const Area &u = bands[i], &v = bands[j];
                ASSERT_FALSE(u.left < v.right && v.left < u.right && u.top < v.bottom &&
                             v.top < u.bottom)
                    << "round " << round;
            }
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x) {
                // Changed, or covered by the mark's shape at all.
                if (std::equal(p.At(x, y), p.At(x, y) + 3, before.At(x, y)) &&
                    mark->Coverage(x + 0.5, y + 0.5) <= 0)
                    continue;
                bool held = false;
                for (const Area& band : bands)
                    held = held ||
                           (x >= band.left && x < band.right && y >= band.top && y < band.bottom);
                ASSERT_TRUE(held) << "round " << round << " pixel " << x << ", " << y;
            }
    }
}

}  // namespace
}  // namespace glimra
