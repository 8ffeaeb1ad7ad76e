#include "output/clipboard_copy.h"

#include <stdexcept>

#include "ui/handles.h"

namespace glimra {

namespace {

// A new DIB section of the picture's size and layout with its pixels.
ui::Bitmap CopyPicture(ui::TBitmap& picture) {
    if (picture.Empty())
        throw std::runtime_error("Cannot copy: the picture is empty (width or height 0).");
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture.Width();
    info.bmiHeader.biHeight = -picture.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(picture.BitsPerPixel());
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    ui::Bitmap copy(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!copy || !bits) throw std::runtime_error("Cannot copy the picture: not enough memory.");
    // Drawn through the picture's own canvas, which holds it selected.
    ui::MemoryDC target(::CreateCompatibleDC(nullptr));
    ui::Selection select(target.Get(), copy.Get());
    if (!::BitBlt(target.Get(), 0, 0, picture.Width(), picture.Height(), picture.Canvas().Handle(),
                  0, 0, SRCCOPY))
        throw std::runtime_error("Cannot copy the picture.");
    ::GdiFlush();
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

void CopyToClipboard(HWND owner, ui::TBitmap& picture) {
    // The copy is made first: when that fails, the clipboard keeps what it held.
    ui::Bitmap copy = CopyPicture(picture);
    OpenClipboardScope open(owner);
    ::EmptyClipboard();
    if (!::SetClipboardData(CF_BITMAP, copy.Get()))
        throw std::runtime_error("Cannot copy the picture to the clipboard.");
    // Handed over, the bitmap belongs to the clipboard.
    copy.Release();
}

}  // namespace glimra
