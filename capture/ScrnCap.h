// The screen-grab routines: block transfers from the drawing context of the
// screen into a bitmap of the display's own pixel format. Every rectangle is in
// physical screen pixels, which may be negative left of or above the primary
// display; wherever no display shows the screen, a grab is black.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/TBitmap.h"

// The screen's pixels inside the rectangle (right and bottom exclusive), read
// from the drawing context of the whole screen, black where no display is. A
// rectangle of zero width or height gives an empty bitmap; the caller owns the
// result.
std::unique_ptr<ui::TBitmap> GrabScreenRect(RECT rectangle);

// What the user sees as the window, in screen pixels: the frame the compositor
// draws (DWMWA_EXTENDED_FRAME_BOUNDS, without the invisible resize borders)
// where it gives one, else the window's outer rectangle, frame included. An
// empty rectangle for a handle whose rectangle cannot be read (a window that is
// gone). GrabScreenRect of it is what the screen shows there, covering windows
// included.
RECT WindowArea(HWND window);

// Mode 0: the whole primary display. Any other mode: the foreground window as
// the screen shows it (WindowArea of it, read from the screen, so that content
// drawn past the window's own drawing context, as DirectX draws, is in it too);
// an empty bitmap when there is no foreground window or it is minimised or
// cloaked. The target is resized and filled.
void GrabScreen(int mode, ui::TBitmap& target);

// All displays as one picture: the whole virtual screen (SM_XVIRTUALSCREEN and
// the rest), black where no display is. The main window's "All Displays"
// command. The target is resized and filled.
void GrabAllDisplays(ui::TBitmap& target);

// Fills the whole bitmap with black, the colour of a grab where the screen has no
// pixels to give: a bitmap's memory may have held another picture before.
void FillBlack(ui::TBitmap& bitmap);
