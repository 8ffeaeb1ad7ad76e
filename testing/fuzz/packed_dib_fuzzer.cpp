// Feeds arbitrary bytes to the packed DIB decoder, as any program may put them
// on the clipboard under CF_DIB or CF_DIBV5. The decoder either refuses them
// with PictureFileError or writes a picture into the buffer it asked for once,
// reading nothing past the input and writing nothing past the buffer
// (AddressSanitizer stops either); the picture promised can hold no more
// pixels than the bytes can fill, one bit a pixel at the least.
#include <cstddef>
#include <cstdint>
#include <span>

#include "imaging/packed_dib.h"
#include "testing/fuzz/picture_buffer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr const char* kName = "packed_dib_fuzzer";
    glimra::fuzz::PictureBuffer buffer(
        kName, glimra::kPackedDibMaxSide,
        std::uint64_t(glimra::kPackedDibMaxSide) * glimra::kPackedDibMaxSide);
    try {
        glimra::DecodePackedDib(std::span(data, size), buffer);
    } catch (const glimra::PictureFileError&) {
        return 0;
    }
    glimra::fuzz::Require(buffer.Made(), kName, "a picture decoded without a target");
    glimra::fuzz::Require(buffer.Pixels().size() / 4 <= 8 * size, kName,
                          "more pixels than the bytes can fill");
    return 0;
}
