// Glimra's text recognition: a picture of screen text is turned into ink on
// paper, cut into lines (ocr/text_lines.h), each line scaled up to the height
// the engine reads best at, and read one line at a time.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "imaging/pixel_view.h"
#include "ocr/engine.h"
#include "ocr/line_scale.h"

namespace glimra::ocr {

struct Reading {
    std::vector<std::string>
        lines;  // UTF-8, in reading order; a column's lines before the next column's
    bool cancelled = false;
};

// How lines are prepared for the engine; the defaults are what the benchmark
// (bench/text_recognition) found best for Tesseract.
struct Preparation {
    double xHeight = 16;  // the small letters' height the lines are scaled to
    Filter filter = Filter::Lanczos;
    double inkGamma = 0.7;       // see InkImage (ocr/ink.h), for text on a light background
    double inkGammaDark = 0.85;  // the same for text on a dark one
    int margin = 12;             // paper around a scaled line, in its pixels
    int band = 2048;             // the rows read as one band of a tall picture
};

// Reads the text in a picture (3 or 4 bytes a pixel, blue green red).
// `cancel` is checked between lines; when it turns true, returns with cancelled set.
Reading Recognise(const PixelView& picture, Engine& engine, const std::atomic<bool>& cancel);
Reading Recognise(const PixelView& picture, Engine& engine, const std::atomic<bool>& cancel,
                  const Preparation& preparation);

// A line's words joined by single spaces, but without one where two words
// nearly touch (a recogniser may split "parse_config" at its underscore); curly
// quotes become straight ones, which screen text (code, paths, dialogs) uses and
// recognisers trained on print tend to read as curly.
std::string JoinWords(const std::vector<Word>& words);

}  // namespace glimra::ocr
