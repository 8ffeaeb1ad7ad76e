#include "output/jpeg_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "testing/imaging/test_picture.h"
#include "output/save_error.h"
#include "testing/output/decoders.h"

namespace glimra {
namespace {

std::vector<std::uint8_t> Write(const PixelView& view) {
    VectorSink sink;
    WriteJpeg(view, sink);
    return sink.Bytes();
}

// The example tables of the JPEG standard (ITU-T T.81, Annex K), row by row.
constexpr int kLuminance[] = {16,  11,  10,  16,  24, 40, 51,  61,  12,  12,  14,  19,  26,
                              58,  60,  55,  14,  13, 16, 24,  40,  57,  69,  56,  14,  17,
                              22,  29,  51,  87,  80, 62, 18,  22,  37,  56,  68,  109, 103,
                              77,  24,  35,  55,  64, 81, 104, 113, 92,  49,  64,  78,  87,
                              103, 121, 120, 101, 72, 92, 95,  98,  112, 100, 103, 99};
constexpr int kChrominance[] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

// Quality 90 scales the tables to 20 %, rounded, at least 1, at most 255
// (baseline).
std::array<int, 64> AtQuality90(const int (&table)[64]) {
    std::array<int, 64> scaled{};
    for (int i = 0; i < 64; ++i)
        scaled[i] = std::clamp((table[i] * 20 + 50) / 100, 1, 255);
    return scaled;
}

test::TestPicture Gradient(int width, int height) {
    test::TestPicture picture(width, height, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.Set(x, y,
                        (std::uint32_t(x * 255 / width) << 16) |
                            (std::uint32_t(y * 255 / height) << 8) | 0x80u);
    return picture;
}

TEST(JpegWriterTest, IsBaselineWithThreeComponentsAndTheQuality90Tables) {
    auto picture = Gradient(64, 48);
    const auto decoded = test::DecodeJpeg(Write(picture.View()));
    EXPECT_TRUE(decoded.baseline);
    EXPECT_FALSE(decoded.progressive);
    ASSERT_EQ(decoded.components, 3);
    ASSERT_TRUE(decoded.present[0]);
    ASSERT_TRUE(decoded.present[1]);
    EXPECT_EQ(decoded.quantTables[0], AtQuality90(kLuminance));
    EXPECT_EQ(decoded.quantTables[1], AtQuality90(kChrominance));
    EXPECT_EQ(decoded.componentTable, (std::array<int, 3>{0, 1, 1}));
}

TEST(JpegWriterTest, DecodesToWithinJpegsErrorOfThePicture) {
    auto picture = Gradient(120, 90);
    const auto decoded = test::DecodeJpeg(Write(picture.View()));
    const auto expected = test::RgbOf(picture.View());
    ASSERT_EQ(decoded.image.width, expected.width);
    ASSERT_EQ(decoded.image.height, expected.height);
    long total = 0;
    int worst = 0;
    for (std::size_t i = 0; i < expected.rgb.size(); ++i) {
        const int error = std::abs(decoded.image.rgb[i] - expected.rgb[i]);
        total += error;
        worst = std::max(worst, error);
    }
    EXPECT_LE(worst, 12);
    EXPECT_LT(static_cast<double>(total) / expected.rgb.size(), 1.5);
}

// Our rows go to libjpeg-turbo in their own order (blue, green, red); the file
// is the one that rows of red, green, blue give.
TEST(JpegWriterTest, IsTheFileThatRgbRowsGive) {
    for (const auto& [width, height] : {std::pair{64, 48}, std::pair{37, 11}, std::pair{1, 1}}) {
        test::TestPicture picture(width, height, 3);
        picture.FillPattern(static_cast<std::uint32_t>(width * height));
        EXPECT_EQ(Write(picture.View()), test::CompressRgbRows(test::RgbOf(picture.View())))
            << width << " x " << height;
    }
}

// libjpeg refuses sides past 65500 pixels; its error comes back as ours, with
// its text, and the program goes on (rows here share one pixel).
TEST(JpegWriterTest, LibraryErrorsBecomeSaveErrors) {
    std::uint8_t pixel[] = {10, 20, 30};
    const PixelView tooLarge[] = {{pixel, 65501, 1, 0, 3}, {pixel, 1, 65501, 0, 3}};
    for (const PixelView& view : tooLarge) {
        VectorSink sink;
        try {
            WriteJpeg(view, sink);
            ADD_FAILURE() << view.width << " x " << view.height << " accepted";
        } catch (const SaveError& error) {
            const std::string text = error.what();
            EXPECT_NE(text.find("JPEG"), std::string::npos) << text;
            EXPECT_NE(text.find("65500"), std::string::npos) << text;
        }
        EXPECT_TRUE(sink.Bytes().empty());
    }
    std::vector<std::uint8_t> row(3 * 65500);
    const auto decoded = test::DecodeJpeg(Write({row.data(), 65500, 2, 0, 3}));
    EXPECT_EQ(decoded.image.width, 65500);
}

}  // namespace
}  // namespace glimra
