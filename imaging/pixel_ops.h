// The pixel commands that change a picture's pixels: Grayscale, the brightness step of
// Brighten and Darken, and Invert. Each walks the rows from the top and touches only
// the bytes of pixels, never the padding at the end of a row. Each returns false,
// changing nothing, when a view is not in the layout it works on. Grayscale and the
// brightness step work in place on a picture already in their layout; a command whose
// picture is in the other layout runs them through ConvertLayoutInBands (layout.h).
#pragma once

#include <chrono>
#include <functional>

#include "imaging/pixel_view.h"

namespace glimra {

// Grayscale, on a 32-bit view: gray = 0.30 R + 0.59 G + 0.11 B rounded to the nearest
// integer, written to blue, green and red; the fourth byte keeps its value. The weights
// are the nearest 80-bit values of 0.30, 0.59 and 0.11, and an exact decimal half is
// decided as (R * 0.30 + G * 0.59) + B * 0.11 evaluates in 80-bit arithmetic, each step
// rounded to nearest, the end result rounded to an integer with halves to even. The
// evaluation sets the x87 precision itself, whatever the caller's control word says.
bool Grayscale(const PixelView& picture);

// The brightness step, on a 24-bit view: every channel byte v becomes v - (v * step) / 255
// (division truncated toward zero), clamped to 0..255. Steps outside -255..255 are refused.
constexpr int kBrightenStep = -10;
constexpr int kDarkenStep = 10;
bool StepBrightness(const PixelView& picture, int step);

// Invert of the rows firstRow (inclusive) to endRow (exclusive) of a 24-bit view: every
// channel byte v becomes 255 - v. Refuses a row range outside 0..height.
bool InvertRows(const PixelView& picture, int firstRow, int endRow);

// How often Invert lets the caller repaint: at most once per `frame`, timed by `now`.
struct RepaintPacing {
    std::chrono::steady_clock::duration frame = std::chrono::milliseconds(16);
    std::function<std::chrono::steady_clock::time_point()> now = std::chrono::steady_clock::now;
};

// The Invert command: brings `source` (24 or 32 bits per pixel) into the 24-bit
// `target` and inverts it from the top row down, band by band (see ConvertLayoutInBands;
// `source` may be `target` itself). After a band it calls repaint(firstRow, endRow) with
// the rows finished since the last repaint, once the pixel work since that repaint has
// taken at least a frame and at least as long as that repaint did; the last rows are
// handed over at the end. So every row is repainted once, the inversion shows spreading
// down the picture, and repainting never costs more than the pixel work. When `source`
// is another view, the target's rows from endRow down still hold what they held before.
// Returns false, changing nothing, when the views do not fit.
bool Invert(const PixelView& source, const PixelView& target,
            const std::function<void(int firstRow, int endRow)>& repaint,
            const RepaintPacing& pacing = {});

}  // namespace glimra
