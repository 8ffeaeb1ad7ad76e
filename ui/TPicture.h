// The picture of a control (an image, a speed button's glyph): a bitmap that is
// opaque or carries straight alpha, drawn scaled and, with alpha, blended.
#pragma once

#include <windows.h>

#include <functional>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "ui/TBitmap.h"

namespace ui {

class TPicture {
  public:
    TPicture();
    ~TPicture();
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // The pixels. Code that changes them in place calls Changed() afterwards.
    TBitmap& Bitmap() { return bitmap_; }
    int Width() const { return bitmap_.Width(); }
    int Height() const { return bitmap_.Height(); }
    bool Empty() const { return bitmap_.Empty(); }
    // 32-bit pixels with straight alpha, not all of them opaque (the bitmap's flag).
    bool HasAlpha() const { return bitmap_.Alpha(); }

    // Reads the program's picture resource of that name (BMP, JPEG or GIF);
    // throws EInvalidGraphic and then keeps the picture it had.
    void LoadFromResource(const std::string& name);
    // The same for the bytes of a picture file.
    void LoadFromBytes(std::span<const std::uint8_t> bytes);
    // Becomes a copy of a bitmap, with its alpha where it has one.
    void Assign(TBitmap& source);
    // Takes over the pixels of a bitmap and its alpha, leaving `source` empty.
    void Take(TBitmap& source);
    // Becomes a greyed, lighter copy of `source` with its alpha, as a control
    // that is disabled shows its picture.
    void AssignDisabled(TPicture& source);
    void Clear();
    // The pixels changed: drops what was made from them and tells OnChange.
    void Changed();
    std::function<void()> OnChange;

    // Draws the part `source` of the picture into `target`, scaled when the
    // sizes differ. A picture with alpha is blended over what is there when
    // `blend` holds, else drawn with its colours as they are.
    void Draw(HDC dc, const RECT& target, const RECT& source, bool blend = true);
    void Draw(HDC dc, const RECT& target, bool blend = true) {
        Draw(dc, target, {0, 0, Width(), Height()}, blend);
    }

  private:
    // The copy with premultiplied alpha that AlphaBlend takes.
    TBitmap& Premultiplied();

    TBitmap bitmap_;
    std::unique_ptr<TBitmap> premultiplied_;
};

}  // namespace ui
