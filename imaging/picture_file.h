// What the JPEG and GIF decoders share: the error they raise for a file they
// cannot read, and the target they decode into, so that the picture goes
// straight into memory of the caller's kind (a DIB section, a plain buffer).
#pragma once

#include <stdexcept>

#include "imaging/pixel_view.h"

namespace glimra {

// Raised for bytes that are no picture file of the decoder's kind, or a damaged one.
class PictureFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Where a decoder puts the picture it reads.
class PictureTarget {
  public:
    // Called once, before any pixel is written and before the decoder holds
    // memory for the whole picture, with its size (both at least 1) and whether it
    // has transparency. Returns the view to write every pixel of, rows from the
    // top: 3 bytes per pixel (blue, green, red) for an opaque picture, 4 (blue,
    // green, red, straight alpha) for one with transparency. May throw, to refuse
    // the picture; the exception leaves the decoder as it is.
    virtual PixelView Make(int width, int height, bool alpha) = 0;

  protected:
    ~PictureTarget() = default;
};

}  // namespace glimra
