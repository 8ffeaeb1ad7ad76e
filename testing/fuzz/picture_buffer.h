// The target the decoders' fuzzers decode into: a plain buffer, exactly as
// large as the decoder asks, so that AddressSanitizer stops any write outside
// the rows it gave; asked once only, for a size within the decoder's bounds. Pictures larger than
// the buffer takes are refused through the target, as a program that cannot
// hold them would.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "imaging/picture_file.h"

namespace glimra::fuzz {

inline void Require(bool condition, const char* fuzzer, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "%s: %s\n", fuzzer, what);
    std::abort();
}

class PictureBuffer : public PictureTarget {
  public:
    // The most pixel bytes a decoded picture may take: enough for every corpus
    // file and for mutated sizes well beyond, small enough that each run stays short.
    static constexpr std::uint64_t kMaxBytes = std::uint64_t(1) << 22;

    // `maxSide` and `maxPixels` are the largest picture the decoder promises to
    // hand on; anything larger it must refuse itself.
    PictureBuffer(const char* fuzzer, int maxSide, std::uint64_t maxPixels)
        : fuzzer_(fuzzer), maxSide_(maxSide), maxPixels_(maxPixels) {}

    PixelView Make(int width, int height, bool alpha) override {
        Require(!made_, fuzzer_, "the target was asked for a second picture");
        made_ = true;
        Require(width >= 1 && width <= maxSide_ && height >= 1 && height <= maxSide_ &&
                    std::uint64_t(width) * std::uint64_t(height) <= maxPixels_,
                fuzzer_, "a size beyond the decoder's bounds");
        const int bytesPerPixel = alpha ? 4 : 3;
        const std::uint64_t bytes = std::uint64_t(width) * std::uint64_t(height) * bytesPerPixel;
        if (bytes > kMaxBytes) throw PictureFileError("the picture is too large to hold");
        pixels_.assign(std::size_t(bytes), 0xA5);
        return {pixels_.data(), width, height, std::ptrdiff_t(width) * bytesPerPixel,
                bytesPerPixel};
    }
    bool Made() const { return made_; }
    const std::vector<std::uint8_t>& Pixels() const { return pixels_; }

  private:
    const char* fuzzer_;
    int maxSide_;
    std::uint64_t maxPixels_;
    bool made_ = false;
    std::vector<std::uint8_t> pixels_;
};

}  // namespace glimra::fuzz
