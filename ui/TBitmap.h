// A picture in memory: a DIB section with a pixel format (the display's own,
// 24-bit or 32-bit), rows addressed from the top, a canvas to draw on, and the
// plain pixel view that the platform-neutral pixel code works on.
#pragma once

#include <windows.h>

#include <cstdint>
#include <stdexcept>

#include "imaging/pixel_view.h"
#include "ui/Graphics.h"
#include "win/handles.h"

namespace ui {

enum class TPixelFormat { pfDevice, pf24bit, pf32bit };

// Raised when the system cannot give a bitmap of the asked size.
class EOutOfResources : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TBitmap;

// Drawing on a bitmap through GDI: a pen, a brush, lines and block copies.
class TCanvas {
  public:
    explicit TCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}
    HDC Handle();

    void SetPenColor(TColor colour) { penColour_ = colour; }
    void SetPenWidth(int width) { penWidth_ = width; }
    void SetBrushColor(TColor colour) { brushColour_ = colour; }

    void MoveTo(int x, int y);
    // A line with the current pen from the pen position to (x, y), as LineTo draws it.
    void LineTo(int x, int y);
    void FillRect(const RECT& r);
    void Draw(int x, int y, TBitmap& source);
    COLORREF Pixel(int x, int y);

  private:
    friend class TBitmap;
    TBitmap& bitmap_;
    win::MemoryDC dc_;
    HGDIOBJ original_ = nullptr;
    TColor penColour_ = clBlack, brushColour_ = clWhite;
    int penWidth_ = 1;
};

class TBitmap {
  public:
    TBitmap();
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetWidth(int width) { SetSize(width, height_); }
    void SetHeight(int height) { SetSize(width_, height); }
    // Resizes, keeping the pixels of the part that both sizes share; new pixels are white.
    void SetSize(int width, int height);
    // Becomes a new bitmap of that format and size whose pixels are not set, for a
    // caller that writes every pixel next: nothing is kept, filled or converted.
    void Recreate(TPixelFormat format, int width, int height);
    bool Empty() const { return width_ <= 0 || height_ <= 0; }

    // The fourth byte of each 32-bit pixel is straight alpha, not all of it opaque
    // (set by who makes such pixels; a capture's fourth byte is no alpha). Copies and
    // takes carry it; a bitmap made anew, resized or brought to another layout has none.
    bool Alpha() const { return alpha_; }
    void SetAlpha(bool alpha) { alpha_ = alpha && BitsPerPixel() == 32; }

    TPixelFormat PixelFormat() const { return format_; }
    // Converts to the format; every pixel keeps its colour.
    void SetPixelFormat(TPixelFormat format);
    int BitsPerPixel() const { return BitsFor(format_); }
    // Bits per pixel of a format on this display.
    static int BitsFor(TPixelFormat format);

    // Direct access to the pixels (GDI drawing is flushed first).
    std::uint8_t* ScanLine(int y);
    glimra::PixelView View();
    std::ptrdiff_t Stride() const { return stride_; }

    TCanvas& Canvas() { return canvas_; }
    HBITMAP Handle() const { return bitmap_.Get(); }
    // Becomes a copy of `source`: size, format and pixels.
    void Assign(TBitmap& source);
    // Takes over the pixels of `source` without copying them; `source` is left empty.
    void Take(TBitmap& source);

  private:
    friend class TCanvas;
    // A DIB section of that size and format whose pixels are not set: a spare one
    // when there is one, else a new one; throws EOutOfResources.
    void Allocate(int width, int height, TPixelFormat format, win::Bitmap& bitmap, void*& bits,
                  std::ptrdiff_t& stride) const;
    void Replace(win::Bitmap bitmap, void* bits, int width, int height, std::ptrdiff_t stride,
                 TPixelFormat format);
    // The DIB section goes to the spares (see SpareBitmaps.h); bitmap_ is empty after.
    void LetGo();

    win::Bitmap bitmap_;
    void* bits_ = nullptr;
    int width_ = 0, height_ = 0;
    std::ptrdiff_t stride_ = 0;
    TPixelFormat format_ = TPixelFormat::pfDevice;
    bool alpha_ = false;
    TCanvas canvas_;
};

}  // namespace ui
