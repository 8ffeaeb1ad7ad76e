// The benchmark picture: the 3840 x 2160 screenshot, decoded once into 24-bit
// rows (blue, green, red) from the top, as the program holds a captured picture.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "imaging/pixel_view.h"

namespace bench {

struct Picture {
    std::vector<std::uint8_t> pixels;
    int width = 0;
    int height = 0;
    int stride = 0;  // bytes per row, padded to a multiple of 4 as in a DIB

    glimra::PixelView View() { return {pixels.data(), width, height, stride, 3}; }
    std::size_t Bytes() const { return pixels.size(); }
};

// The decoded screenshot (loaded on first use; aborts with a message if missing).
const Picture& Screenshot();

// Marks a benchmark so that the report prints its time as a ratio to memcpy of
// `bytes` bytes, measured in the same run.
void CompareWithMemcpy(benchmark::State& state, std::size_t bytes);

}  // namespace bench
