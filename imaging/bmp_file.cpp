#include "imaging/bmp_file.h"

#include <algorithm>
#include <string>

namespace glimra {

namespace {

// Little-endian fields, read only where the caller has made sure they exist.
std::uint32_t U32(std::span<const std::uint8_t> file, std::size_t at) {
    return std::uint32_t(file[at]) | std::uint32_t(file[at + 1]) << 8 |
           std::uint32_t(file[at + 2]) << 16 | std::uint32_t(file[at + 3]) << 24;
}

std::uint16_t U16(std::span<const std::uint8_t> file, std::size_t at) {
    return std::uint16_t(file[at] | file[at + 1] << 8);
}

constexpr std::uint32_t kUncompressed = 0, kBitFields = 3;

// The information headers that begin with the classic 40-byte one: the classic,
// the two with colour masks inside, version 4 and version 5.
bool KnownInfoSize(std::uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

}  // namespace

BmpLayout CheckBmpFile(std::span<const std::uint8_t> file) {
    constexpr std::size_t info = BmpLayout::kInfoOffset;
    if (file.size() < info + 40) throw BmpFileError("the BMP file is cut short");
    if (file[0] != 'B' || file[1] != 'M') throw BmpFileError("the file is no BMP file");

    BmpLayout layout;
    const std::uint32_t infoSize = U32(file, info);
    const auto width = std::int32_t(U32(file, info + 4)),
               height = std::int32_t(U32(file, info + 8));
    const std::uint32_t compression = U32(file, info + 16), coloursUsed = U32(file, info + 32);
    layout.bitsPerPixel = U16(file, info + 14);
    if (!KnownInfoSize(infoSize) || U16(file, info + 12) != 1 || width <= 0 ||
        width > BmpLayout::kMaxSide || height == 0 || height < -BmpLayout::kMaxSide ||
        height > BmpLayout::kMaxSide)
        throw BmpFileError("the BMP file has a header we cannot read");
    const int bpp = layout.bitsPerPixel;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        throw BmpFileError("the BMP file has " + std::to_string(bpp) + " bits per pixel");
    if (compression != kUncompressed && !(compression == kBitFields && (bpp == 16 || bpp == 32)))
        throw BmpFileError("the BMP file is compressed in a way we cannot read");

    layout.width = width;
    layout.height = height < 0 ? -height : height;
    layout.bottomUp = height > 0;
    layout.infoSize = infoSize;
    layout.masks = compression == kBitFields;
    // The classic header is followed by its masks; the longer ones hold them.
    layout.tableOffset = info + infoSize + (layout.masks && infoSize == 40 ? 12 : 0);
    if (bpp <= 8)
        layout.colours = std::min<std::size_t>(coloursUsed ? coloursUsed : 1u << bpp, 1u << bpp);
    if (layout.tableOffset + 4 * layout.colours > file.size())
        throw BmpFileError("the BMP file is cut short");
    if (layout.masks) {
        layout.redMask = U32(file, info + 40);
        layout.greenMask = U32(file, info + 44);
        layout.blueMask = U32(file, info + 48);
    }

    layout.pixelsOffset = U32(file, 10);
    layout.stride = (std::size_t(layout.width) * std::size_t(bpp) + 31) / 32 * 4;
    // In 64 bits: the largest rows claimed reach 4 GiB, beyond a 32-bit size.
    if (layout.pixelsOffset > file.size() ||
        std::uint64_t{layout.stride} * std::uint64_t(layout.height) >
            file.size() - layout.pixelsOffset)
        throw BmpFileError("the BMP file is cut short");
    return layout;
}

}  // namespace glimra
