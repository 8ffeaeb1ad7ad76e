// Finds the palette entry nearest to a colour as Windows' GetNearestPaletteIndex
// does: the least sum of squared channel differences, the first entry on ties.
#pragma once

#include <cstdint>
#include <vector>

#include "output/palette_color.h"

namespace glimra {

class PaletteLookup {
  public:
    // `palette` holds 1 to 256 entries and must outlive the lookup.
    explicit PaletteLookup(const std::vector<PaletteColor>& palette);

    int Nearest(int red, int green, int blue);

  private:
    // Colour space is cut into cubes of 8 x 8 x 8 values. For each cube that a
    // lookup meets, the entries that can be nearest to some colour in it are
    // listed once, in palette order: every entry whose least distance to the cube
    // is at most the smallest greatest distance of any entry. Only they are
    // searched, so ties still go to the first entry.
    struct Cube {
        std::int32_t first = -1;  // into candidates_; -1: not listed yet
        std::int32_t count = 0;
    };

    const Cube& CubeOf(int red, int green, int blue);

    const std::vector<PaletteColor>& palette_;
    std::vector<Cube> cubes_;
    std::vector<std::uint8_t> candidates_;
};

}  // namespace glimra
