#include "output/bmp_writer.h"

#include <cstdint>
#include <string>

#include "output/buffered_writer.h"
#include "output/picture_check.h"
#include "output/save_error.h"

namespace glimra {

namespace {

constexpr std::uint64_t kHeadersSize = 14 + 40;

void PutLe(std::uint8_t*& at, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        *at++ = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

void WriteBmp(const PixelView& view, ByteSink& sink) {
    CheckPicture(view, "BMP");
    const std::uint64_t pixelBytes = std::uint64_t{3} * static_cast<std::uint64_t>(view.width);
    const std::uint64_t rowSize = (pixelBytes + 3) & ~std::uint64_t{3};
    const std::uint64_t imageSize = rowSize * static_cast<std::uint64_t>(view.height);
    // The file size is a 32-bit field.
    if (kHeadersSize + imageSize > UINT32_MAX)
        throw SaveError("Cannot save as BMP: the picture is too large for a BMP file (" +
                        std::to_string(view.width) + " x " + std::to_string(view.height) +
                        " pixels make more than 4 GB).");

    std::uint8_t headers[kHeadersSize];
    std::uint8_t* at = headers;
    *at++ = 'B';
    *at++ = 'M';
    PutLe(at, kHeadersSize + imageSize, 4);  // file size
    PutLe(at, 0, 4);                         // reserved
    PutLe(at, kHeadersSize, 4);              // offset of the pixels
    PutLe(at, 40, 4);                        // information header size
    PutLe(at, static_cast<std::uint32_t>(view.width), 4);
    PutLe(at, static_cast<std::uint32_t>(view.height), 4);  // positive: bottom-up
    PutLe(at, 1, 2);                                        // planes
    PutLe(at, 24, 2);                                       // bits per pixel
    PutLe(at, 0, 4);                                        // BI_RGB: uncompressed
    PutLe(at, imageSize, 4);
    PutLe(at, 0, 4);  // horizontal resolution: unknown
    PutLe(at, 0, 4);  // vertical resolution: unknown
    PutLe(at, 0, 4);  // colours used: none (no table)
    PutLe(at, 0, 4);  // important colours: all

    BufferedWriter out(sink);
    out.Put(headers, sizeof headers);
    const std::uint8_t padding[3] = {};
    const std::size_t paddingSize = static_cast<std::size_t>(rowSize - pixelBytes);
    for (int y = view.height - 1; y >= 0; --y) {
        out.Put(view.Row(y), static_cast<std::size_t>(pixelBytes));
        out.Put(padding, paddingSize);
    }
    out.Finish();
}

}  // namespace glimra
