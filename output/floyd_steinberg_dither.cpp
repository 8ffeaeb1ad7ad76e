#include "output/floyd_steinberg_dither.h"

#include <algorithm>

namespace glimra {

FloydSteinbergDither::FloydSteinbergDither(const PixelView& view,
                                           const std::vector<PaletteColor>& palette)
    : view_(view),
      lookup_(palette),
      current_(3 * (static_cast<std::size_t>(std::max(view.width, 0)) + 2)),
      below_(current_.size()) {}

void FloydSteinbergDither::NextRow(std::uint8_t* indexes) {
    if (row_ % 2 == 0)
        MapRow<1>(indexes);
    else
        MapRow<-1>(indexes);
    current_.swap(below_);
    ++row_;
}

template <int kStep>
void FloydSteinbergDither::MapRow(std::uint8_t* indexes) {
    constexpr bool kForward = kStep > 0;
    const int first = kForward ? 0 : view_.width - 1;
    const std::uint8_t* pixel = view_.Row(row_) + 3 * first;
    std::uint8_t* index = indexes + first;
    // Errors are kept per pixel with a spare pixel at each end, hence the + 1.
    const int* incoming = &current_[3 * (first + 1)];
    int* below = &below_[3 * (first + 1) - 3 * kStep];
    // The error a pixel passes on stays in registers until it is complete:
    // `ahead` (7/16) for the next pixel of this row, `under` for the pixel below
    // this one (1/16 from the previous pixel so far) and `behind` for the pixel
    // below the previous one (1/16 and 5/16 so far), which gets its last 3/16
    // from this pixel and is then stored, once.
    int ahead[3] = {}, under[3] = {}, behind[3] = {};
    for (int i = 0; i < view_.width; ++i) {
        int value[3];  // blue, green, red
        for (int c = 0; c < 3; ++c) {
            // The same as pixel + ((incoming + ahead) >> 4), one step shorter
            // on the way from one pixel's error to the next pixel; and a branch
            // rather than a clamp, since values out of range come in stretches.
            int v = ((pixel[c] << 4) + incoming[c] + ahead[c]) >> 4;
            if (static_cast<unsigned>(v) > 255u) v = v < 0 ? 0 : 255;
            value[c] = v;
        }
        PaletteColor entry;
        *index = static_cast<std::uint8_t>(lookup_.Nearest(value[2], value[1], value[0], entry));
        const int error[] = {value[0] - entry.blue, value[1] - entry.green, value[2] - entry.red};
        for (int c = 0; c < 3; ++c) {
            below[c] = behind[c] + 3 * error[c];
            behind[c] = under[c] + 5 * error[c];
            under[c] = error[c];
            ahead[c] = 7 * error[c];
        }
        pixel += 3 * kStep;
        index += kStep;
        incoming += 3 * kStep;
        below += 3 * kStep;
    }
    for (int c = 0; c < 3; ++c)
        below[c] = behind[c];  // below the last pixel
}

}  // namespace glimra
