#include "output/floyd_steinberg_dither.h"

#include <gtest/gtest.h>

#include <vector>

#include "testing/imaging/test_picture.h"

namespace glimra {
namespace {

// Grey pictures dithered onto black (0) and white (1): every channel carries
// the same error, and a corrected value of 127 or less maps to black, 128 or
// more to white. The expected indexes are worked out by hand in the comments.
struct GreyCase {
    const char* what;
    int width;
    std::vector<int> greys;  // rows from the top
    std::vector<int> indexes;
};

std::vector<int> DitherToBlackAndWhite(int width, const std::vector<int>& greys) {
    const int height = static_cast<int>(greys.size()) / width;
    test::TestPicture picture(width, height, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.Set(x, y, std::uint32_t(greys[y * width + x]) * 0x010101u);
    const std::vector<PaletteColor> palette = {{0, 0, 0}, {255, 255, 255}};
    const PixelView view = picture.View();
    FloydSteinbergDither dither(view, palette);
    std::vector<int> indexes;
    std::vector<std::uint8_t> row(width);
    for (int y = 0; y < height; ++y) {
        dither.NextRow(row.data());
        indexes.insert(indexes.end(), row.begin(), row.end());
    }
    return indexes;
}

TEST(FloydSteinbergDitherTest, HandWorkedPictures) {
    const GreyCase cases[] = {
        // 254 -> white, error -1: 7 * -1 = -7 sixteenths, -7 >> 4 = -1, so 128
        // becomes 127: black. Truncating toward zero would give white.
        {"the shift rounds down", 2, {254, 128}, {1, 0}},
        // 200 -> white, error -55: 5 * -55 = -275 below, >> 4 = -18.
        {"5/16 under, 145 - 18", 1, {200, 145}, {1, 0}},
        {"5/16 under, 146 - 18", 1, {200, 146}, {1, 1}},
        // 100 -> black, error 100: 700 ahead takes 255 past 255, clamped: white
        // with no error; 100 under-ahead on the second row, which runs right to
        // left and so starts at x = 1: 121 + (100 >> 4 = 6) = 127, 122 + 6 = 128.
        {"1/16 ahead below", 2, {100, 255, 255, 121}, {0, 1, 1, 0}},
        {"1/16 ahead below, one more", 2, {100, 255, 255, 122}, {0, 1, 1, 1}},
        // 255 exact; 100 -> black, error 100: 300 to the pixel below behind it.
        // The second row starts at x = 1 (255 + 500 / 16: white, no error), then
        // x = 0: 109 + 18 = 127 or 110 + 18 = 128.
        {"3/16 behind below", 2, {255, 100, 109, 255}, {1, 0, 0, 1}},
        {"3/16 behind below, one more", 2, {255, 100, 110, 255}, {1, 0, 1, 1}},
        // Clamping: 250 + (700 >> 4 = 43) clamps to 255, white with error 0, so
        // 120 stays 120: black. Unclamped, 293 would pass 38 * 7 on and make
        // 120 + 16 = 136 white.
        {"a clamped channel passes on no excess", 3, {100, 250, 120}, {0, 1, 0}},
        // Serpentine: the second row starts at the right. Its x = 1 gets
        // 634 >> 4 = 39: 90 + 39 = 129, white, error -126, 7/16 to x = 0:
        // 376 - 882 = -506, >> 4 = -32: 150 - 32 = 118, black. Left to right it
        // would be white, then black.
        {"the second row runs right to left", 2, {254, 128, 150, 90}, {1, 0, 0, 1}},
        // Flat 128 over 3 x 2 gives a checkerboard: first row 128 (white,
        // -127), 128 - 56 = 72 (black, 72), 128 + 31 = 159 (white, -96); the
        // second row, right to left, gets -408, -55, -419 sixteenths below:
        // 128 - 26 = 102 (black, 102), 128 + (-55 + 714) / 16 = 169 (white,
        // -86), 128 + (-419 - 602) / 16 = 64 (black).
        {"flat grey", 3, {128, 128, 128, 128, 128, 128}, {1, 0, 1, 0, 1, 0}},
    };
    for (const GreyCase& c : cases)
        EXPECT_EQ(DitherToBlackAndWhite(c.width, c.greys), c.indexes) << c.what;
}

// Colours that are palette entries carry no error: the indexes are exact.
TEST(FloydSteinbergDitherTest, PaletteColoursMapToThemselves) {
    const std::vector<PaletteColor> palette = {{10, 200, 30}, {0, 0, 0}, {250, 5, 128}};
    test::TestPicture picture(5, 4, 3);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            const PaletteColor& c = palette[(x + 2 * y) % 3];
            picture.Set(x, y, (std::uint32_t(c.red) << 16) | (c.green << 8) | c.blue);
        }
    const PixelView view = picture.View();
    FloydSteinbergDither dither(view, palette);
    std::uint8_t row[5];
    for (int y = 0; y < 4; ++y) {
        dither.NextRow(row);
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(row[x], (x + 2 * y) % 3) << x << "," << y;
    }
}

}  // namespace
}  // namespace glimra
