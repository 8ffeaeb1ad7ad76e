// Feeds arbitrary bytes to the PNG decoder (libpng's simplified reader), as a
// file opened or dropped, or the clipboard's "PNG" format, brings them. The
// decoder either refuses them with PictureFileError or asks its target once for
// a picture within its bound and writes it there (AddressSanitizer stops any
// read past the input or write past the rows it gave). Sizes beyond the bound
// (2^28 pixels) must be refused from the header, before the target is asked.
#include <cstddef>
#include <cstdint>
#include <span>

#include "imaging/png_file.h"
#include "testing/fuzz/picture_buffer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr const char* kName = "png_file_fuzzer";
    // Any side the bound allows; at most 2^28 pixels.
    glimra::fuzz::PictureBuffer buffer(kName, 1 << 28, std::uint64_t(1) << 28);
    try {
        glimra::DecodePngFile(std::span(data, size), buffer);
    } catch (const glimra::PictureFileError&) {
        return 0;
    }
    glimra::fuzz::Require(buffer.Made(), kName, "a picture decoded without a target");
    return 0;
}
