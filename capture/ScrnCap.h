// The screen-grab routines: one block transfer from a drawing context of the
// screen (or of a window) into a bitmap of the display's own pixel format.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/TBitmap.h"

// The screen's pixels inside the rectangle (right and bottom exclusive), read
// from the drawing context of the whole screen. A rectangle of zero width or
// height gives an empty bitmap; the caller owns the result.
std::unique_ptr<ui::TBitmap> GrabScreenRect(RECT rectangle);

// The window's outer rectangle in screen pixels, frame included; an empty
// rectangle for a handle whose rectangle cannot be read (a window that is gone).
// GrabScreenRect of it is what the screen shows there, covering windows included.
RECT WindowArea(HWND window);

// Mode 0: the whole primary display. Any other mode: the foreground window through
// its own drawing context, title bar and borders included (an empty bitmap when
// there is no foreground window). The target is resized and filled.
void GrabScreen(int mode, ui::TBitmap& target);

// Fills the whole bitmap with black, the colour of a grab where the screen has no
// pixels to give: a bitmap's memory may have held another picture before.
void FillBlack(ui::TBitmap& bitmap);
