#include "ocr/recognise.h"

#include <algorithm>
#include <cmath>

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

// Reads one line; the words' boxes come back in the picture's pixels.
std::vector<Word> ReadOne(const PixelView& picture, Box box, int xHeight, Engine& engine,
                          const Preparation& preparation) {
    // The cut's threshold leaves out the faintest edges of the letters.
    box = {std::max(0, box.left - 2), std::max(0, box.top - 1),
           std::min(picture.width, box.right + 2), std::min(picture.height, box.bottom + 1)};
    const Colour background = BackgroundColour(picture, box);
    const bool dark = background.red + background.green + background.blue < 3 * 128;
    const GrayImage ink =
        InkImage(picture, box, background, dark ? preparation.inkGammaDark : preparation.inkGamma);
    const double factor = std::max(1.0, preparation.xHeight / std::max(xHeight, 1));
    std::vector<Word> words =
        engine.ReadLine(ScaleLine(ink, factor, preparation.margin, preparation.filter));
    const auto back = [&](int v, int origin) {
        return origin + int(std::lround((v - preparation.margin) / factor));
    };
    for (Word& w : words)
        w = {std::move(w.text), back(w.left, box.left), back(w.top, box.top),
             back(w.right, box.left), back(w.bottom, box.top)};
    return words;
}

long Characters(const std::string& text) {
    long n = 0;
    for (char c : text)
        n += (c & 0xC0) != 0x80 && c != ' ';
    return n;
}

// How far apart two words may be and still be one: a recogniser may split a
// word at an underscore, while a space leaves about half an average character.
double GaplessWidth(const std::vector<Word>& words) {
    long width = 0, characters = 0;
    for (const Word& w : words) {
        width += w.right - w.left;
        characters += Characters(w.text);
    }
    return characters ? 0.3 * double(width) / double(characters) : 0;
}

// The pitch of a monospace picture, 0 for another: one pitch p fits all its
// words of four or more characters, n characters spanning n - 1 cells and part
// of the last, (n - 1) p to n p give or take a pixel. Proportional text fails
// that over as many words as asked for here.
double MonospacePitch(const std::vector<std::vector<Word>>& lines) {
    double least = 0, most = 1e9;
    int fitted = 0;
    for (const auto& words : lines)
        for (const Word& w : words) {
            const long n = Characters(w.text);
            if (n < 4) continue;
            least = std::max(least, (w.right - w.left - 1.0) / double(n));
            most = std::min(most, (w.right - w.left + 1.0) / double(n - 1));
            ++fitted;
        }
    return fitted >= 8 && least <= most ? (least + most) / 2 : 0;
}

std::string Join(const std::vector<Word>& words, double gapless);

// The lines' texts: in a monospace picture a space leaves at least a cell
// between two words' ink, and the glyphs of one word less.
void Finish(const std::vector<std::vector<Word>>& lines, Reading& reading) {
    const double pitch = MonospacePitch(lines);
    for (const auto& words : lines)
        if (std::string text = Join(words, pitch > 0 ? 0.85 * pitch : GaplessWidth(words));
            !text.empty())
            reading.lines.push_back(std::move(text));
}

std::string Join(const std::vector<Word>& words, double gapless) {
    std::string text;
    const Word* before = nullptr;
    for (const Word& w : words) {
        // Words as the engine gives them may carry spaces of their own.
        const std::size_t first = w.text.find_first_not_of(" \t\r\n");
        if (first == std::string::npos) continue;
        const std::size_t last = w.text.find_last_not_of(" \t\r\n");
        if (before && w.left - before->right >= gapless) text += ' ';
        text.append(w.text, first, last - first + 1);
        before = &w;
    }
    // Curly quotes (U+2018, U+2019, U+201C, U+201D: E2 80 98/99/9C/9D) to straight ones.
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i + 2 < text.size() && text[i] == '\xE2' && text[i + 1] == '\x80') {
            const char c = text[i + 2];
            if (c == '\x98' || c == '\x99' || c == '\x9C' || c == '\x9D') {
                out += c == '\x98' || c == '\x99' ? '\'' : '"';
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

}  // namespace

std::string JoinWords(const std::vector<Word>& words) {
    return Join(words, GaplessWidth(words));
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
    std::vector<std::vector<Word>> lines;
    for (int top = 0; top < picture.height;) {
        const int bottom = std::min(picture.height, top + std::max(preparation.band, 64));
        const bool last = bottom == picture.height;
        const Box area{0, top, picture.width, bottom};
        const GrayImage ink = ScreenInkImage(picture, area);
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
                Finish(lines, reading);
                return reading;
            }
            band.push_back(box);
            lines.push_back(ReadOne(picture, box, line.xHeight, engine, preparation));
        }
        std::erase_if(read, [next](const Box& b) { return b.bottom <= next; });
        read.insert(read.end(), band.begin(), band.end());
        top = next;
    }
    Finish(lines, reading);
    return reading;
}

}  // namespace glimra::ocr
