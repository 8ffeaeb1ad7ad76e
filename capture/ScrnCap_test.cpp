// The grab routines against real windows on the virtual display.
#include "capture/ScrnCap.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

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
    // A solid window of another program's above everything; drawn when this returns.
    HWND Solid(RECT r, COLORREF colour) {
        HWND window = other.SolidWindow(r, colour, WS_POPUP);
        ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        Settle();
        return window;
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

// The displays as Windows reports them, the primary one first.
struct Monitors {
    std::vector<RECT> areas;
    static BOOL CALLBACK Add(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
        auto& list = *reinterpret_cast<Monitors*>(data);
        MONITORINFO info{};
        info.cbSize = sizeof info;
        ::GetMonitorInfoA(monitor, &info);
        if (info.dwFlags & MONITORINFOF_PRIMARY)
            list.areas.insert(list.areas.begin(), info.rcMonitor);
        else
            list.areas.push_back(info.rcMonitor);
        return TRUE;
    }
    Monitors() { ::EnumDisplayMonitors(nullptr, nullptr, Add, reinterpret_cast<LPARAM>(this)); }
    bool Shows(POINT p) const {
        for (const RECT& r : areas)
            if (::PtInRect(&r, p)) return true;
        return false;
    }
};

RECT Inner(const RECT& r, int inset) {
    return {r.left + inset, r.top + inset, r.right - inset, r.bottom - inset};
}

TEST_F(Grab, AllDisplaysIsTheVirtualScreen_EachDisplayAtItsPlace_BlackWhereNoDisplayIs) {
    const Monitors monitors;
    const RECT screen{
        ::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
        ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
        ::GetSystemMetrics(SM_YVIRTUALSCREEN) + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    // One colour per display, and a window that reaches from each display into
    // the rest of the virtual screen: what it draws there no display shows.
    const COLORREF colours[] = {RGB(200, 30, 40), RGB(20, 180, 60), RGB(40, 50, 210)};
    for (std::size_t i = 0; i < monitors.areas.size() && i < 3; ++i)
        Solid(Inner(monitors.areas[i], 40), colours[i]);
    for (const RECT& m : monitors.areas) {
        if (m.bottom < screen.bottom)
            Solid({m.left + 10, m.bottom - 30, m.left + 200, screen.bottom}, RGB(255, 255, 0));
        if (m.top > screen.top)
            Solid({m.right - 200, screen.top, m.right - 10, m.top + 30}, RGB(255, 255, 0));
    }

    ui::TBitmap all;
    GrabAllDisplays(all);
    ASSERT_EQ(all.Width(), screen.right - screen.left);
    ASSERT_EQ(all.Height(), screen.bottom - screen.top);
    for (std::size_t i = 0; i < monitors.areas.size() && i < 3; ++i) {
        const RECT r = Inner(monitors.areas[i], 40);
        for (POINT p : {POINT{r.left, r.top}, POINT{r.right - 1, r.bottom - 1},
                        POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}})
            EXPECT_EQ(At(all, p.x - screen.left, p.y - screen.top), colours[i])
                << "display " << i << " at " << p.x << "," << p.y;
    }
    int beyond = 0;
    const glimra::PixelView view = all.View();
    for (int y = screen.top; y < screen.bottom; ++y)
        for (int x = screen.left; x < screen.right; ++x)
            if (!monitors.Shows({x, y})) {
                ++beyond;
                const std::uint8_t* p =
                    view.Row(y - screen.top) + (x - screen.left) * view.bytesPerPixel;
                ASSERT_EQ(RGB(p[2], p[1], p[0]), RGB(0, 0, 0))
                    << "no display shows " << x << "," << y;
            }
    std::printf("%d displays, virtual screen %ld,%ld to %ld,%ld, %d pixels on none\n",
                int(monitors.areas.size()), screen.left, screen.top, screen.right, screen.bottom,
                beyond);
    // The primary display's grab stays the primary display alone.
    ui::TBitmap primary;
    GrabScreen(0, primary);
    EXPECT_EQ(primary.Width(), monitors.areas[0].right - monitors.areas[0].left);
    EXPECT_EQ(primary.Height(), monitors.areas[0].bottom - monitors.areas[0].top);
    EXPECT_EQ(At(primary, 40, 40), colours[0]);
}

TEST_F(Grab, ARectangleAcrossDisplaysIsBlackOnlyWhereNoDisplayIs) {
    const Monitors monitors;
    if (monitors.areas.size() < 2) GTEST_SKIP() << "one display";
    const RECT& second = monitors.areas[1];
    // A window over the second display's lower edge, where the primary display
    // may go on beside it.
    const RECT window{second.left + 20, second.bottom - 40, second.left + 120, second.bottom + 60};
    Solid(window, RGB(10, 200, 200));
    auto grabbed = GrabScreenRect(window);
    ASSERT_EQ(grabbed->Width(), 100);
    ASSERT_EQ(grabbed->Height(), 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const POINT p{window.left + x, window.top + y};
            ASSERT_EQ(At(*grabbed, x, y), monitors.Shows(p) ? RGB(10, 200, 200) : RGB(0, 0, 0))
                << p.x << "," << p.y;
        }
}

TEST_F(Grab, TheActiveWindowOnTheSecondDisplayIsItsRectangle) {
    const Monitors monitors;
    if (monitors.areas.size() < 2) GTEST_SKIP() << "one display";
    const RECT& second = monitors.areas[1];
    const RECT outer{second.left + 50, second.top + 60, second.left + 350, second.top + 260};
    HWND framed = other.PatternWindow(outer, WS_OVERLAPPEDWINDOW);
    ::SetForegroundWindow(framed);
    Settle();
    ASSERT_EQ(::GetForegroundWindow(), framed);
    const RECT area = WindowArea(framed);
    EXPECT_EQ(area.left, outer.left);
    EXPECT_EQ(area.top, outer.top);
    ui::TBitmap active;
    GrabScreen(-1, active);
    ASSERT_EQ(active.Width(), 300);
    ASSERT_EQ(active.Height(), 200);
    POINT client{0, 0};
    ::ClientToScreen(framed, &client);
    for (int y = 0; y < 100; y += 9)
        for (int x = 0; x < 200; x += 7)
            ASSERT_EQ(At(active, client.x - outer.left + x, client.y - outer.top + y),
                      Pattern(x, y))
                << x << "," << y;
}

TEST_F(Grab, AMinimisedForegroundWindowGivesAnEmptyPicture) {
    HWND framed = other.PatternWindow({50, 60, 350, 260}, WS_OVERLAPPEDWINDOW);
    ::SetForegroundWindow(framed);
    Settle();
    other.Run([&] { ::ShowWindow(framed, SW_MINIMIZE); });
    Settle();
    // A minimised window stays in front until another one is activated; where
    // the system hands the foreground on at once, there is nothing to take.
    if (::GetForegroundWindow() != framed) GTEST_SKIP() << "the foreground went on";
    ASSERT_TRUE(::IsIconic(framed));
    ui::TBitmap active;
    active.SetSize(5, 5);
    GrabScreen(-1, active);
    EXPECT_TRUE(active.Empty());
}

TEST_F(Grab, AWindowPartlyBeyondEveryDisplayIsBlackThere) {
    const RECT screen{
        ::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
        ::GetSystemMetrics(SM_XVIRTUALSCREEN) + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
        ::GetSystemMetrics(SM_YVIRTUALSCREEN) + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    const RECT outer{screen.left - 30, 100, screen.left + 70, 180};
    HWND window = other.SolidWindow(outer, RGB(250, 120, 0), WS_POPUP | WS_BORDER);
    ::SetForegroundWindow(window);
    Settle();
    ASSERT_EQ(::GetForegroundWindow(), window);
    ui::TBitmap active;
    GrabScreen(-1, active);
    ASSERT_EQ(active.Width(), 100);
    ASSERT_EQ(active.Height(), 80);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(At(active, x, y), RGB(0, 0, 0)) << x << "," << y;
    EXPECT_EQ(At(active, 60, 70), RGB(250, 120, 0));
}

}  // namespace
