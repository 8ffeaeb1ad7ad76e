// The copy command's work: the picture on the clipboard as a bitmap.
#pragma once

#include <windows.h>

namespace glimra {

// Replaces the clipboard's content with a copy of `picture` (a DIB section;
// the copy has its size and pixel layout) under CF_BITMAP, and a copy of its
// colour table under CF_PALETTE when it has one. Throws std::runtime_error
// "Cannot open clipboard" when another program holds the clipboard, leaving it
// as it was; the clipboard is always closed again once it was opened.
void CopyToClipboard(HWND owner, HBITMAP picture);

}  // namespace glimra
