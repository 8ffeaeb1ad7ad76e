// What the headers of a Windows bitmap file (BMP) say, checked against the
// file's own size before anything draws it: the bytes come from strangers (the
// flag beside a language file), and the drawing call trusts the headers. Only
// uncompressed files and those with colour masks are taken, with an information
// header of at least the classic 40 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

namespace glimra {

// Raised for bytes that are no BMP file we read, or one whose headers promise
// more than the file holds.
class BmpFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Where the parts of a checked BMP file lie. Every byte that a drawing call
// reads (the information header, the colour masks, the colour table and every
// row of pixels) lies inside the file.
struct BmpLayout {
    static constexpr std::size_t kInfoOffset =
        14;  // the information header follows the file header

    int width = 0, height = 0;  // in pixels, both at least 1 and at most kMaxSide
    bool bottomUp = true;       // the last row comes first in the file
    int bitsPerPixel = 0;       // 1, 4, 8, 16, 24 or 32
    bool masks = false;         // colour masks give the channels (16 and 32 bits per pixel)
    std::uint32_t redMask = 0, greenMask = 0, blueMask = 0;  // when `masks`
    std::size_t infoSize = 0;                                // bytes of the information header
    std::size_t colours = 0;       // entries of the colour table (4 bytes each)
    std::size_t tableOffset = 0;   // where the colour table starts
    std::size_t pixelsOffset = 0;  // where the first row in the file starts
    std::size_t stride = 0;        // bytes per row in the file, padded to 4

    static constexpr int kMaxSide = 0x8000;

    // The row `y` counted from the top, as an offset into the file.
    std::size_t RowOffset(int y) const {
        return pixelsOffset + stride * std::size_t(bottomUp ? height - 1 - y : y);
    }
};

// Checks the headers of `file` and says where its parts lie; throws BmpFileError.
BmpLayout CheckBmpFile(std::span<const std::uint8_t> file);

}  // namespace glimra
