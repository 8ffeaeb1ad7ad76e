#include "ui/PictureLoader.h"

#include <windows.h>

#include <cstring>

#include "imaging/bmp_file.h"
#include "imaging/gif_file.h"
#include "imaging/jpeg_file.h"
#include "imaging/packed_dib.h"
#include "imaging/png_file.h"
#include "ui/TApplication.h"
#include "ui/TBitmap.h"

namespace ui {

namespace {

// Makes `bitmap` an empty one of the format and then of the size, so that nothing
// of its old pixels is converted or kept.
void Prepare(TBitmap& bitmap, TPixelFormat format, int width, int height) {
    bitmap.SetSize(0, 0);
    bitmap.SetPixelFormat(format);
    bitmap.SetSize(width, height);
}

// The neutral decoders' target: the bitmap, 24-bit for an opaque picture, 32-bit
// with straight alpha for one with transparency.
class BitmapTarget : public glimra::PictureTarget {
  public:
    explicit BitmapTarget(TBitmap& bitmap) : bitmap_(bitmap) {}

    glimra::PixelView Make(int width, int height, bool alpha) override {
        Prepare(bitmap_, alpha ? TPixelFormat::pf32bit : TPixelFormat::pf24bit, width, height);
        alpha_ = alpha;
        return bitmap_.View();
    }
    bool Alpha() const { return alpha_; }

  private:
    TBitmap& bitmap_;
    bool alpha_ = false;
};

// Decodes with one of the neutral decoders (DecodeJpegFile, DecodePackedDib, ...) into
// `bitmap`; true when the picture has transparency.
bool DecodeWith(void (*decode)(std::span<const std::uint8_t>, glimra::PictureTarget&),
                std::span<const std::uint8_t> bytes, TBitmap& bitmap) {
    BitmapTarget target(bitmap);
    try {
        decode(bytes, target);
    } catch (const glimra::PictureFileError& e) {
        throw EInvalidGraphic(e.what());
    }
    return target.Alpha();
}

}  // namespace

bool DecodeBmp(std::span<const std::uint8_t> bytes, TBitmap& bitmap) {
    glimra::BmpLayout layout;
    try {
        layout = glimra::CheckBmpFile(bytes);
    } catch (const glimra::BmpFileError& e) {
        throw EInvalidGraphic(e.what());
    }
    const int w = layout.width, h = layout.height, bpp = layout.bitsPerPixel;
    const bool plain32 =
        bpp == 32 && (!layout.masks || (layout.redMask == 0xFF0000 && layout.greenMask == 0xFF00 &&
                                        layout.blueMask == 0xFF));
    if (plain32) {
        // Blue, green, red, alpha as they are: GDI would not keep the alpha.
        Prepare(bitmap, TPixelFormat::pf32bit, w, h);
        bool anyAlpha = false, allOpaque = true;
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* source = bytes.data() + layout.RowOffset(y);
            std::uint8_t* row = bitmap.ScanLine(y);
            std::memcpy(row, source, std::size_t(w) * 4);
            for (int x = 0; x < w; ++x) {
                anyAlpha |= row[4 * x + 3] != 0;
                allOpaque &= row[4 * x + 3] == 255;
            }
        }
        if (anyAlpha && !allOpaque) return true;
        // No alpha at all (a writer that left the fourth byte zero), or all opaque.
        for (int y = 0; y < h; ++y) {
            std::uint8_t* row = bitmap.ScanLine(y);
            for (int x = 0; x < w; ++x)
                row[4 * x + 3] = 255;
        }
        return false;
    }
    Prepare(bitmap, TPixelFormat::pf24bit, w, h);
    // The checked headers as they stand in the file: GDI reads the masks and the
    // colour table after the information header, and the rows from the offset.
    const auto* header =
        reinterpret_cast<const BITMAPINFO*>(bytes.data() + glimra::BmpLayout::kInfoOffset);
    if (::SetDIBitsToDevice(bitmap.Canvas().Handle(), 0, 0, w, h, 0, 0, 0, h,
                            bytes.data() + layout.pixelsOffset, header, DIB_RGB_COLORS) == 0)
        throw EInvalidGraphic("the BMP file cannot be drawn");
    ::GdiFlush();
    return false;
}

bool DecodeDib(std::span<const std::uint8_t> bytes, TBitmap& bitmap) {
    return DecodeWith(glimra::DecodePackedDib, bytes, bitmap);
}

std::span<const std::uint8_t> PictureResource(const std::string& name) {
    HINSTANCE instance = Application->Instance();
    HRSRC info = ::FindResourceA(instance, name.c_str(), MAKEINTRESOURCEA(10));  // RT_RCDATA
    HGLOBAL data = info ? ::LoadResource(instance, info) : nullptr;
    const void* bytes = data ? ::LockResource(data) : nullptr;
    if (!bytes) throw EInvalidGraphic("the picture " + name + " is missing");
    return {static_cast<const std::uint8_t*>(bytes), ::SizeofResource(instance, info)};
}

bool DecodePicture(std::span<const std::uint8_t> bytes, TBitmap& bitmap) {
    auto startsWith = [&](const char* magic) {
        const std::size_t n = std::strlen(magic);
        return bytes.size() >= n && std::memcmp(bytes.data(), magic, n) == 0;
    };
    if (startsWith("BM")) return DecodeBmp(bytes, bitmap);
    if (startsWith("\xFF\xD8")) return DecodeWith(glimra::DecodeJpegFile, bytes, bitmap);
    if (startsWith("GIF8")) return DecodeWith(glimra::DecodeGifFile, bytes, bitmap);
    if (startsWith("\x89PNG")) return DecodeWith(glimra::DecodePngFile, bytes, bitmap);
    throw EInvalidGraphic("the picture is no BMP, JPEG, GIF or PNG file");
}

}  // namespace ui
