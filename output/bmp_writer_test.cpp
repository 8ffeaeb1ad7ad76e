#include "output/bmp_writer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
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
    WriteBmp(view, sink);
    return sink.Bytes();
}

TEST(BmpWriterTest, WritesTheHeadersAndBottomUpPaddedRows) {
    test::TestPicture picture(2, 2, 3);
    picture.Set(0, 0, 0x112233);  // top left
    picture.Set(1, 0, 0x445566);
    picture.Set(0, 1, 0x778899);  // bottom left
    picture.Set(1, 1, 0xAABBCC);
    const std::vector<std::uint8_t> expected = {
        'B', 'M', 70, 0, 0, 0,  // file size: 54 + 2 rows of 8 bytes
        0, 0, 0, 0,             // reserved
        54, 0, 0, 0,            // pixels start after the headers
        40, 0, 0, 0,            // information header size
        2, 0, 0, 0,             // width
        2, 0, 0, 0,             // height, positive: bottom-up
        1, 0,                   // planes
        24, 0,                  // bits per pixel
        0, 0, 0, 0,             // BI_RGB
        16, 0, 0, 0,            // image size
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        // bottom row first, blue, green, red, then two bytes of padding
        0x99, 0x88, 0x77, 0xCC, 0xBB, 0xAA, 0, 0, 0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0, 0};
    EXPECT_EQ(Write(picture.View()), expected);
}

TEST(BmpWriterTest, EveryRowPaddingReadsBack) {
    for (int width = 1; width <= 9; ++width) {
        test::TestPicture picture(width, 3, 3);
        picture.FillPattern(static_cast<std::uint32_t>(width));
        const auto file = Write(picture.View());
        EXPECT_EQ(file.size(), 54u + 3u * ((3u * width + 3) / 4 * 4)) << "width " << width;
        EXPECT_EQ(test::DecodeBmp(file), test::RgbOf(picture.View())) << "width " << width;
    }
}

#ifndef _WIN32
// ImageMagick, a reader that shares nothing with ours, reads the file as the
// picture.
TEST(BmpWriterTest, ImageMagickReadsThePicture) {
    const char* convert = "/usr/bin/convert";
    if (std::FILE* probe = std::fopen(convert, "rb")) {
        std::fclose(probe);
    } else {
        GTEST_SKIP() << "ImageMagick is not installed";
    }
    test::TestPicture picture(37, 23, 3);
    picture.FillPattern(11);
    const std::string bmp = test::TestFilePath("imagemagick-check.bmp");
    const std::string rgb = test::TestFilePath("imagemagick-check.rgb");
    {
        std::FILE* file = std::fopen(bmp.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        FileSink sink(file);
        WriteBmp(picture.View(), sink);
        std::fclose(file);
    }
    const std::string command = std::string(convert) + " '" + bmp + "' -depth 8 'rgb:" + rgb + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_EQ(test::ReadFile(rgb), test::RgbOf(picture.View()).rgb);
}
#endif

// The file size is a 32-bit field: a picture whose rows add up to 4 GB or more
// is refused before anything is written (the rows here share one pixel).
TEST(BmpWriterTest, RefusesPicturesPastFourGigabytes) {
    std::uint8_t pixel[] = {1, 2, 3};
    const PixelView tooLarge[] = {
        {pixel, 1, 1 << 30, 0, 3},    // 4-byte rows: 4 GiB of pixels
        {pixel, INT_MAX, 2, 0, 3},    // 6 GiB rows
        {pixel, 30000, 50000, 0, 3},  // 90000-byte rows
    };
    for (const PixelView& view : tooLarge) {
        VectorSink sink;
        try {
            WriteBmp(view, sink);
            ADD_FAILURE() << view.width << " x " << view.height << " accepted";
        } catch (const SaveError& error) {
            EXPECT_NE(std::string(error.what()).find("too large"), std::string::npos);
        }
        EXPECT_TRUE(sink.Bytes().empty());
    }
}

}  // namespace
}  // namespace glimra
