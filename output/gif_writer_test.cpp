#include "output/gif_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/imaging/test_picture.h"
#include "output/floyd_steinberg_dither.h"
#include "output/octree_quantizer.h"
#include "output/save_error.h"
#include "testing/output/decoders.h"

namespace glimra {
namespace {

std::vector<std::uint8_t> Write(const PixelView& view) {
    VectorSink sink;
    WriteGif(view, sink);
    return sink.Bytes();
}

TEST(GifWriterTest, HoldsOneOpaqueImageWithAtMost256Colours) {
    test::TestPicture picture(160, 120, 3);
    picture.FillPattern(9);
    const auto gif = test::DecodeGif(Write(picture.View()));
    EXPECT_EQ(gif.imageCount, 1);
    EXPECT_EQ(gif.width, 160);
    EXPECT_EQ(gif.height, 120);
    EXPECT_FALSE(gif.transparent);
    EXPECT_EQ(gif.colors.size(), 256u);
}

// White, black and mid grey: three leaves, in tree order black (child 0),
// grey (child 7, then 0), white (child 7, then 7); the table is padded to four
// entries; exact colours carry no error.
TEST(GifWriterTest, TableAndIndexesOfASmallPicture) {
    test::TestPicture picture(3, 2, 3);
    const std::uint32_t pixels[] = {0xFFFFFF, 0x000000, 0x808080, 0x808080, 0xFFFFFF, 0x000000};
    for (int i = 0; i < 6; ++i)
        picture.Set(i % 3, i / 3, pixels[i]);
    const auto gif = test::DecodeGif(Write(picture.View()));
    const std::vector<PaletteColor> colors = {
        {0, 0, 0}, {128, 128, 128}, {255, 255, 255}, {0, 0, 0}};
    EXPECT_EQ(gif.colors, colors);
    EXPECT_EQ(gif.indexes, (std::vector<std::uint8_t>{2, 0, 1, 1, 2, 0}));
}

// The file holds the octree palette and the dithered indexes, unchanged by
// giflib, for a picture with thousands of colours.
TEST(GifWriterTest, CarriesThePaletteAndTheDitheredIndexes) {
    test::TestPicture picture(90, 70, 3);
    picture.FillPattern(21);
    const PixelView view = picture.View();
    const auto palette = BuildOctreePalette(view);
    FloydSteinbergDither dither(view, palette);
    std::vector<std::uint8_t> indexes(90 * 70);
    for (int y = 0; y < 70; ++y)
        dither.NextRow(&indexes[90 * y]);

    const auto gif = test::DecodeGif(Write(view));
    ASSERT_EQ(gif.colors.size(), 256u);
    EXPECT_EQ(std::vector<PaletteColor>(gif.colors.begin(), gif.colors.begin() + palette.size()),
              palette);
    EXPECT_EQ(gif.indexes, indexes);
}

// Width and height are 16-bit fields (rows here share one pixel).
TEST(GifWriterTest, RefusesSidesPast65535) {
    std::uint8_t pixel[] = {1, 2, 3};
    for (const PixelView& view :
         {PixelView{pixel, 65536, 1, 0, 3}, PixelView{pixel, 1, 65536, 0, 3}}) {
        VectorSink sink;
        try {
            WriteGif(view, sink);
            ADD_FAILURE() << view.width << " x " << view.height << " accepted";
        } catch (const SaveError& error) {
            EXPECT_NE(std::string(error.what()).find("65535"), std::string::npos) << error.what();
        }
        EXPECT_TRUE(sink.Bytes().empty());
    }
    const auto gif = test::DecodeGif(Write({pixel, 1, 65535, 0, 3}));
    EXPECT_EQ(gif.height, 65535);
}

}  // namespace
}  // namespace glimra
