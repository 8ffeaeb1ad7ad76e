#include "ocr/recognise.h"

#include <algorithm>

#include "ocr/ink.h"
#include "ocr/text_lines.h"

namespace glimra::ocr {

namespace {

// Whether most of `box` lies in a line read before.
bool ReadBefore(const Box& box, const std::vector<Box>& read) {
    const long area = long(box.Width()) * box.Height();
    for (const Box& r : read) {
        const long w = std::min(box.right, r.right) - std::max(box.left, r.left);
        const long h = std::min(box.bottom, r.bottom) - std::max(box.top, r.top);
        if (w > 0 && h > 0 && 2 * w * h >= std::min(area, long(r.Width()) * r.Height()))
            return true;
    }
    return false;
}

std::string ReadOne(const PixelView& picture, Box box, int xHeight, Engine& engine,
                    const Preparation& preparation) {
    // The cut's threshold leaves out the faintest edges of the letters.
    box = {std::max(0, box.left - 2), std::max(0, box.top - 1),
           std::min(picture.width, box.right + 2), std::min(picture.height, box.bottom + 1)};
    const GrayImage ink = InkImage(picture, box, BackgroundColour(picture, box));
    const double factor = preparation.xHeight / std::max(xHeight, 1);
    return JoinWords(
        engine.ReadLine(ScaleLine(ink, factor, preparation.margin, preparation.filter)));
}

}  // namespace

std::string JoinWords(const std::vector<Word>& words) {
    std::string text;
    for (const Word& w : words) {
        // Words as the engine gives them may carry spaces of their own.
        const std::size_t first = w.text.find_first_not_of(" \t\r\n");
        if (first == std::string::npos) continue;
        const std::size_t last = w.text.find_last_not_of(" \t\r\n");
        if (!text.empty()) text += ' ';
        text.append(w.text, first, last - first + 1);
    }
    return text;
}

Reading Recognise(const PixelView& picture, Engine& engine, const std::atomic<bool>& cancel) {
    return Recognise(picture, engine, cancel, Preparation{});
}

Reading Recognise(const PixelView& picture, Engine& engine, const std::atomic<bool>& cancel,
                  const Preparation& preparation) {
    Reading reading;
    if (picture.Empty() || picture.bytesPerPixel < 3) return reading;
    // A tall picture is read in bands. A line that a band's end cuts is left to
    // the next band, which starts at its top; lines of other columns that the
    // next band finds again are known by their place and not read twice.
    std::vector<Box> read;
    for (int top = 0; top < picture.height;) {
        const int bottom = std::min(picture.height, top + std::max(preparation.band, 64));
        const bool last = bottom == picture.height;
        const Box area{0, top, picture.width, bottom};
        const GrayImage ink = InkImage(picture, area, BackgroundColour(picture, area));
        int next = bottom;
        std::vector<Box> band;
        for (const TextLine& line : FindLines(ink)) {
            const Box box{line.box.left, top + line.box.top, line.box.right, top + line.box.bottom};
            if (!last && line.box.bottom == ink.height && line.box.top > 0) {
                next = std::min(next, box.top);
                continue;
            }
            if (ReadBefore(box, read)) continue;
            if (cancel.load()) {
                reading.cancelled = true;
                return reading;
            }
            band.push_back(box);
            if (std::string text = ReadOne(picture, box, line.xHeight, engine, preparation);
                !text.empty())
                reading.lines.push_back(std::move(text));
        }
        std::erase_if(read, [next](const Box& b) { return b.bottom <= next; });
        read.insert(read.end(), band.begin(), band.end());
        top = next;
    }
    return reading;
}

}  // namespace glimra::ocr
