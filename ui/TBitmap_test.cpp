#include "ui/TBitmap.h"

#include <gtest/gtest.h>

#include <cstring>

#include "testing/ui/CanvasPixel.h"
#include "testing/ui/TestForm.h"

namespace {

using namespace ui;
using glimra::test::UiTest;

using Bitmap = UiTest;

// A picture with a different colour in every pixel, drawn through GDI.
void Paint(TBitmap& b) {
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            glimra::test::SetPixel(b.Canvas(), x, y,
                                   RGB(x * 37 % 256, y * 59 % 256, (x * y + 11) % 256));
}

void ExpectPainted(TBitmap& b) {
    const int bytes = b.BitsPerPixel() / 8;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const std::uint8_t* p = b.ScanLine(y) + x * bytes;
            ASSERT_EQ(p[2], x * 37 % 256) << x << "," << y;
            ASSERT_EQ(p[1], y * 59 % 256) << x << "," << y;
            ASSERT_EQ(p[0], (x * y + 11) % 256) << x << "," << y;
        }
}

TEST_F(Bitmap, ConversionsBetweenFormatsKeepEveryColour) {
    TBitmap b;
    b.SetPixelFormat(TPixelFormat::pf32bit);
    b.SetSize(13, 7);  // odd width: 24-bit rows carry padding
    Paint(b);
    ExpectPainted(b);
    for (TPixelFormat f : {TPixelFormat::pf24bit, TPixelFormat::pfDevice, TPixelFormat::pf32bit,
                           TPixelFormat::pf24bit}) {
        b.SetPixelFormat(f);
        EXPECT_EQ(b.PixelFormat(), f);
        EXPECT_EQ(b.Width(), 13);
        EXPECT_EQ(b.Height(), 7);
        ExpectPainted(b);
    }
    EXPECT_EQ(b.BitsPerPixel(), 24);
    EXPECT_EQ(b.Stride(), 40);  // 13 * 3 = 39, padded to 40
    const glimra::PixelView v = b.View();
    EXPECT_EQ(v.bytesPerPixel, 3);
    EXPECT_EQ(v.Row(1), b.ScanLine(1));
}

TEST_F(Bitmap, RowsAreAddressedFromTheTop) {
    TBitmap b;
    b.SetPixelFormat(TPixelFormat::pf24bit);
    b.SetSize(4, 3);
    b.Canvas().SetBrushColor(clWhite);
    b.Canvas().FillRect({0, 0, 4, 3});
    glimra::test::SetPixel(b.Canvas(), 0, 0, RGB(255, 0, 0));
    EXPECT_EQ(b.ScanLine(0)[2], 255);
    EXPECT_EQ(b.ScanLine(0)[0], 0);
    EXPECT_EQ(b.ScanLine(2)[0], 255);
    // Writing through the view shows in GDI at the same place.
    b.ScanLine(2)[3 * 3 + 1] = 0;
    EXPECT_EQ(b.Canvas().Pixel(3, 2), RGB(255, 0, 255));
}

TEST_F(Bitmap, ResizeKeepsTheSharedPartAndAssignCopies) {
    TBitmap b;
    b.SetPixelFormat(TPixelFormat::pf32bit);
    b.SetSize(13, 7);
    Paint(b);
    TBitmap copy;
    copy.Assign(b);
    ExpectPainted(copy);
    glimra::test::SetPixel(b.Canvas(), 0, 0, RGB(1, 2, 3));
    EXPECT_NE(copy.Canvas().Pixel(0, 0), RGB(1, 2, 3));  // a copy, not a share
    copy.SetSize(20, 9);
    EXPECT_EQ(copy.Canvas().Pixel(12, 6), RGB(12 * 37 % 256, 6 * 59 % 256, (72 + 11) % 256));
    copy.SetSize(0, 0);
    EXPECT_TRUE(copy.Empty());
    EXPECT_EQ(copy.Handle(), nullptr);
}

TEST_F(Bitmap, AnImpossibleSizeRaisesAnErrorAndKeepsThePicture) {
    TBitmap b;
    b.SetPixelFormat(TPixelFormat::pf24bit);
    b.SetSize(13, 7);
    Paint(b);
    EXPECT_THROW(b.SetSize(200000, 200000), EOutOfResources);
    EXPECT_THROW(b.SetSize(-5, 3), EOutOfResources);
    EXPECT_EQ(b.Width(), 13);
    ExpectPainted(b);
}

// A dropped picture of a megabyte or more keeps its memory for the next one of its
// size and layout; what that one shows is its own, never the pixels left behind.
TEST_F(Bitmap, ABigPictureReusesTheMemoryOfOneDroppedButNoneOfItsPixels) {
    constexpr int kWidth = 1024, kHeight = 512;  // 2 MiB at 32 bits, 1.5 MiB at 24
    const auto dropped = [](TPixelFormat format) {
        TBitmap old;
        old.SetPixelFormat(format);
        old.SetSize(kWidth, kHeight);
        std::memset(old.ScanLine(0), 0x5A, static_cast<std::size_t>(old.Stride()) * kHeight);
        return old.Handle();
    };
    const auto pixelOf = [](TBitmap& b, int x, int y) {
        const std::uint8_t* p = b.ScanLine(y) + x * (b.BitsPerPixel() / 8);
        return RGB(p[2], p[1], p[0]);
    };

    // A new size is white.
    HBITMAP memory = dropped(TPixelFormat::pf32bit);
    TBitmap white;
    white.SetPixelFormat(TPixelFormat::pf32bit);
    white.SetSize(kWidth, kHeight);
    EXPECT_EQ(white.Handle(), memory);
    for (int y = 0; y < kHeight; y += 7)
        for (int x = 0; x < kWidth; x += 5)
            ASSERT_EQ(pixelOf(white, x, y), RGB(255, 255, 255)) << x << "," << y;

    // A conversion and a copy write every pixel of theirs.
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            std::uint8_t* p = white.ScanLine(y) + 4 * x;
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = static_cast<std::uint8_t>(y);
            p[2] = static_cast<std::uint8_t>(x ^ y);
        }
    memory = dropped(TPixelFormat::pf24bit);
    white.SetPixelFormat(TPixelFormat::pf24bit);
    EXPECT_EQ(white.Handle(), memory);
    dropped(TPixelFormat::pf24bit);
    TBitmap copy;
    copy.Assign(white);
    for (TBitmap* b : {&white, &copy})
        for (int y = 0; y < kHeight; y += 3)
            for (int x = 0; x < kWidth; x += 3)
                ASSERT_EQ(pixelOf(*b, x, y),
                          RGB(std::uint8_t(x ^ y), std::uint8_t(y), std::uint8_t(x)))
                    << x << "," << y;
}

}  // namespace
