// Reads the picture files that the program keeps in its resources (RCDATA
// resources named like the file: 'about_banner', 'ButtonSave'): BMP, JPEG and
// GIF; the BMP files that users bring (the flags of language files); and the
// pictures the user opens, drops or pastes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace ui {

class TBitmap;

// Raised for bytes that are no picture of a kind we read, or a damaged one.
class EInvalidGraphic : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The bytes of the program's RCDATA resource of that name; throws
// EInvalidGraphic when there is none.
std::span<const std::uint8_t> PictureResource(const std::string& name);

// Decodes a BMP, JPEG, GIF or PNG file into `bitmap`, rows from the top. An opaque
// picture becomes 24-bit; one with transparency (a 32-bit BMP with alpha, a GIF
// with a transparent colour or a frame smaller than its screen) becomes 32-bit
// with straight alpha, and the answer is true. Throws EInvalidGraphic.
bool DecodePicture(std::span<const std::uint8_t> bytes, TBitmap& bitmap);

// The same for a BMP file only. Its headers are checked first (CheckBmpFile), so
// that nothing is drawn from beyond the file's end.
bool DecodeBmp(std::span<const std::uint8_t> bytes, TBitmap& bitmap);

// The same for a packed DIB, as the clipboard holds one (CF_DIB, CF_DIBV5).
bool DecodeDib(std::span<const std::uint8_t> bytes, TBitmap& bitmap);

}  // namespace ui
