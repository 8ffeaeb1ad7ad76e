// One pixel set through a picture's canvas, as the tests paint the pictures
// whose handling they check.
#pragma once

#include <windows.h>

#include "ui/TBitmap.h"

namespace glimra::test {

inline void SetPixel(ui::TCanvas& canvas, int x, int y, COLORREF colour) {
    ::SetPixelV(canvas.Handle(), x, y, colour);
}

}  // namespace glimra::test
