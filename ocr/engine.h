// The one interface behind which a text recogniser reads: Glimra's own pipeline
// (ocr/recognise.h) cuts a picture into lines of dark text on white, scales each
// to the height recognisers read best at, and hands one line at a time to an
// engine. The built-in engine (Tesseract, in a DLL of its own) and Windows' own
// recogniser both implement it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glimra::ocr {

// 8-bit gray pixels, row after row without padding: 0 is ink, 255 is paper.
struct GrayImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    std::uint8_t at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// A word as read, UTF-8, with its box in the pixels of the image read
// (left and top inclusive, right and bottom exclusive).
struct Word {
    std::string text;
    int left = 0, top = 0, right = 0, bottom = 0;
};

class Engine {
public:
    virtual ~Engine() = default;
    // Reads one line of text: `line` holds a single line of dark text on white
    // with a margin around it. Returns its words from left to right; none when
    // the line holds no text the engine can read.
    virtual std::vector<Word> ReadLine(const GrayImage& line) = 0;
};

}  // namespace glimra::ocr
