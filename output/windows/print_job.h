// One printed document: the page of the picture, from StartDoc to EndDoc.
#pragma once

#include <windows.h>

#include "imaging/pixel_view.h"

namespace glimra {

// Prints `picture` (24-bit) on one page of the printer behind `printer`, with
// the time of printing in its footer. Returns once the document was ended
// without error; otherwise the document is aborted and std::runtime_error
// says what failed. A picture without pixels (width or height 0) is refused
// before anything is sent.
void PrintPicture(HDC printer, const PixelView& picture);

}  // namespace glimra
