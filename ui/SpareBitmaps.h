// Large DIB sections let go of lately, kept for the next picture of the same size
// and layout. Fresh memory costs its first touch: a page fault for every 4 KiB, which
// for a large picture under Wine costs much more than copying the picture. Edits,
// undo and captures make and drop pictures of one size over and over, so the next
// one mostly finds its memory already touched.
#pragma once

#include <windows.h>

#include "win/handles.h"

namespace ui {

namespace SpareBitmaps {

// Pictures smaller than this go back to the system at once: their memory is cheap.
inline constexpr long long kSmallest = 1 << 20;
// At most this many are kept, the latest; keeping them costs their memory.
inline constexpr int kKept = 2;

// Keeps `bitmap` (a DIB section of that size and bits per pixel, pixels at `bits`)
// for a later Take, or deletes it when it is small; the oldest kept one goes when
// there are more than kKept.
void Keep(win::Bitmap bitmap, void* bits, int width, int height, int bitsPerPixel);
// A kept DIB section of exactly that size and bits per pixel, with its pixels at
// `bits` as they were left; false when there is none.
bool Take(int width, int height, int bitsPerPixel, win::Bitmap& bitmap, void*& bits);

}  // namespace SpareBitmaps

}  // namespace ui
