// The grab routines against real windows on the virtual display.
#include "capture/ScrnCap.h"

#include <gtest/gtest.h>

#include "testing/desktop/OtherProgram.h"
#include "ui/TApplication.h"

namespace {

using glimra::test::Pattern;

class Grab : public ::testing::Test {
  protected:
    Grab() { application.Initialize(); }
    // A window of another program's that shows the pattern, or is red, above
    // everything; the screen has drawn it when this returns.
    HWND Popup(bool red, int x, int y, int w, int h) {
        const RECT r{x, y, x + w, y + h};
        HWND window = red ? other.SolidWindow(r, RGB(255, 0, 0), WS_POPUP)
                          : other.PatternWindow(r, WS_POPUP, WS_EX_TOPMOST);
        ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        Settle();
        return window;
    }
    void Settle() {
        for (int i = 0; i < 20; ++i) {
            application.ProcessMessages();
            ::Sleep(10);
        }
    }
    static COLORREF At(ui::TBitmap& b, int x, int y) {
        const std::uint8_t* p = b.ScanLine(y) + x * (b.BitsPerPixel() / 8);
        return RGB(p[2], p[1], p[0]);
    }
    ui::TApplication application;
    glimra::test::OtherProgram other;
};

TEST_F(Grab, ScreenRectReturnsExactlyThePixelsOnScreen_RowsFromTheTop) {
    Popup(false, 100, 80, 64, 48);
    auto grabbed = GrabScreenRect({100, 80, 164, 128});
    ASSERT_EQ(grabbed->Width(), 64);
    ASSERT_EQ(grabbed->Height(), 48);
    EXPECT_EQ(grabbed->PixelFormat(), ui::TPixelFormat::pfDevice);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(At(*grabbed, x, y), Pattern(x, y)) << x << "," << y;
    // A part of it, from an inner corner.
    auto part = GrabScreenRect({110, 90, 113, 92});
    ASSERT_EQ(part->Width(), 3);
    EXPECT_EQ(At(*part, 0, 0), Pattern(10, 10));
    EXPECT_EQ(At(*part, 2, 1), Pattern(12, 11));
}

TEST_F(Grab, ACoveredAreaShowsTheCoveringWindow) {
    HWND patterned = Popup(false, 100, 80, 64, 48);
    Popup(true, 120, 90, 20, 20);
    auto grabbed = GrabScreenRect(WindowArea(patterned));
    ASSERT_EQ(grabbed->Width(), 64);
    EXPECT_EQ(At(*grabbed, 25, 15), RGB(255, 0, 0));
    EXPECT_EQ(At(*grabbed, 5, 5), Pattern(5, 5));
}

TEST_F(Grab, ZeroSizeGivesAnEmptyBitmap_AndBadHandlesToo) {
    EXPECT_TRUE(GrabScreenRect({10, 10, 10, 60})->Empty());
    EXPECT_TRUE(GrabScreenRect({10, 10, 110, 10})->Empty());
    EXPECT_TRUE(GrabScreenRect(WindowArea(reinterpret_cast<HWND>(0x7777)))->Empty());
}

TEST_F(Grab, ATooLargeRectangleRaisesAnError) {
    EXPECT_THROW(GrabScreenRect({0, 0, 100000, 100000}), ui::EOutOfResources);
}

TEST_F(Grab, DesktopModeIsTheWholeDisplay_ActiveModeTheForegroundWindowWithItsFrame) {
    ui::TBitmap desktop;
    GrabScreen(0, desktop);
    EXPECT_EQ(desktop.Width(), ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(desktop.Height(), ::GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(desktop.Width(), 1024);
    EXPECT_EQ(desktop.Height(), 768);

    HWND framed = other.PatternWindow({200, 150, 500, 350}, WS_OVERLAPPEDWINDOW);
    ::SetForegroundWindow(framed);
    Settle();
    ASSERT_EQ(::GetForegroundWindow(), framed);
    ui::TBitmap active;
    GrabScreen(-1, active);
    EXPECT_EQ(active.Width(), 300);
    EXPECT_EQ(active.Height(), 200);
    // The client area starts below the title bar: its first pixel is the pattern's.
    POINT client{0, 0};
    ::ClientToScreen(framed, &client);
    EXPECT_EQ(At(active, client.x - 200, client.y - 150), Pattern(0, 0));
}

}  // namespace
