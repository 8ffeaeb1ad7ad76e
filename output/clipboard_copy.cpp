#include "output/clipboard_copy.h"

#include <stdexcept>
#include <vector>

#include "ui/handles.h"

namespace glimra {

namespace {

struct CopiedPicture {
    ui::Bitmap bitmap;
    ui::Palette palette;  // only for a picture with a colour table
};

CopiedPicture CopyPicture(HBITMAP picture) {
    if (!picture)
        throw std::runtime_error("Cannot copy: the picture is empty (width or height 0).");
    DIBSECTION section{};
    if (::GetObjectA(picture, sizeof section, &section) != sizeof section)
        throw std::runtime_error("Cannot copy the picture: it is not a device-independent bitmap.");
    const BITMAP& bm = section.dsBm;
    ui::MemoryDC source(::CreateCompatibleDC(nullptr)), target(::CreateCompatibleDC(nullptr));
    ui::Selection fromPicture(source.Get(), picture);

    // The same header and colour table; rows from the top, like the picture's own.
    std::vector<std::uint8_t> storage(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* info = reinterpret_cast<BITMAPINFO*>(storage.data());
    info->bmiHeader = section.dsBmih;
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biHeight = -bm.bmHeight;
    info->bmiHeader.biSizeImage = 0;
    UINT colours = 0;
    if (bm.bmBitsPixel <= 8) {
        colours = ::GetDIBColorTable(source.Get(), 0, 256, info->bmiColors);
        info->bmiHeader.biClrUsed = colours;
    }
    void* bits = nullptr;
    CopiedPicture copy;
    copy.bitmap.Reset(::CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!copy.bitmap || !bits)
        throw std::runtime_error("Cannot copy the picture: not enough memory.");
    {
        ui::Selection toCopy(target.Get(), copy.bitmap.Get());
        ::BitBlt(target.Get(), 0, 0, bm.bmWidth, bm.bmHeight, source.Get(), 0, 0, SRCCOPY);
        ::GdiFlush();
    }
    if (colours > 0) {
        std::vector<std::uint8_t> logical(sizeof(LOGPALETTE) + colours * sizeof(PALETTEENTRY));
        auto* palette = reinterpret_cast<LOGPALETTE*>(logical.data());
        palette->palVersion = 0x300;
        palette->palNumEntries = static_cast<WORD>(colours);
        for (UINT i = 0; i < colours; ++i) {
            const RGBQUAD& c = info->bmiColors[i];
            palette->palPalEntry[i] = {c.rgbRed, c.rgbGreen, c.rgbBlue, 0};
        }
        copy.palette.Reset(::CreatePalette(palette));
    }
    return copy;
}

// Closes the clipboard on every path once it was opened.
class OpenClipboardScope {
  public:
    explicit OpenClipboardScope(HWND owner) {
        if (!::OpenClipboard(owner)) throw std::runtime_error("Cannot open clipboard");
    }
    ~OpenClipboardScope() { ::CloseClipboard(); }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
};

}  // namespace

void CopyToClipboard(HWND owner, HBITMAP picture) {
    // The copy is made first: when it fails, the clipboard keeps what it held.
    CopiedPicture copy = CopyPicture(picture);
    OpenClipboardScope open(owner);
    ::EmptyClipboard();
    // Handed over, the handles belong to the clipboard.
    if (!::SetClipboardData(CF_BITMAP, copy.bitmap.Get()))
        throw std::runtime_error("Cannot copy the picture to the clipboard.");
    copy.bitmap.Release();
    if (copy.palette) {
        if (!::SetClipboardData(CF_PALETTE, copy.palette.Get()))
            throw std::runtime_error("Cannot copy the picture's palette to the clipboard.");
        copy.palette.Release();
    }
}

}  // namespace glimra
