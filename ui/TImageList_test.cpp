#include "ui/TImageList.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "ui/PictureLoader.h"
#include "testing/ui/TestForm.h"

namespace {

using namespace ui;
using glimra::test::UiTest;

using ImageLists = UiTest;

// A white 32-bit canvas of w x h.
std::unique_ptr<TBitmap> WhiteCanvas(int w, int h) {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(TPixelFormat::pf32bit);
    b->SetSize(w, h);
    RECT all{0, 0, w, h};
    ::FillRect(b->Canvas().Handle(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    return b;
}

TEST_F(ImageLists, DrawsTheImageOfAnIndexBlendedOverTheBackground) {
    TImageList list(nullptr);
    list.LoadFromResource("ImageList1");
    EXPECT_EQ(list.Count(), 9);
    EXPECT_EQ(list.DrawWidth(), application.Scale(16));
    if (list.DrawWidth() != 16) GTEST_SKIP() << "images are compared pixel by pixel at 96 dpi";
    // The strip as the decoder reads it: straight alpha.
    TBitmap strip;
    ASSERT_TRUE(DecodePicture(PictureResource("ImageList1"), strip));
    ASSERT_EQ(strip.BitsPerPixel(), 32);

    for (int index : {2, 7}) {
        auto canvas = WhiteCanvas(20, 20);
        list.Draw(canvas->Canvas().Handle(), 3, 2, index);
        ::GdiFlush();
        int worst = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const std::uint8_t* s = strip.ScanLine(y) + 4 * (index * 16 + x);
                const std::uint8_t* d = canvas->ScanLine(y + 2) + 4 * (x + 3);
                for (int c = 0; c < 3; ++c) {
                    const int expected = (s[c] * s[3] + 255 * (255 - s[3]) + 127) / 255;
                    worst = std::max(worst, std::abs(d[c] - expected));
                }
            }
        EXPECT_LE(worst, 2) << "image " << index;
        // Nothing outside the image's square.
        EXPECT_EQ(canvas->ScanLine(1)[4 * 3], 255);
        EXPECT_EQ(canvas->ScanLine(2)[4 * 19], 255);
    }

    // Disabled: grey, and never darker than the colour image's light.
    auto colour = WhiteCanvas(16, 16), grey = WhiteCanvas(16, 16);
    list.Draw(colour->Canvas().Handle(), 0, 0, 2, true);
    list.Draw(grey->Canvas().Handle(), 0, 0, 2, false);
    ::GdiFlush();
    bool coloured = false;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const std::uint8_t* c = colour->ScanLine(y) + 4 * x;
            const std::uint8_t* g = grey->ScanLine(y) + 4 * x;
            coloured = coloured || std::abs(c[2] - c[0]) > 80;
            EXPECT_LE(std::abs(g[0] - g[2]), 2);
            EXPECT_LE(std::abs(g[1] - g[2]), 2);
        }
    EXPECT_TRUE(coloured);

    // Indexes out of range draw nothing.
    auto empty = WhiteCanvas(16, 16);
    list.Draw(empty->Canvas().Handle(), 0, 0, 9);
    list.Draw(empty->Canvas().Handle(), 0, 0, -1);
    ::GdiFlush();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(empty->ScanLine(y)[4 * x + c], 255);

    // Wider images: fewer of them.
    list.SetWidth(32);
    EXPECT_EQ(list.Count(), 4);
}

}  // namespace
