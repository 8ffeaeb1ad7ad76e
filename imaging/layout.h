// Conversion between the two pixel layouts the commands work in: 24 bits per pixel
// (blue, green, red) and 32 bits per pixel (blue, green, red, fourth byte).
#pragma once

#include <functional>

#include "imaging/pixel_view.h"

namespace glimra {

// Copies every pixel of `source` into `target` in the target's layout. Both views must
// have the same width and height, 3 or 4 bytes per pixel, and must not overlap. From
// 32 to 24 bits the fourth byte is dropped; from 24 to 32 it is 0; between equal
// layouts the pixel bytes are copied as they are. Row padding is neither read nor
// written. Returns false, writing nothing, when the views do not fit these rules.
bool ConvertLayout(const PixelView& source, const PixelView& target);

// ConvertLayout from a 32-bit `source` into a 24-bit `target` with the pixels of each row
// in the opposite order: Flip Horizontal of a captured picture in one pass. Returns false,
// writing nothing, for any other layouts or when ConvertLayout would refuse the views.
bool PackMirrored(const PixelView& source, const PixelView& target);

// A command on a picture that has to be brought into another layout first, run band by
// band so that each band is still in the cache when the command works on it: for bands
// of rows from the top to the bottom, converts rows [firstRow, endRow) of `source` into
// the same rows of `target` and then calls work(firstRow, endRow). For work that treats
// each row by itself, the result is that of ConvertLayout followed by the work on all
// rows. When `source` and `target` are the same view (a picture already in the layout),
// only the work runs. Returns false when ConvertLayout would refuse the views (before
// any work) or when `work` returns false (which stops it). Brighten, for example, on a
// picture of either layout and a 24-bit copy:
//   ConvertLayoutInBands(picture, copy, [&](int first, int end) {
//       return StepBrightness(copy.Rows(first, end), kBrightenStep); });
bool ConvertLayoutInBands(const PixelView& source, const PixelView& target,
                          const std::function<bool(int firstRow, int endRow)>& work);

}  // namespace glimra
