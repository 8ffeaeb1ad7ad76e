// Feeds the writers pictures of random sizes, layouts and pixels. Each
// must refuse an empty picture with SaveError and otherwise write a file that
// its library's decoder reads back: BMP and PNG exactly, JPEG at the right size
// and kind, GIF as one image whose indexes stay within the picture's palette.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "output/bmp_writer.h"
#include "output/gif_writer.h"
#include "output/jpeg_writer.h"
#include "output/octree_quantizer.h"
#include "output/png_writer.h"
#include "output/save_error.h"
#include "testing/output/decoders.h"

namespace {

using namespace glimra;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "output_fuzzer: %s\n", what);
    std::abort();
}

void Check(bool condition, const char* what) {
    if (!condition) Fail(what);
}

template <typename Write>
std::vector<std::uint8_t> Encode(Write write, const PixelView& view) {
    VectorSink sink;
    try {
        write(view, sink);
    } catch (const SaveError&) {
        if (!view.Empty()) Fail("a writer refused a picture with pixels");
        return {};
    }
    if (view.Empty()) Fail("a writer accepted an empty picture");
    return sink.Bytes();
}

}  // namespace

// Layout of the input: width, height, a flags byte, then the bytes the pixels
// are taken from (repeated as needed).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const int width = data[0] % 130;
    const int height = data[1] % 130;
    const int flags = data[2];
    const bool bottomUp = flags & 1;
    const int padding = (flags >> 1) & 3;
    const bool runs = flags & 8;  // screenshot-like: runs of one colour
    const int formats = (flags >> 4) == 0 ? 15 : flags >> 4;
    const std::uint8_t* source = data + 3;
    const std::size_t sourceSize = size - 3;

    const std::ptrdiff_t rowBytes = 3 * width + padding;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(rowBytes) * height + 1, 0xA5);
    std::size_t next = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) {
                const std::size_t at = runs ? (3 * ((y * width + x) / 16) + c) : next++;
                pixels[rowBytes * y + 3 * x + c] = sourceSize ? source[at % sourceSize] : 0;
            }
    PixelView view{pixels.data(), width, height, rowBytes, 3};
    if (bottomUp && height > 0) {
        // The same rows stored from the bottom: the view starts at the last.
        std::vector<std::uint8_t> flipped(pixels.size(), 0xA5);
        for (int y = 0; y < height; ++y)
            std::copy_n(&pixels[rowBytes * y], rowBytes, &flipped[rowBytes * (height - 1 - y)]);
        pixels.swap(flipped);
        view = {pixels.data() + rowBytes * (height - 1), width, height, -rowBytes, 3};
    }
    const test::RgbImage expected = test::RgbOf(view);

    try {
        if (formats & 1) {
            const auto file = Encode(WriteBmp, view);
            if (!file.empty()) Check(test::DecodeBmp(file) == expected, "BMP differs");
        }
        if (formats & 2) {
            const auto file = Encode(WritePng, view);
            if (!file.empty()) Check(test::DecodePng(file) == expected, "PNG differs");
        }
        if (formats & 4) {
            const auto file = Encode(WriteJpeg, view);
            if (!file.empty()) {
                const auto jpeg = test::DecodeJpeg(file);
                Check(jpeg.image.width == width && jpeg.image.height == height, "JPEG size");
                Check(jpeg.baseline && jpeg.components == 3, "JPEG kind");
            }
        }
        if (formats & 8) {
            const auto file = Encode(WriteGif, view);
            if (!file.empty()) {
                const auto gif = test::DecodeGif(file);
                const auto palette = BuildOctreePalette(view);
                Check(gif.width == width && gif.height == height, "GIF size");
                Check(gif.imageCount == 1 && !gif.transparent, "GIF kind");
                Check(!palette.empty() && palette.size() <= 256 && gif.colors.size() <= 256,
                      "GIF colours");
                for (std::uint8_t index : gif.indexes)
                    Check(index < palette.size() && gif.colors[index] == palette[index],
                          "GIF index outside the palette");
            }
        }
    } catch (const test::DecodeError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        Fail("a file did not decode");
    }
    return 0;
}
