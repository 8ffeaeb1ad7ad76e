// Floyd-Steinberg error diffusion of a 24-bit picture onto a palette.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/pixel_view.h"
#include "output/palette_color.h"
#include "output/palette_lookup.h"

namespace glimra {

// Serpentine: the top row left to right, each following row in the opposite
// direction to the one before. A pixel passes its error on per channel in whole
// sixteenths: 7 to the next pixel in scan direction, 3, 5 and 1 to the pixels
// below behind it, under it and ahead of it. A pixel's channel plus its incoming
// sixteenths shifted right by 4 (rounding down) is clamped to 0..255 and mapped
// to the nearest palette entry; the difference to that entry is the error.
class FloydSteinbergDither {
  public:
    // `view` (24-bit) must outlive the object; `palette` holds 1 to 256 entries.
    FloydSteinbergDither(const PixelView& view, const std::vector<PaletteColor>& palette);

    // Maps the next row, from the top, to `view.width` palette indexes.
    void NextRow(std::uint8_t* indexes);

  private:
    template <int kStep>
    void MapRow(std::uint8_t* indexes);

    PixelView view_;
    PaletteLookup lookup_;
    int row_ = 0;
    // Incoming error in sixteenths, three channels (blue, green, red) per pixel,
    // with one spare pixel at each end that takes what falls off the picture.
    std::vector<int> current_;
    std::vector<int> below_;
};

}  // namespace glimra
