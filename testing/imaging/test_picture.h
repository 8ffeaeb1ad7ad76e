// Pictures for the tests: pixels in rows followed by padding that holds a marker byte,
// so that a test can tell whether code wrote past a row's pixels; optionally stored
// bottom-up (negative stride), as a DIB may be. The rows start on 16 bytes in the
// buffer, so that rows without padding are aligned as the rows of a DIB of a width
// divisible by four are.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "imaging/pixel_view.h"

namespace glimra::test {

class TestPicture {
  public:
    static constexpr std::uint8_t kPaddingMarker = 0xA5;
    static constexpr int kPadding = 5;

    TestPicture(int width, int height, int bytesPerPixel, bool bottomUp = false,
                int padding = kPadding)
        : width_(width),
          height_(height),
          bytesPerPixel_(bytesPerPixel),
          bottomUp_(bottomUp),
          rowBytes_(width * bytesPerPixel + padding),
          bytes_(Size() + kAlignment - 1, kPaddingMarker) {}
    // A copy lays its rows out on 16 bytes in its own buffer.
    TestPicture(const TestPicture& other)
        : width_(other.width_),
          height_(other.height_),
          bytesPerPixel_(other.bytesPerPixel_),
          bottomUp_(other.bottomUp_),
          rowBytes_(other.rowBytes_),
          bytes_(other.bytes_.size(), kPaddingMarker) {
        std::memcpy(Bytes(), other.Bytes(), Size());
    }
    TestPicture(TestPicture&&) = default;
    TestPicture& operator=(const TestPicture& other) {
        TestPicture copy(other);
        return *this = std::move(copy);
    }
    TestPicture& operator=(TestPicture&&) = default;

    PixelView View() {
        std::uint8_t* top = Bytes() + Offset(0);
        return {top, width_, height_, bottomUp_ ? -rowBytes_ : rowBytes_, bytesPerPixel_};
    }

    // A pixel of the colour red, green, blue (each taken modulo 256), fourth byte 0.
    static constexpr std::uint32_t Colour(int red, int green, int blue) {
        return std::uint32_t(std::uint8_t(red)) << 16 | std::uint32_t(std::uint8_t(green)) << 8 |
               std::uint8_t(blue);
    }

    int Width() const { return width_; }
    int Height() const { return height_; }

    // A pixel as 0xXXRRGGBB; the fourth byte reads as 0 in a 24-bit picture.
    std::uint32_t Get(int x, int y) const {
        std::uint32_t value = 0;
        std::memcpy(&value, Pixel(x, y), bytesPerPixel_);
        return value;
    }
    void Set(int x, int y, std::uint32_t value) {
        std::memcpy(const_cast<std::uint8_t*>(Pixel(x, y)), &value, bytesPerPixel_);
    }

    // Distinct, irregular colours (and fourth bytes) derived from `seed`.
    void FillPattern(std::uint32_t seed) {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                std::uint32_t h = (static_cast<std::uint32_t>(y * width_ + x) + 1) * 2654435761u;
                h ^= seed * 40503u;
                h ^= h >> 15;
                Set(x, y, h * 2246822519u);
            }
    }

    bool PaddingIntact() const {
        for (int y = 0; y < height_; ++y)
            for (int i = width_ * bytesPerPixel_; i < rowBytes_; ++i)
                if (Bytes()[Offset(y) + i] != kPaddingMarker) return false;
        return true;
    }

    bool SamePixels(const TestPicture& other) const {
        if (other.width_ != width_ || other.height_ != height_) return false;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (Get(x, y) != other.Get(x, y)) return false;
        return true;
    }

  private:
    // Offset of row y (counted from the top) in the buffer.
    std::size_t Offset(int y) const {
        return static_cast<std::size_t>(bottomUp_ ? height_ - 1 - y : y) * rowBytes_;
    }
    const std::uint8_t* Pixel(int x, int y) const {
        return Bytes() + Offset(y) + static_cast<std::size_t>(x) * bytesPerPixel_;
    }
    static constexpr std::size_t kAlignment = 16;
    std::size_t Size() const { return static_cast<std::size_t>(rowBytes_) * height_; }
    // The first row's first byte: the first one in the buffer on 16 bytes.
    std::uint8_t* Bytes() const {
        const auto address = reinterpret_cast<std::uintptr_t>(bytes_.data());
        return const_cast<std::uint8_t*>(bytes_.data()) +
               (kAlignment - address % kAlignment) % kAlignment;
    }

    int width_;
    int height_;
    int bytesPerPixel_;
    bool bottomUp_;
    int rowBytes_;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace glimra::test
