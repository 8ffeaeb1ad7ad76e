#include <gtest/gtest.h>

#include "testing/ui/ControlsTestForm.h"

namespace {

using namespace ui;
using glimra::test::ControlsTest;

// Moves the content by dx, dy (positive: right and down, so the scroll positions
// go down by as much), each position kept within its range: the horizontal bar
// first, then the vertical one.
void ScrollBy(TScrollingWinControl& box, int dx, int dy) {
    box.HorzScrollBar().SetPosition(box.HorzScrollBar().Position() - dx);
    box.VertScrollBar().SetPosition(box.VertScrollBar().Position() - dy);
}

class Scrolling : public ControlsTest {
  protected:
    // A 400 x 300 picture in the 220 x 140 box: every pixel's colour tells
    // where in the picture it is.
    void FillView() {
        TBitmap picture;
        picture.SetPixelFormat(TPixelFormat::pf24bit);
        picture.SetSize(400, 300);
        for (int y = 0; y < 300; ++y) {
            std::uint8_t* p = picture.ScanLine(y);
            for (int x = 0; x < 400; ++x, p += 3) {
                p[0] = 0;
                p[1] = std::uint8_t(y % 256);
                p[2] = std::uint8_t(x % 256);
            }
        }
        form->Control<TImage>("View").SetBitmap(picture);
    }
    TScrollBox& Box() { return form->Control<TScrollBox>("Box"); }
};

TEST_F(Scrolling, RangesFollowTheContentAndPositionsStayInThem) {
    auto& box = Box();
    // The far button alone reaches 360 wide; nothing reaches below the client.
    EXPECT_EQ(box.HorzScrollBar().Range(), 360);
    EXPECT_EQ(box.VertScrollBar().Range(), 32);
    FillView();
    EXPECT_EQ(box.HorzScrollBar().Range(), 400);
    EXPECT_EQ(box.VertScrollBar().Range(), 300);
    const int pageX = box.ClientWidth(), pageY = box.ClientHeight();
    // Both bars show, and the client area is what they leave.
    EXPECT_TRUE(::GetWindowLongA(box.Handle(), GWL_STYLE) & WS_HSCROLL);
    EXPECT_TRUE(::GetWindowLongA(box.Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(pageX, 220 - 4 - ::GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(box.HorzScrollBar().Page(), pageX);

    box.VertScrollBar().SetPosition(100000);
    EXPECT_EQ(box.VertScrollBar().Position(), 300 - pageY);
    box.VertScrollBar().SetPosition(-5);
    EXPECT_EQ(box.VertScrollBar().Position(), 0);
    ScrollBy(box, -30, -1000);
    EXPECT_EQ(box.HorzScrollBar().Position(), 30);
    EXPECT_EQ(box.VertScrollBar().Position(), 300 - pageY);
    EXPECT_EQ(::GetScrollPos(box.Handle(), SB_HORZ), 30);
    // A smaller picture pulls the positions back into the smaller range.
    TBitmap small;
    small.SetSize(250, 150);
    form->Control<TImage>("View").SetBitmap(small);
    EXPECT_EQ(box.HorzScrollBar().Position(), 30);
    EXPECT_EQ(box.VertScrollBar().Position(), std::max(0, 150 - box.ClientHeight()));
    // The children keep their positions in the content.
    EXPECT_EQ(form->Control<TImage>("View").Left(), 0);
    EXPECT_EQ(form->Control<TButton>("BoxButton").Left(), 300);
    // A picture smaller than the box: nothing to scroll.
    form->Control<TButton>("BoxButton").Hide();
    small.SetSize(50, 40);
    form->Control<TImage>("View").SetBitmap(small);
    EXPECT_EQ(box.HorzScrollBar().Position(), 0);
    EXPECT_EQ(box.VertScrollBar().Position(), 0);
    ScrollBy(box, -10, -10);
    EXPECT_EQ(box.HorzScrollBar().Position(), 0);
    EXPECT_FALSE(::GetWindowLongA(box.Handle(), GWL_STYLE) & WS_HSCROLL);
}

TEST_F(Scrolling, TheBarsRequestsMoveTheContent) {
    FillView();
    auto& box = Box();
    HWND window = box.Handle();
    ::SendMessageA(window, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(box.VertScrollBar().Position(), 12);  // the layout's increment
    // The smooth horizontal bar steps by a tenth of its page.
    ::SendMessageA(window, WM_HSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(box.HorzScrollBar().Position(), box.ClientWidth() / 10);
    ::SendMessageA(window, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(box.VertScrollBar().Position(), 12 + box.ClientHeight());
    ::SendMessageA(window, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(box.VertScrollBar().Position(), box.VertScrollBar().MaxPosition());
    ::SendMessageA(window, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(box.VertScrollBar().Position(), 0);
    // Dragging the thumb: the tracking bar follows at once, the other one only
    // when the thumb is let go.
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, 0, 0};
    info.nPos = 50;
    ::SetScrollInfo(window, SB_VERT, &info, FALSE);
    ::SendMessageA(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 50), 0);
    EXPECT_EQ(box.VertScrollBar().Position(), 0);
    ::SendMessageA(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 50), 0);
    EXPECT_EQ(box.VertScrollBar().Position(), 50);
    ::SetScrollInfo(window, SB_HORZ, &info, FALSE);
    ::SendMessageA(window, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 50), 0);
    EXPECT_EQ(box.HorzScrollBar().Position(), 50);
}

TEST_F(Scrolling, ScrolledContentIsDrawnAndHitShifted) {
    FillView();
    ShowForm();
    auto& box = Box();
    box.HorzScrollBar().SetPosition(100);
    box.VertScrollBar().SetPosition(60);
    Settle();
    HWND window = box.Handle();
    // The client point (10, 20) shows the picture's pixel (110, 80).
    EXPECT_EQ(glimra::test::ControlsTest::PixelAt(window, 10, 20), RGB(110, 80, 0));
    EXPECT_EQ(glimra::test::ControlsTest::PixelAt(window, 70, 5), RGB(170, 65, 0));
    ClickAt(window, 10, 20);
    EXPECT_EQ(form->events, std::vector<std::string>{"down View 110,80"});
    // The button's window stands where its position and the scroll say.
    auto& button = form->Control<TButton>("BoxButton");
    RECT r;
    ::GetWindowRect(button.Handle(), &r);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 300 - 100);
    EXPECT_EQ(r.top, 10 - 60);
    EXPECT_EQ(button.Left(), 300);
    SaveScreenshot(form->Handle(), "controls-scrolled");
    // Back at the start.
    ScrollBy(box, 1000, 1000);
    Settle();
    EXPECT_EQ(glimra::test::ControlsTest::PixelAt(window, 10, 20), RGB(10, 20, 0));
    ::GetWindowRect(button.Handle(), &r);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 300);
}

TEST_F(Scrolling, BevelsTakeTheirRoomBetweenTheBorderAndTheScrollBars) {
    auto& box = form->Control<TScrollBox>("Bevelled");
    // A raised outer bevel (drawn in the light and dark 3D colours) and a space
    // inside it, two pixels each, inside the two pixels of the sunken border.
    EXPECT_EQ(box.ClientWidth(), 120 - 4 - 8);
    EXPECT_TRUE(::GetWindowLongA(box.Handle(), GWL_STYLE) & WS_HSCROLL);
    EXPECT_EQ(box.ClientHeight(), 60 - 4 - 8 - ::GetSystemMetrics(SM_CYHSCROLL));
    EXPECT_EQ(box.HorzScrollBar().Page(), box.ClientWidth());
    ShowForm();
    HWND window = box.Handle();
    win::WindowDC dc = win::WindowDC::WholeWindow(window);
    EXPECT_EQ(::GetPixel(dc.Get(), 2, 20), ::GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(::GetPixel(dc.Get(), 117, 20), ::GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(::GetPixel(dc.Get(), 4, 20), ColorToRGB(box.Color()));
    EXPECT_EQ(PixelAt(window, 0, 0), RGB(255, 0, 0));
    // Without a bevel kind the bevels are not there.
    box.SetBevelKind(TBevelKind::bkNone);
    EXPECT_EQ(box.ClientWidth(), 120 - 4);
}

TEST_F(Scrolling, AFormScrollsItsOwnClientAreaWhenItIsSmallerThanItsContent) {
    EXPECT_FALSE(form->AutoScroll());
    form->SetAutoScroll(true);
    ShowForm();
    // The content: the buttons reach 475 x 325, the status bar adds 20 below.
    EXPECT_EQ(form->HorzScrollBar().Range(), 508);  // the separator reaches furthest
    EXPECT_FALSE(::GetWindowLongA(form->Handle(), GWL_STYLE) & WS_VSCROLL);
    form->SetClientWidth(300);
    form->SetClientHeight(200);
    application.ProcessMessages();
    EXPECT_TRUE(::GetWindowLongA(form->Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(form->VertScrollBar().Range(), 325 + 20);
    form->VertScrollBar().SetPosition(1000);
    EXPECT_EQ(form->VertScrollBar().Position(), 345 - form->ClientHeight());
    // The bottom-aligned status bar sits at the bottom of the content.
    auto& status = form->Control<TPanel>("StatusPanel");
    EXPECT_EQ(status.Top(), 325);
    RECT r;
    ::GetWindowRect(status.Handle(), &r);
    ::MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.bottom, form->ClientHeight());
}

}  // namespace
