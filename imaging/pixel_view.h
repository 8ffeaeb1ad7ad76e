// The plain pixel view that all platform-neutral pixel code works on: a block of
// rows addressed from the top, with a stride that may include padding. It owns
// nothing; TBitmap (a DIB section) and the tests hand such views out.
#pragma once

#include <cstddef>
#include <cstdint>

namespace glimra {

struct PixelView {
    std::uint8_t* data = nullptr;  // first byte of the top row
    int width = 0;                 // pixels per row
    int height = 0;                // rows
    std::ptrdiff_t stride = 0;     // bytes from one row to the next (may be negative)
    int bytesPerPixel = 0;         // 3: blue, green, red; 4: blue, green, red, fourth byte

    std::uint8_t* Row(int y) const { return data + stride * y; }
    bool Empty() const { return width <= 0 || height <= 0; }
    // The rows first (inclusive) to end (exclusive) as a view of their own.
    PixelView Rows(int first, int end) const {
        return {Row(first), width, end - first, stride, bytesPerPixel};
    }
};

}  // namespace glimra
