// Feeds arbitrary bytes to the JPEG and the GIF decoder, each of which gets every
// input. A decoder either refuses the file with PictureFileError or asks its
// target once for a picture of a sensible size and writes it there: the target is a
// plain buffer, exactly as large as asked, so that AddressSanitizer stops any
// write outside the rows it gave. Pictures larger than the buffer takes are
// refused through the target, as a program that cannot hold them would.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "imaging/gif_file.h"
#include "imaging/jpeg_file.h"

namespace {

using glimra::PictureFileError;
using glimra::PixelView;

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "picture_file_fuzzer: %s\n", what);
    std::abort();
}

// The most pixel bytes a decoded picture may take: enough for every corpus file
// and for mutated sizes well beyond, small enough that each run stays short.
constexpr std::uint64_t kMaxBytes = std::uint64_t(1) << 22;

class Buffer : public glimra::PictureTarget {
  public:
    PixelView Make(int width, int height, bool alpha) override {
        Require(!made_, "the target was asked for a second picture");
        made_ = true;
        Require(width >= 1 && width <= 0xFFFF && height >= 1 && height <= 0xFFFF,
                "a size outside 1 to 65535");
        const int bytesPerPixel = alpha ? 4 : 3;
        const std::uint64_t bytes = std::uint64_t(width) * std::uint64_t(height) * bytesPerPixel;
        if (bytes > kMaxBytes) throw PictureFileError("the picture is too large to hold");
        pixels_.assign(std::size_t(bytes), 0xA5);
        return {pixels_.data(), width, height, std::ptrdiff_t(width) * bytesPerPixel,
                bytesPerPixel};
    }

  private:
    bool made_ = false;
    std::vector<std::uint8_t> pixels_;
};

template <class Decoder>
void Decode(Decoder decode, std::span<const std::uint8_t> file) {
    Buffer buffer;
    try {
        decode(file, buffer);
    } catch (const PictureFileError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    Decode(glimra::DecodeJpegFile, file);
    Decode(glimra::DecodeGifFile, file);
    return 0;
}
