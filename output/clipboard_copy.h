// The copy command's work: the picture on the clipboard as a bitmap.
#pragma once

#include <windows.h>

#include "ui/TBitmap.h"

namespace glimra {

// Replaces the clipboard's content with a copy of `picture` (same size and
// pixel layout) under CF_BITMAP. The program's pictures (the display's own
// layout, 24 or 32 bits per pixel) have no colour table, so there is never a
// palette to hand over with it. Throws std::runtime_error "Cannot open
// clipboard" when another program holds the clipboard, leaving it as it was;
// the clipboard is always closed again once it was opened.
void CopyToClipboard(HWND owner, ui::TBitmap& picture);

}  // namespace glimra
