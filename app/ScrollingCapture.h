// The scrolling capture: a window's visible client part grabbed over and over
// while Glimra scrolls it down, the frames joined into one tall picture from
// their pixels (ScrollStitch), and the window scrolled back where it was.
//
// The content is first brought to its top: the scroll bar's SB_TOP, else the
// Home key, else steps up of the wheel, the scroll bar's lines or Page Up until
// it stops. It is scrolled down by whichever of these it answers, tried in this
// order: its scroll bar's line requests (WM_VSCROLL), the mouse wheel, the Page
// Down key. Lines and wheel steps are sent a few at a time, as many as move the
// content about half its visible height, so that each frame shares enough rows
// with the one before to prove its offset.
//
// The way back goes by the scroll bar's thumb to the position read before,
// checked by reading it again. Where the position cannot be read, or the window
// did not arrive, the thumb is sent to the values that the content's measured
// places point at, each place found in the joined picture. A window that does
// not follow its thumb is
// stepped back by its content: each place it stands at is found in the joined
// picture, and steps of its own way, then of lines, arrow keys and the wheel,
// bring it to the rows the window showed at the start.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "ui/TBitmap.h"

// The window or control at the screen point that has a vertical scroll bar, or
// its nearest parent that has one; the window at the point itself when none has.
HWND ScrollableAt(POINT p);

struct ScrollingResult {
    std::unique_ptr<ui::TBitmap> picture;  // null when nothing was taken
    POINT origin{};                        // where its top left was on the screen
    // Why nothing was taken (for a message box), or why the picture ends early
    // (for the status bar); empty when it ended as it should.
    std::string failure, ended;
    // Why the window is not back where it was (for the status bar), or empty.
    std::string place;
};

// The bounds of one capture.
constexpr int kScrollingMaxRows = 30000;
constexpr std::size_t kScrollingMaxBytes = std::size_t(256) << 20;

// Brings the window to the top of the windows and takes it, from the top of its
// content unless `fromTop` is false (then from where it stands), until the
// content stops moving, Escape is pressed (what was taken is kept), or a bound is
// reached. The main window is restored before the progress window goes.
ScrollingResult CaptureScrolling(HWND window, bool fromTop);
