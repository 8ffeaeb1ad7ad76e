// Reads a packed device-independent bitmap, as the clipboard holds one under
// CF_DIB and CF_DIBV5: an information header (the classic 40 bytes, or one of
// the longer ones up to version 5), the colour masks where they follow it, a
// colour table, then the rows. The bytes come from any program that put them on
// the clipboard, so every part is checked against their count before it is read.
#pragma once

#include <cstdint>
#include <span>

#include "imaging/picture_file.h"

namespace glimra {

// The largest side taken, as for BMP files.
inline constexpr int kPackedDibMaxSide = 0x8000;

// Decodes `dib` into `target`. 1, 4 and 8 bits per pixel through the colour
// table; 16 and 32 through their masks (5-5-5 and 8-8-8 without); 24 as they
// are. A header long enough to hold an alpha mask (52 bytes and more) with one
// set, or one followed by four masks, gives the alpha: the picture has
// transparency when some pixel is neither transparent nor opaque throughout (all
// alpha 0 is taken for a writer that left the byte unused). Compressed rows
// (run lengths, JPEG, PNG) are refused. Throws PictureFileError.
void DecodePackedDib(std::span<const std::uint8_t> dib, PictureTarget& target);

}  // namespace glimra
