// Scaling a line of text up to the size a recogniser reads best at: screen text
// is far smaller than the print that recognisers are trained on.
#pragma once

#include "ocr/engine.h"

namespace glimra::ocr {

enum class Filter { Bilinear, Bicubic, Lanczos };

// `line` scaled by `factor` (at least 1) with `filter`, inside a margin of
// `margin` pixels of paper.
GrayImage ScaleLine(const GrayImage& line, double factor, int margin, Filter filter);

}  // namespace glimra::ocr
