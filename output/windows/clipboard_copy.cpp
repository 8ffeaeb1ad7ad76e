#include "output/windows/clipboard_copy.h"

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <utility>

#include <shlobj.h>

#include "output/byte_sink.h"
#include "output/png_writer.h"
#include "win/handles.h"

namespace glimra {

namespace {

// Copies one row of the picture. A 32-bit picture's fourth byte is whatever the
// capture left there (a screen grab leaves 0); a program that pastes the bitmap
// may read that byte as alpha (CF_DIBV5, which the system makes from CF_DIB, says
// so), and a picture that is transparent everywhere shows as nothing. The pasted
// picture is opaque: the fourth byte of every pixel is 255.
// A picture with alpha keeps its fourth byte where `keepAlpha` says so.
void CopyRow(std::uint8_t* to, const std::uint8_t* from, int width, int bytesPerPixel,
             bool keepAlpha = false) {
    const std::size_t rowBytes = std::size_t(width) * bytesPerPixel;
    std::memcpy(to, from, rowBytes);
    if (bytesPerPixel == 4 && !keepAlpha)
        for (std::size_t i = 3; i < rowBytes; i += 4)
            to[i] = 0xFF;
}

// A new DIB section of the picture's size and layout with its pixels.
win::Bitmap CopyPicture(const PixelView& picture) {
    if (picture.Empty() || picture.data == nullptr)
        throw std::runtime_error("Cannot copy: the picture is empty (width or height 0).");
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = static_cast<WORD>(picture.bytesPerPixel * 8);
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win::Bitmap copy(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!copy || !bits) throw std::runtime_error("Cannot copy the picture: not enough memory.");
    const std::size_t rowBytes = std::size_t(picture.width) * picture.bytesPerPixel;
    const std::size_t stride = (rowBytes + 3) & ~std::size_t(3);
    for (int y = 0; y < picture.height; ++y)
        CopyRow(static_cast<std::uint8_t*>(bits) + stride * std::size_t(y), picture.Row(y),
                picture.width, picture.bytesPerPixel);
    return copy;
}

using GlobalMemory = win::Owned<win::HandleTraits<HGLOBAL, ::GlobalFree>>;

// The picture as a packed device-independent bitmap in movable global memory: the
// header, then the rows from the bottom up, each padded to four bytes, in the
// picture's own layout. Every program can read this form, also where a bitmap handle
// does not cross from one process to another (under Wine it does not). With
// `withAlpha`, the header is a BITMAPV5HEADER (CF_DIBV5) that names the fourth
// byte of a 32-bit pixel as alpha; else a BITMAPINFOHEADER (CF_DIB). The
// fourth byte is 255 unless `keepAlpha` (a picture with straight alpha).
GlobalMemory PackedPicture(const PixelView& view, bool withAlpha, bool keepAlpha = false) {
    const std::size_t rowBytes = std::size_t(view.width) * view.bytesPerPixel;
    const std::size_t stride = (rowBytes + 3) & ~std::size_t(3);
    const std::size_t headerSize = withAlpha ? sizeof(BITMAPV5HEADER) : sizeof(BITMAPINFOHEADER);
    const std::size_t size = headerSize + stride * std::size_t(view.height);
    GlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    if (!memory) throw std::runtime_error("Cannot copy the picture: not enough memory.");
    auto* bytes = static_cast<std::uint8_t*>(::GlobalLock(memory.Get()));
    if (!bytes) throw std::runtime_error("Cannot copy the picture: not enough memory.");
    BITMAPV5HEADER header{};
    header.bV5Size = static_cast<DWORD>(headerSize);
    header.bV5Width = view.width;
    header.bV5Height = view.height;
    header.bV5Planes = 1;
    header.bV5BitCount = static_cast<WORD>(view.bytesPerPixel * 8);
    header.bV5Compression = BI_RGB;
    header.bV5SizeImage = static_cast<DWORD>(stride * std::size_t(view.height));
    if (withAlpha) {
        if (view.bytesPerPixel == 4) {
            header.bV5Compression = BI_BITFIELDS;
            header.bV5RedMask = 0x00FF0000;
            header.bV5GreenMask = 0x0000FF00;
            header.bV5BlueMask = 0x000000FF;
            header.bV5AlphaMask = 0xFF000000;
        }
        // LCS_sRGB, the four letters 'sRGB' (a multi-character constant in wingdi.h).
        header.bV5CSType = 0x73524742;
        header.bV5Intent = LCS_GM_IMAGES;
    }
    std::memcpy(bytes, &header, headerSize);
    std::uint8_t* rows = bytes + headerSize;
    for (int y = 0; y < view.height; ++y)
        CopyRow(rows + stride * std::size_t(view.height - 1 - y), view.Row(y), view.width,
                view.bytesPerPixel, keepAlpha);
    ::GlobalUnlock(memory.Get());
    return memory;
}

// Opens the clipboard, and closes it on every path once it was opened. Another
// program (a clipboard viewer, a manager that reads each new content) may hold it
// open for a moment: the opening is tried again for about half a second before the
// clipboard counts as taken.
class OpenClipboardScope {
  public:
    explicit OpenClipboardScope(HWND owner) {
        const DWORD start = ::GetTickCount();
        while (!::OpenClipboard(owner)) {
            if (::GetTickCount() - start >= kPatience)
                throw std::runtime_error("Cannot open clipboard");
            ::Sleep(kPause);
        }
    }
    ~OpenClipboardScope() { ::CloseClipboard(); }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;

