#include "ui/PictureLoader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ui/TBitmap.h"
#include "ui/TPicture.h"
#include "testing/ui/CanvasPixel.h"
#include "testing/ui/TestForm.h"

namespace {

using namespace ui;
using glimra::test::UiTest;

// A BMP file of `width` x `height` pixels whose every pixel has the colour
// (x, y, 7) and, at 32 bits, the alpha x * 40; rows bottom-up unless `topDown`.
std::vector<std::uint8_t> MakeBmp(int width, int height, int bpp, bool topDown) {
    const int stride = (width * bpp / 8 + 3) & ~3;
    std::vector<std::uint8_t> file(54 + stride * height);
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfSize = DWORD(file.size());
    fh.bfOffBits = 54;
    BITMAPINFOHEADER ih{};
    ih.biSize = 40;
    ih.biWidth = width;
    ih.biHeight = topDown ? -height : height;
    ih.biPlanes = 1;
    ih.biBitCount = WORD(bpp);
    std::memcpy(file.data(), &fh, sizeof fh);
    std::memcpy(file.data() + 14, &ih, sizeof ih);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = file.data() + 54 + stride * (topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = row + x * bpp / 8;
            p[0] = 7;
            p[1] = std::uint8_t(y);
            p[2] = std::uint8_t(x);
            if (bpp == 32) p[3] = std::uint8_t(x * 40);
        }
    }
    return file;
}

using Decoding = UiTest;

TEST_F(Decoding, BmpRowsComeOutFromTheTopWithTheirAlpha) {
    for (const bool topDown : {false, true})
        for (const int bpp : {24, 32}) {
            TBitmap b;
            const bool alpha = DecodePicture(MakeBmp(5, 3, bpp, topDown), b);
            EXPECT_EQ(alpha, bpp == 32);
            ASSERT_EQ(b.Width(), 5);
            ASSERT_EQ(b.Height(), 3);
            ASSERT_EQ(b.BitsPerPixel(), bpp);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 5; ++x) {
                    const std::uint8_t* p = b.ScanLine(y) + x * bpp / 8;
                    EXPECT_EQ(p[0], 7);
                    EXPECT_EQ(p[1], y) << topDown << bpp;
                    EXPECT_EQ(p[2], x);
                    if (bpp == 32) {
                        EXPECT_EQ(p[3], x * 40);
                    }
                }
        }
}

TEST_F(Decoding, A32BitBmpWithoutAlphaIsOpaque) {
    auto file = MakeBmp(4, 2, 32, false);
    for (std::size_t i = 54 + 3; i < file.size(); i += 4)
        file[i] = 0;  // a writer that left the fourth byte empty
    TBitmap b;
    EXPECT_FALSE(DecodePicture(file, b));
    EXPECT_EQ(b.ScanLine(1)[3], 255);
}

TEST_F(Decoding, DamagedOrUnknownFilesAreErrorsNotCrashes) {
    TBitmap b;
    auto file = MakeBmp(64, 64, 24, false);
    file.resize(file.size() - 100);  // rows missing
    EXPECT_THROW(DecodePicture(file, b), EInvalidGraphic);
    auto huge = MakeBmp(2, 2, 24, false);
    const LONG height = 0x7FFF;
    std::memcpy(huge.data() + 22, &height, sizeof height);
    EXPECT_THROW(DecodePicture(huge, b), EInvalidGraphic);
    auto offset = MakeBmp(2, 2, 24, false);
    const DWORD beyond = 0x7FFFFFF0;
    std::memcpy(offset.data() + 10, &beyond, sizeof beyond);
    EXPECT_THROW(DecodePicture(offset, b), EInvalidGraphic);
    const std::vector<std::uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F'};
    EXPECT_THROW(DecodePicture(jpeg, b), EInvalidGraphic);
    const std::vector<std::uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0};
    EXPECT_THROW(DecodePicture(gif, b), EInvalidGraphic);
    const std::vector<std::uint8_t> text = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_THROW(DecodePicture(text, b), EInvalidGraphic);
    EXPECT_THROW(DecodePicture({}, b), EInvalidGraphic);
}

TEST_F(Decoding, ResourcePicturesOfEachKind) {
    TPicture bmp, jpeg, gif;
    bmp.LoadFromResource("pattern_bmp");
    EXPECT_TRUE(bmp.HasAlpha());
    EXPECT_EQ(bmp.Width(), 16);
    // Left half opaque red, right half fully transparent.
    EXPECT_EQ(bmp.Bitmap().ScanLine(4)[4 * 2 + 2], 255);
    EXPECT_EQ(bmp.Bitmap().ScanLine(4)[4 * 2 + 3], 255);
    EXPECT_EQ(bmp.Bitmap().ScanLine(4)[4 * 12 + 3], 0);
    jpeg.LoadFromResource("pattern_jpg");
    EXPECT_FALSE(jpeg.HasAlpha());
    EXPECT_EQ(jpeg.Width(), 16);
    EXPECT_EQ(jpeg.Height(), 16);
    const std::uint8_t* green = jpeg.Bitmap().ScanLine(3) + 3 * 12;
    EXPECT_LT(green[0], 40);
    EXPECT_GT(green[1], 215);
    EXPECT_LT(green[2], 40);
    gif.LoadFromResource("pattern_gif");
    EXPECT_TRUE(gif.HasAlpha());
    EXPECT_EQ(gif.Bitmap().ScanLine(2)[4 * 1 + 2], 255);
    EXPECT_EQ(gif.Bitmap().ScanLine(2)[4 * 1 + 3], 255);
    EXPECT_EQ(gif.Bitmap().ScanLine(2)[4 * 6 + 3], 0);
}

TEST_F(Decoding, BlendingUsesStraightAlpha) {
    // Half-transparent white over black gives middle grey, not white.
    auto file = MakeBmp(1, 1, 32, false);
    file[54] = file[55] = file[56] = 255;
    file[57] = 128;
    TPicture picture;
    picture.LoadFromBytes(file);
    ASSERT_TRUE(picture.HasAlpha());
    TBitmap target;
    target.SetPixelFormat(TPixelFormat::pf32bit);
    target.SetSize(1, 1);
    glimra::test::SetPixel(target.Canvas(), 0, 0, RGB(0, 0, 0));
    picture.Draw(target.Canvas().Handle(), {0, 0, 1, 1});
    const COLORREF c = target.Canvas().Pixel(0, 0);
    EXPECT_NEAR(GetRValue(c), 128, 2);
    EXPECT_NEAR(GetBValue(c), 128, 2);
}

}  // namespace
