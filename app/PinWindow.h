// A picture pinned to the screen: a borderless top-most window of its own that
// shows a copy of the picture at 100 %, where the picture was taken from. A drag
// moves it, the wheel zooms it from 25 % to 400 %, and Escape or a double click
// closes it. Several may be open; each keeps its own pixels, so that later
// captures and edits leave it as it is.
#pragma once

#include <windows.h>

#include "imaging/pixel_view.h"

// Opens a pin window of the picture with its top-left corner at `at` (screen
// pixels); it lives until it is closed, or until the program ends.
void PinPicture(const glimra::PixelView& picture, POINT at);
