#include "output/floyd_steinberg_dither.h"

#include <algorithm>

namespace glimra {

FloydSteinbergDither::FloydSteinbergDither(const PixelView& view,
                                           const std::vector<PaletteColor>& palette)
    : view_(view),
      palette_(palette),
      lookup_(palette),
      current_(3 * (static_cast<std::size_t>(std::max(view.width, 0)) + 2)),
      below_(current_.size()) {}

void FloydSteinbergDither::NextRow(std::uint8_t* indexes) {
    const std::uint8_t* row = view_.Row(row_);
    const bool forward = row_ % 2 == 0;
    const int step = forward ? 1 : -1;
    std::fill(below_.begin(), below_.end(), 0);
    for (int i = 0; i < view_.width; ++i) {
        const int x = forward ? i : view_.width - 1 - i;
        const std::uint8_t* pixel = row + 3 * x;
        int* error = &current_[3 * (x + 1)];
        int value[3];  // blue, green, red
        for (int c = 0; c < 3; ++c)
            value[c] = std::clamp(pixel[c] + (error[c] >> 4), 0, 255);
        const int index = lookup_.Nearest(value[2], value[1], value[0]);
        indexes[x] = static_cast<std::uint8_t>(index);
        const PaletteColor& entry = palette_[index];
        const int difference[3] = {value[0] - entry.blue, value[1] - entry.green,
                                   value[2] - entry.red};
        int* ahead = error + 3 * step;
        int* under = &below_[3 * (x + 1)];
        for (int c = 0; c < 3; ++c) {
            const int e = difference[c];
            ahead[c] += 7 * e;
            under[c - 3 * step] += 3 * e;
            under[c] += 5 * e;
            under[c + 3 * step] += e;
        }
    }
    current_.swap(below_);
    ++row_;
}

}  // namespace glimra
