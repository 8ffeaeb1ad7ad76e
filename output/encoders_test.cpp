// What all the writers share: the pictures they refuse, sinks that fail, row
// layouts, and odd sizes that must still give a file that decodes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "testing/imaging/test_picture.h"
#include "output/bmp_writer.h"
#include "output/gif_writer.h"
#include "output/jpeg_writer.h"
#include "output/png_writer.h"
#include "output/save_error.h"
#include "testing/output/decoders.h"

namespace glimra {
namespace {

struct Writer {
    const char* name;
    void (*write)(const PixelView&, ByteSink&);
    // Decodes the file and answers its width and height.
    std::pair<int, int> (*size)(const std::vector<std::uint8_t>&);
};

std::pair<int, int> BmpSize(const std::vector<std::uint8_t>& file) {
    const auto image = test::DecodeBmp(file);
    return {image.width, image.height};
}
std::pair<int, int> JpegSize(const std::vector<std::uint8_t>& file) {
    const auto decoded = test::DecodeJpeg(file);
    return {decoded.image.width, decoded.image.height};
}
std::pair<int, int> GifSize(const std::vector<std::uint8_t>& file) {
    const auto decoded = test::DecodeGif(file);
    return {decoded.width, decoded.height};
}
std::pair<int, int> PngSize(const std::vector<std::uint8_t>& file) {
    const auto image = test::DecodePng(file);
    return {image.width, image.height};
}

class EncodersTest : public ::testing::TestWithParam<Writer> {
  protected:
    std::vector<std::uint8_t> Write(const PixelView& view) {
        VectorSink sink;
        GetParam().write(view, sink);
        return sink.Bytes();
    }
};

TEST_P(EncodersTest, RefusesPicturesWithoutPixelsOrNot24Bit) {
    std::uint8_t pixels[64] = {};
    const PixelView refused[] = {
        {pixels, 0, 5, 12, 3},   // width 0
        {pixels, 4, 0, 12, 3},   // height 0
        {pixels, -3, 2, 12, 3},  // negative width
        {nullptr, 4, 4, 12, 3},  // no pixels
        {pixels, 4, 2, 16, 4},   // 32-bit
    };
    for (const PixelView& view : refused) {
        VectorSink sink;
        try {
            GetParam().write(view, sink);
            ADD_FAILURE() << GetParam().name << " accepted " << view.width << " x " << view.height
                          << " at " << view.bytesPerPixel << " bytes per pixel";
        } catch (const SaveError& error) {
            EXPECT_NE(std::string(error.what()).find(GetParam().name), std::string::npos)
                << error.what();
        }
        EXPECT_TRUE(sink.Bytes().empty());
    }
}

// The sink's error must come out of the writer unchanged wherever it happens:
// at the first byte, in the middle of the library's output (through giflib's or
// libpng's callbacks), or at the very last byte.
TEST_P(EncodersTest, AFailingSinkFailsTheSave) {
    test::TestPicture picture(640, 480, 3);
    picture.FillPattern(7);
    const std::size_t size = Write(picture.View()).size();
    ASSERT_GT(size, 256u * 1024) << "the file must be larger than the writers' buffer";
    for (std::size_t limit : {std::size_t{0}, std::size_t{100}, size / 2, size - 1}) {
        test::FailingSink sink(limit);
        try {
            GetParam().write(picture.View(), sink);
            ADD_FAILURE() << "no error with the sink failing after " << limit << " bytes";
        } catch (const SaveError& error) {
            EXPECT_STREQ(error.what(), test::kFailingSinkText) << "limit " << limit;
        }
    }
    test::FailingSink roomy(size);
    EXPECT_NO_THROW(GetParam().write(picture.View(), roomy));
    EXPECT_EQ(roomy.Taken(), size);
}

// Padding after each row and bottom-up storage (negative stride) are only a
// layout: the file is the same as for packed rows.
TEST_P(EncodersTest, RowLayoutDoesNotChangeTheFile) {
    const int width = 37, height = 11;
    test::TestPicture padded(width, height, 3);
    test::TestPicture bottomUp(width, height, 3, true);
    padded.FillPattern(3);
    bottomUp.FillPattern(3);
    std::vector<std::uint8_t> packed(std::size_t{3} * width * height);
    for (int y = 0; y < height; ++y)
        std::memcpy(&packed[std::size_t{3} * width * y], padded.View().Row(y), 3 * width);
    const auto file = Write({packed.data(), width, height, 3 * width, 3});
    EXPECT_EQ(Write(padded.View()), file);
    EXPECT_EQ(Write(bottomUp.View()), file);
}

TEST_P(EncodersTest, OddSizesGiveFilesThatDecode) {
    const std::pair<int, int> sizes[] = {{1, 1}, {1, 300}, {300, 1}, {7, 5}, {17, 16}, {255, 3}};
    for (const auto& [width, height] : sizes) {
        test::TestPicture picture(width, height, 3);
        picture.FillPattern(static_cast<std::uint32_t>(width * 1000 + height));
        EXPECT_EQ(GetParam().size(Write(picture.View())), std::make_pair(width, height))
            << width << " x " << height;
    }
}

INSTANTIATE_TEST_SUITE_P(AllFormats, EncodersTest,
                         ::testing::Values(Writer{"BMP", WriteBmp, BmpSize},
                                           Writer{"JPEG", WriteJpeg, JpegSize},
                                           Writer{"GIF", WriteGif, GifSize},
                                           Writer{"PNG", WritePng, PngSize}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace glimra
