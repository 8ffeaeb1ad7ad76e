// Feeds arbitrary pictures to the pipeline: the first bytes choose the width,
// the bytes a pixel and the band height, the rest are the pixels. Every line
// handed to the engine must be a whole picture of paper-bordered ink, and the
// reading must end, however the ink lies (AddressSanitizer stops a read past a
// line or the picture).
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ocr/recognise.h"

namespace {

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "recognise_fuzzer: %s\n", what);
    std::abort();
}

class CheckingEngine : public glimra::ocr::Engine {
  public:
    std::vector<glimra::ocr::Word> ReadLine(const glimra::ocr::GrayImage& line) override {
        Require(line.width > 0 && line.height > 0, "an empty line");
        Require(line.pixels.size() == std::size_t(line.width) * std::size_t(line.height),
                "a line's pixels do not fill it");
        for (int x = 0; x < line.width; ++x)
            Require(line.at(x, 0) == 255 && line.at(x, line.height - 1) == 255,
                    "a line without its margin of paper");
        return {{"w", 0, 0, line.width / 2, line.height},
                {"x", line.width / 2 + 1, 0, line.width, 1}};
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const int width = 1 + data[0] % 96;
    const int bpp = 3 + data[1] % 2;
    glimra::ocr::Preparation preparation;
    preparation.band = 64 + data[2] % 64;
    data += 3;
    size -= 3;
    const int height = int(std::min<std::size_t>(size / std::size_t(width * bpp), 600));
    if (height == 0) return 0;
    std::vector<std::uint8_t> pixels(data, data + std::size_t(width * bpp) * height);
    const glimra::PixelView view{pixels.data(), width, height, std::ptrdiff_t(width) * bpp, bpp};
    CheckingEngine engine;
    std::atomic<bool> cancel{false};
    const glimra::ocr::Reading reading = glimra::ocr::Recognise(view, engine, cancel, preparation);
    Require(!reading.cancelled, "cancelled without a cancel");
    return 0;
}
