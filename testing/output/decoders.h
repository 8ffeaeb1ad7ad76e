// What the writers' tests and the fuzzer share: decoders that read the files
// back with the libraries' own decoders (and a BMP reader written from the file
// format), the picture as plain RGB for comparisons, and a sink that fails.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "imaging/pixel_view.h"
#include "output/byte_sink.h"
#include "output/palette_color.h"

namespace glimra::test {

// Thrown by the decoders for a file they cannot read.
class DecodeError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Pixels as red, green, blue bytes, rows from the top, no padding.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    friend bool operator==(const RgbImage&, const RgbImage&) = default;
};

RgbImage RgbOf(const PixelView& view);

// A path for a file named `name` in the tests' output folder (GLIMRA_TEST_OUTPUT,
// else the system's temporary folder), which is made when missing.
std::string TestFilePath(const std::string& name);
std::vector<std::uint8_t> ReadFile(const std::string& path);

// Uncompressed 24- or 32-bit BMP files (the fourth byte of a 32-bit pixel is left out).
RgbImage DecodeBmp(const std::vector<std::uint8_t>& file);
RgbImage DecodePng(const std::vector<std::uint8_t>& file);

struct DecodedJpeg {
    RgbImage image;
    int components = 0;
    bool baseline = false;     // a baseline (SOF0) frame
    bool progressive = false;  // a progressive frame
    // The quantisation tables in natural (row by row) order; present[i] tells
    // whether table i was defined.
    std::array<std::array<int, 64>, 4> quantTables{};
    std::array<bool, 4> present{};
    std::array<int, 3> componentTable{};  // the table each component uses
};
DecodedJpeg DecodeJpeg(const std::vector<std::uint8_t>& file);

// Compresses `image` with libjpeg's plain call sequence, rows of red, green,
// blue from the top: jpeg_CreateCompress, jpeg_mem_dest, jpeg_set_defaults,
// jpeg_set_quality(90, TRUE), jpeg_start_compress(TRUE), jpeg_write_scanlines,
// jpeg_finish_compress.
std::vector<std::uint8_t> CompressRgbRows(const RgbImage& image);

struct DecodedGif {
    int width = 0;
    int height = 0;
    int imageCount = 0;
    bool transparent = false;          // a graphics control block marks a colour transparent
    std::vector<PaletteColor> colors;  // the colour table that applies to the image
    std::vector<std::uint8_t> indexes;
};
DecodedGif DecodeGif(const std::vector<std::uint8_t>& file);

// Takes `limit` bytes; a write that would go past them throws
// SaveError(kFailingSinkText) and takes nothing.
inline constexpr const char* kFailingSinkText = "The test sink is full.";
class FailingSink : public ByteSink {
  public:
    explicit FailingSink(std::size_t limit) : limit_(limit) {}
    void Write(const std::uint8_t* data, std::size_t size) override;
    std::size_t Taken() const { return taken_; }

  private:
    std::size_t limit_;
    std::size_t taken_ = 0;
};

}  // namespace glimra::test