  private:
    static constexpr DWORD kPatience = 500, kPause = 20;
};

}  // namespace

void CopyToClipboard(HWND owner, const PixelView& picture) {
    // The copies are made first: when that fails, the clipboard keeps what it held.
    win::Bitmap copy = CopyPicture(picture);
    GlobalMemory packed = PackedPicture(picture, false);
    // Windows makes CF_DIBV5 from CF_DIB by itself ("Synthesized clipboard
    // formats", https://learn.microsoft.com/windows/win32/dataxchg/clipboard-formats),
    // Wine does not: it is put there too, so that every program that asks for it
    // gets the opaque picture.
    GlobalMemory packedV5 = PackedPicture(picture, true);
    OpenClipboardScope open(owner);
    ::EmptyClipboard();
    if (!::SetClipboardData(CF_BITMAP, copy.Get()))
        throw std::runtime_error("Cannot copy the picture to the clipboard.");
    // Handed over, each copy belongs to the clipboard.
    copy.Release();
    if (!::SetClipboardData(CF_DIB, packed.Get()))
        throw std::runtime_error("Cannot copy the picture to the clipboard.");
    packed.Release();
    if (!::SetClipboardData(CF_DIBV5, packedV5.Get()))
        throw std::runtime_error("Cannot copy the picture to the clipboard.");
    packedV5.Release();
}

void CopyToClipboardWithAlpha(HWND owner, const PixelView& picture, const PixelView& flat) {
    if (picture.bytesPerPixel != 4 || picture.width != flat.width || picture.height != flat.height)
        throw std::runtime_error("Cannot copy: the picture has no alpha.");
    win::Bitmap copy = CopyPicture(flat);
    GlobalMemory packed = PackedPicture(flat, false);
    GlobalMemory packedV5 = PackedPicture(picture, true, true);
    VectorSink png;
    WritePngWithAlpha(picture, png);  // a SaveError is a std::runtime_error
    GlobalMemory file(::GlobalAlloc(GMEM_MOVEABLE, png.Bytes().size()));
    void* to = file ? ::GlobalLock(file.Get()) : nullptr;
    if (!to) throw std::runtime_error("Cannot copy the picture: not enough memory.");
    std::memcpy(to, png.Bytes().data(), png.Bytes().size());
    ::GlobalUnlock(file.Get());
    // The name under which programs that keep transparency look for a PNG file.
    const UINT pngFormat = ::RegisterClipboardFormatA("PNG");
    OpenClipboardScope open(owner);
    ::EmptyClipboard();
    const std::pair<UINT, HANDLE> formats[] = {{CF_BITMAP, copy.Get()},
                                               {CF_DIB, packed.Get()},
                                               {CF_DIBV5, packedV5.Get()},
                                               {pngFormat, file.Get()}};
    for (const auto& [format, data] : formats)
        if (!format || !::SetClipboardData(format, data))
            throw std::runtime_error("Cannot copy the picture to the clipboard.");
    // Handed over, each copy belongs to the clipboard.
    copy.Release();
    packed.Release();
    packedV5.Release();
    file.Release();
}

void CopyFileToClipboard(HWND owner, const std::wstring& path) {
    // DROPFILES, then the paths, each ended by a zero, and one zero more.
    const std::size_t bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
    GlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes));
    auto* drop = memory ? static_cast<DROPFILES*>(::GlobalLock(memory.Get())) : nullptr;
    if (!drop) throw std::runtime_error("Cannot copy the file: not enough memory.");
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<std::uint8_t*>(drop) + sizeof(DROPFILES), path.c_str(),
                path.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory.Get());
    OpenClipboardScope open(owner);
    ::EmptyClipboard();
    if (!::SetClipboardData(CF_HDROP, memory.Get()))
        throw std::runtime_error("Cannot copy the file to the clipboard.");
    memory.Release();
}

void CopyTextToClipboard(HWND owner, const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    GlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes));
    void* to = memory ? ::GlobalLock(memory.Get()) : nullptr;
    if (!to) throw std::runtime_error("Cannot copy the text: not enough memory.");
    std::memcpy(to, text.c_str(), text.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory.Get());
    OpenClipboardScope open(owner);
    ::EmptyClipboard();
    if (!::SetClipboardData(CF_UNICODETEXT, memory.Get()))
        throw std::runtime_error("Cannot copy the text to the clipboard.");
    memory.Release();
}

}  // namespace glimra
