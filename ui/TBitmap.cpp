#include "ui/TBitmap.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <string>

#include "imaging/layout.h"
#include "ui/SpareBitmaps.h"

namespace ui {

int TBitmap::BitsFor(TPixelFormat format) {
    switch (format) {
        case TPixelFormat::pf24bit:
            return 24;
        case TPixelFormat::pf32bit:
            return 32;
        case TPixelFormat::pfDevice:
            break;
    }
    HDC screen = ::GetDC(nullptr);
    const int bits = ::GetDeviceCaps(screen, BITSPIXEL) * ::GetDeviceCaps(screen, PLANES);
    ::ReleaseDC(nullptr, screen);
    return bits >= 32 ? 32 : bits >= 24 ? 24 : 16;
}

TBitmap::TBitmap() : canvas_(*this) {}

TBitmap::~TBitmap() {
    if (canvas_.dc_) ::SelectObject(canvas_.dc_.Get(), canvas_.original_);
    LetGo();
}

void TBitmap::LetGo() {
    if (bitmap_) SpareBitmaps::Keep(std::move(bitmap_), bits_, width_, height_, BitsPerPixel());
}

void TBitmap::Allocate(int width, int height, TPixelFormat format, win::Bitmap& bitmap, void*& bits,
                       std::ptrdiff_t& stride) const {
    const int bpp = BitsFor(format);
    const long long rowBytes = ((static_cast<long long>(width) * bpp + 31) / 32) * 4;
    if (width < 0 || height < 0 || rowBytes * height > 0x7FFFFFFFLL)
        throw EOutOfResources("Not enough memory for a picture of " + std::to_string(width) +
                              " x " + std::to_string(height) + " pixels");
    stride = static_cast<std::ptrdiff_t>(rowBytes);
    bits = nullptr;
    if (width == 0 || height == 0) return;
    if (SpareBitmaps::Take(width, height, bpp, bitmap, bits)) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(bpp);
    info.bmiHeader.biCompression = BI_RGB;
    bitmap.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits)
        throw EOutOfResources("Not enough memory for a picture of " + std::to_string(width) +
                              " x " + std::to_string(height) + " pixels");
}

void TBitmap::Replace(win::Bitmap bitmap, void* bits, int width, int height, std::ptrdiff_t stride,
                      TPixelFormat format) {
    if (canvas_.dc_) ::SelectObject(canvas_.dc_.Get(), bitmap ? bitmap.Get() : canvas_.original_);
    LetGo();
    bitmap_ = std::move(bitmap);
    bits_ = bits;
    width_ = width;
    height_ = height;
    stride_ = stride;
    format_ = format;
    alpha_ = false;
}

void TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;
    win::Bitmap bitmap;
    void* bits;
    std::ptrdiff_t stride;
    Allocate(width, height, format_, bitmap, bits, stride);
    if (bits) std::memset(bits, 0xFF, static_cast<std::size_t>(stride) * height);
    if (bits && bits_) {
        ::GdiFlush();
        const int rows = std::min(height, height_);
        const std::size_t bytes = static_cast<std::size_t>(std::min(stride, stride_));
        for (int y = 0; y < rows; ++y)
            std::memcpy(static_cast<std::uint8_t*>(bits) + stride * y,
                        static_cast<std::uint8_t*>(bits_) + stride_ * y, bytes);
    }
    Replace(std::move(bitmap), bits, width, height, stride, format_);
}

