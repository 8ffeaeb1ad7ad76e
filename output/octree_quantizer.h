// Octree colour quantisation: a palette of at most 256 colours made for one
// picture.
#pragma once

#include <vector>

#include "imaging/pixel_view.h"
#include "output/palette_color.h"

namespace glimra {

// Feeds the pixels of `view` (24-bit) row by row from the top, left to right, to
// an octree of depth 6 (colours told apart by the top six bits of each channel).
// Whenever it holds more than 256 leaves, the most recently created node of the
// deepest level that still has reducible nodes absorbs its children and becomes
// a leaf, until at most 256 remain. Each leaf gives one entry, the truncated
// average of the colours that fell into it, in the tree's order (children by
// red, green, blue bit, from 0 to 7). An empty view gives an empty palette.
std::vector<PaletteColor> BuildOctreePalette(const PixelView& view);

}  // namespace glimra
