#include "ui/PictureLoader.h"

#include <windows.h>

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <jpeglib.h>
// clang-format on
#include <gif_lib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <memory>

#include "imaging/bmp_file.h"
#include "output/jpeg_errors.h"
#include "ui/TApplication.h"
#include "ui/TBitmap.h"

namespace ui {

using glimra::JpegErrors;

namespace {

// --- JPEG ------------------------------------------------------------------

// Owns the decompression object; destroying it is safe in every state.
struct JpegDecompressor {
    jpeg_decompress_struct info{};
    ~JpegDecompressor() { jpeg_destroy_decompress(&info); }
};

// Decodes into 24-bit rows, blue, green, red, as libjpeg-turbo writes them
// itself (JCS_EXT_BGR). False when libjpeg reported an error. A libjpeg error
// leaves by longjmp, so this function holds no object with a destructor; the
// bitmap's own errors are exceptions, thrown while no libjpeg frame is running.
bool Decompress(jpeg_decompress_struct& info, JpegErrors& errors,
                std::span<const std::uint8_t> bytes, TBitmap& bitmap) {
    if (setjmp(errors.jump)) return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    bitmap.SetSize(0, 0);
    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    bitmap.SetSize(int(info.output_width), int(info.output_height));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = bitmap.ScanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

bool DecodeJpeg(std::span<const std::uint8_t> bytes, TBitmap& bitmap) {
    JpegErrors errors;
    JpegDecompressor decompressor;
    decompressor.info.err = errors.Install();
    if (!Decompress(decompressor.info, errors, bytes, bitmap))
        throw EInvalidGraphic(std::string("the JPEG file cannot be read: ") + errors.message);
    return false;
}

// --- GIF -------------------------------------------------------------------

struct GifSource {
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
};

// giflib's reader: copies from memory, fewer bytes at the end; never throws.
int ReadGif(GifFileType* gif, GifByteType* buffer, int count) {
    auto* source = static_cast<GifSource*>(gif->UserData);
    const std::size_t n =
        std::min(std::size_t(std::max(count, 0)), source->bytes.size() - source->position);
    std::memcpy(buffer, source->bytes.data() + source->position, n);
    source->position += n;
    return int(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

// The first frame on its logical screen: transparent where the frame has its
// transparent colour or does not reach.
bool DecodeGif(std::span<const std::uint8_t> bytes, TBitmap& bitmap) {
    GifSource source{bytes};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, ReadGif, &error));
    if (!gif || DGifSlurp(gif.get()) != GIF_OK || gif->ImageCount < 1)
        throw EInvalidGraphic(std::string("the GIF file cannot be read: ") +
                              (GifErrorString(gif ? gif->Error : error)
                                   ? GifErrorString(gif ? gif->Error : error)
                                   : "damaged"));
    const SavedImage& frame = gif->SavedImages[0];
    const GifImageDesc& desc = frame.ImageDesc;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (!map || !frame.RasterBits) throw EInvalidGraphic("the GIF file has no colours");
    int transparent = NO_TRANSPARENT_COLOR;
    GraphicsControlBlock control;
    if (DGifSavedExtensionToGCB(gif.get(), 0, &control) == GIF_OK)
        transparent = control.TransparentColor;
    const int width = gif->SWidth > 0 ? gif->SWidth : desc.Width;
    const int height = gif->SHeight > 0 ? gif->SHeight : desc.Height;
    const bool covers =
        desc.Left == 0 && desc.Top == 0 && desc.Width >= width && desc.Height >= height;
    const bool alpha = transparent != NO_TRANSPARENT_COLOR || !covers;

    bitmap.SetSize(0, 0);
    bitmap.SetPixelFormat(alpha ? TPixelFormat::pf32bit : TPixelFormat::pf24bit);
    bitmap.SetSize(width, height);
    const int bytesPerPixel = alpha ? 4 : 3;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        std::memset(row, 0, std::size_t(width) * bytesPerPixel);
        const int fy = y - desc.Top;
        if (fy < 0 || fy >= desc.Height) continue;
        for (int x = std::max(0, desc.Left); x < std::min(width, desc.Left + desc.Width); ++x) {
            const int index = frame.RasterBits[std::size_t(fy) * desc.Width + (x - desc.Left)];
            if (index == transparent) continue;
            std::uint8_t* p = row + x * bytesPerPixel;
            if (index < map->ColorCount) {
                p[0] = map->Colors[index].Blue;
                p[1] = map->Colors[index].Green;
                p[2] = map->Colors[index].Red;
            }
            if (alpha) p[3] = 255;
        }
    }
    return alpha;
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
        bitmap.SetSize(0, 0);
        bitmap.SetPixelFormat(TPixelFormat::pf32bit);
        bitmap.SetSize(w, h);
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
    bitmap.SetSize(0, 0);
    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    bitmap.SetSize(w, h);
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
    if (startsWith("\xFF\xD8")) return DecodeJpeg(bytes, bitmap);
    if (startsWith("GIF8")) return DecodeGif(bytes, bitmap);
    throw EInvalidGraphic("the picture is no BMP, JPEG or GIF file");
}

}  // namespace ui
