#include "output/png_writer.h"

#include <gtest/gtest.h>

#include <vector>

#include "testing/imaging/test_picture.h"
#include "output/bmp_writer.h"
#include "testing/output/decoders.h"

namespace glimra {
namespace {

std::vector<std::uint8_t> Write(const PixelView& view) {
    VectorSink sink;
    WritePng(view, sink);
    return sink.Bytes();
}

TEST(PngWriterTest, DecodesToExactlyThePicture) {
    const std::pair<int, int> sizes[] = {{1, 1}, {5, 3}, {64, 48}, {333, 7}};
    for (const auto& [width, height] : sizes) {
        test::TestPicture picture(width, height, 3);
        picture.FillPattern(static_cast<std::uint32_t>(width + height));
        EXPECT_EQ(test::DecodePng(Write(picture.View())), test::RgbOf(picture.View()))
            << width << " x " << height;
    }
}

// A screenshot-like picture: flat areas with some text-like detail. The file
// stays exact and is a small fraction of the BMP.
TEST(PngWriterTest, FlatPicturesStayExactAndSmall) {
    test::TestPicture picture(400, 300, 3);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            const bool glyph = y % 12 < 8 && x % 7 < 4 && (x * 31 + y * 17) % 5 < 2;
            picture.Set(x, y, glyph ? 0x202020 : y < 40 ? 0x2050C0 : 0xF0F0F0);
        }
    const auto png = Write(picture.View());
    EXPECT_EQ(test::DecodePng(png), test::RgbOf(picture.View()));
    VectorSink bmp;
    WriteBmp(picture.View(), bmp);
    EXPECT_LT(png.size() * 8, bmp.Bytes().size()) << png.size() << " bytes";
}

// libpng refuses more than a million rows unless told otherwise; the writer
// lifts that limit (rows here share one pixel).
TEST(PngWriterTest, WritesPicturesOfMoreThanAMillionRows) {
    std::uint8_t pixel[] = {10, 20, 30};
    const auto image = test::DecodePng(Write({pixel, 1, 1100000, 0, 3}));
    EXPECT_EQ(image.width, 1);
    ASSERT_EQ(image.height, 1100000);
    EXPECT_EQ(image.rgb[3 * 1099999], 30);
}

}  // namespace
}  // namespace glimra
