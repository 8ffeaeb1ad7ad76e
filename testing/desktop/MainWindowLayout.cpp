#include "testing/desktop/MainWindowLayout.h"

namespace glimra::test {

namespace {

// From the layout: the menu bar ToolBar2 is 21 high; the main tool bar Panel1
// follows, 57 high, its speed buttons 72 wide; then the image-edit tool bar ToolBar1 at 78, 44
// high, its buttons 60 wide from its left edge; then the image area ScrollBox1. The status bar
// Panel2 is the bottom 20 pixels.
constexpr int kMenuBarHeight = 21;
constexpr int kSpeedButtonWidth = 72, kSpeedButtonHeight = 57;
constexpr int kEditTop = 78, kEditHeight = 44, kEditWidth = 60;
constexpr int kImageTop = 122;
constexpr int kStatusHeight = 20;

POINT ClientToScreenPoint(HWND main, int x, int y) {
    POINT p{x, y};
    ::ClientToScreen(main, &p);
    return p;
}

RECT ClientRectOnScreen(HWND main, int left, int top, int right, int bottom) {
    const POINT a = ClientToScreenPoint(main, left, top);
    const POINT b = ClientToScreenPoint(main, right, bottom);
    return {a.x, a.y, b.x, b.y};
}

}  // namespace

POINT CentreOf(HWND main, EditButton button) {
    return ClientToScreenPoint(main, int(button) * kEditWidth + kEditWidth / 2,
                               kEditTop + kEditHeight / 2);
}

POINT CentreOfSpeedButton(HWND main, int left) {
    return ClientToScreenPoint(main, left + kSpeedButtonWidth / 2,
                               kMenuBarHeight + kSpeedButtonHeight / 2);
}

POINT PicturePoint(HWND main, int x, int y) {
    return ClientToScreenPoint(main, x, kImageTop + y);
}

RECT MenuBarRect(HWND main) {
    RECT client;
    ::GetClientRect(main, &client);
    return ClientRectOnScreen(main, 0, 0, client.right, kMenuBarHeight);
}

RECT StatusBarRect(HWND main) {
    RECT client;
    ::GetClientRect(main, &client);
    return ClientRectOnScreen(main, 0, client.bottom - kStatusHeight, client.right, client.bottom);
}

}  // namespace glimra::test