void TBitmap::Recreate(TPixelFormat format, int width, int height) {
    win::Bitmap bitmap;
    void* bits;
    std::ptrdiff_t stride;
    Allocate(width, height, format, bitmap, bits, stride);
    Replace(std::move(bitmap), bits, width, height, stride, format);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == format_) return;
    if (Empty() || BitsFor(format) == BitsFor(format_)) {
        // Nothing to convert, or the same layout in memory: only the format changes.
        format_ = format;
        alpha_ = alpha_ && BitsPerPixel() == 32;
        stride_ = static_cast<std::ptrdiff_t>(
            ((static_cast<long long>(width_) * BitsPerPixel() + 31) / 32) * 4);
        return;
    }
    win::Bitmap bitmap;
    void* bits;
    std::ptrdiff_t stride;
    Allocate(width_, height_, format, bitmap, bits, stride);
    const int bytesPerPixel = BitsFor(format) / 8;
    if (bytesPerPixel >= 3 && BitsPerPixel() >= 24) {
        // Between 24 and 32 bits the pixel code converts: much faster than GDI's copy.
        glimra::ConvertLayout(
            View(), {static_cast<std::uint8_t*>(bits), width_, height_, stride, bytesPerPixel});
    } else {
        win::MemoryDC target(::CreateCompatibleDC(nullptr));
        win::Selection select(target.Get(), bitmap.Get());
        ::BitBlt(target.Get(), 0, 0, width_, height_, canvas_.Handle(), 0, 0, SRCCOPY);
        ::GdiFlush();
    }
    Replace(std::move(bitmap), bits, width_, height_, stride, format);
}

std::uint8_t* TBitmap::ScanLine(int y) {
    if (y < 0 || y >= height_ || !bits_) throw std::out_of_range("scan line out of range");
    ::GdiFlush();
    return static_cast<std::uint8_t*>(bits_) + stride_ * y;
}

glimra::PixelView TBitmap::View() {
    ::GdiFlush();
    return {static_cast<std::uint8_t*>(bits_), width_, height_, stride_, BitsPerPixel() / 8};
}

void TBitmap::Assign(TBitmap& source) {
    if (&source == this) return;
    win::Bitmap bitmap;
    void* bits;
    std::ptrdiff_t stride;
    Allocate(source.width_, source.height_, source.format_, bitmap, bits, stride);
    if (bits) {
        ::GdiFlush();
        std::memcpy(bits, source.bits_, static_cast<std::size_t>(stride) * source.height_);
    }
    Replace(std::move(bitmap), bits, source.width_, source.height_, stride, source.format_);
    alpha_ = source.alpha_;
}

void TBitmap::Take(TBitmap& source) {
    if (&source == this) return;
    // A bitmap can be selected into one drawing context only: the source's lets go first.
    if (source.canvas_.dc_) ::SelectObject(source.canvas_.dc_.Get(), source.canvas_.original_);
    ::GdiFlush();
    Replace(std::move(source.bitmap_), source.bits_, source.width_, source.height_, source.stride_,
            source.format_);
    alpha_ = std::exchange(source.alpha_, false);
    source.bitmap_ = win::Bitmap();
    source.bits_ = nullptr;
    source.width_ = source.height_ = 0;
    source.stride_ = 0;
}

HDC TCanvas::Handle() {
    if (!dc_) {
        dc_.Reset(::CreateCompatibleDC(nullptr));
        if (!dc_) throw EOutOfResources("cannot make a drawing context");
        original_ = ::GetCurrentObject(dc_.Get(), OBJ_BITMAP);
        if (bitmap_.bitmap_) ::SelectObject(dc_.Get(), bitmap_.bitmap_.Get());
    }
    return dc_.Get();
}

void TCanvas::MoveTo(int x, int y) {
    ::MoveToEx(Handle(), x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    win::Pen pen(::CreatePen(PS_SOLID, penWidth_, ColorToRGB(penColour_)));
    win::Selection select(Handle(), pen.Get());
    ::SetROP2(Handle(), R2_COPYPEN);
    ::LineTo(Handle(), x, y);
}

void TCanvas::FillRect(const RECT& r) {
    win::Brush brush(::CreateSolidBrush(ColorToRGB(brushColour_)));
    ::FillRect(Handle(), &r, brush.Get());
}

void TCanvas::Draw(int x, int y, TBitmap& source) {
    ::BitBlt(Handle(), x, y, source.Width(), source.Height(), source.Canvas().Handle(), 0, 0,
             SRCCOPY);
}

COLORREF TCanvas::Pixel(int x, int y) {
    return ::GetPixel(Handle(), x, y);
}

}  // namespace ui
