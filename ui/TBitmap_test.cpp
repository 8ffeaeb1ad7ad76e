#include "ui/TBitmap.h"

#include <gtest/gtest.h>

#include "testing/ui/TestForm.h"

namespace {

using namespace ui;
using ui::testing::UiTest;

using Bitmap = UiTest;

// A picture with a different colour in every pixel, drawn through GDI.
void Paint(TBitmap& b) {
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            b.Canvas().SetPixel(x, y, RGB(x * 37 % 256, y * 59 % 256, (x * y + 11) % 256));
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
    b.Canvas().SetPixel(0, 0, RGB(255, 0, 0));
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
    b.Canvas().SetPixel(0, 0, RGB(1, 2, 3));
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

}  // namespace
