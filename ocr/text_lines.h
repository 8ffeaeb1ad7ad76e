// Cutting a picture's ink into lines of text, in reading order. Lines are
// separated by rows without ink; a block of lines is split into columns only at
// a gutter, a gap through the whole block several times as wide as its lines
// are high, with lines on both sides, so that a column of line numbers beside
// code stays in each line. Lines that touch (no blank row between them) are cut
// where they repeat.
#pragma once

#include <vector>

#include "ocr/engine.h"
#include "ocr/ink.h"

namespace glimra::ocr {

struct TextLine {
    Box box;          // in the pixels of the ink image
    int xHeight = 0;  // the height of the line's small letters, as its rows of ink say
};

// Pixels darker than this are ink when lines are cut.
constexpr std::uint8_t kInkGray = 192;

// The lines of `ink` (ink dark on paper), columns left to right, each column's
// lines top to bottom. Specks lower than three rows are left out.
std::vector<TextLine> FindLines(const GrayImage& ink);

}  // namespace glimra::ocr
