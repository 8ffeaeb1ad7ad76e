#include "app/PictureIntake.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cstdint>
#include <new>
#include <vector>

#include "ui/PictureLoader.h"
#include "ui/TBitmap.h"
#include "ui/TForm.h"
#include "win/SystemError.h"
#include "win/CurrentDirectory.h"
#include "win/SystemFunction.h"
#include "win/Utf8.h"

namespace {

// Files of a gigabyte and more are refused unread: no picture we can hold
// comes from one.
constexpr LONGLONG kLargestFile = LONGLONG(1) << 30;

// A picture with straight alpha over white, as a new 24-bit bitmap.
std::unique_ptr<ui::TBitmap> OverWhite(ui::TBitmap& picture) {
    auto opaque = std::make_unique<ui::TBitmap>();
    opaque->SetPixelFormat(ui::TPixelFormat::pf24bit);
    opaque->SetSize(picture.Width(), picture.Height());
    const glimra::PixelView from = picture.View(), to = opaque->View();
    for (int y = 0; y < from.height; ++y) {
        const std::uint8_t* s = from.Row(y);
        std::uint8_t* d = to.Row(y);
        for (int x = 0; x < from.width; ++x, s += 4, d += 3)
            for (int c = 0; c < 3; ++c)
                d[c] = std::uint8_t((s[c] * s[3] + 255 * (255 - s[3]) + 127) / 255);
    }
    return opaque;
}

// Runs `decode` (true for a picture with transparency) into a new bitmap and
// returns it opaque; null with the reason when the bytes are no picture, a
// damaged one, or one larger than memory allows.
template <class Decode>
std::unique_ptr<ui::TBitmap> Decoded(Decode decode, std::string& failure) {
    try {
        auto picture = std::make_unique<ui::TBitmap>();
        if (decode(*picture)) picture = OverWhite(*picture);
        return picture;
    } catch (const ui::EInvalidGraphic& e) {
        failure = e.what();
    } catch (const ui::EOutOfResources& e) {
        failure = e.what();
    } catch (const std::bad_alloc&) {
        failure = "there is not enough memory for the picture";
    }
    return nullptr;
}

// The bytes of a clipboard format held in global memory; empty when there are none.
std::vector<std::uint8_t> GlobalBytes(UINT format) {
    HANDLE data = ::GetClipboardData(format);
    const void* bytes = data ? ::GlobalLock(data) : nullptr;
    if (!bytes) return {};
    const auto* begin = static_cast<const std::uint8_t*>(bytes);
    std::vector<std::uint8_t> copy(begin, begin + ::GlobalSize(data));
    ::GlobalUnlock(data);
    return copy;
}

// The clipboard's bitmap handle, read as 24-bit rows from the top (it has no
// transparency: false). Throws EInvalidGraphic when the handle cannot be read.
bool DecodeBitmapHandle(HBITMAP handle, ui::TBitmap& picture) {
    BITMAP info{};
    if (!::GetObjectW(handle, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight == 0)
        throw ui::EInvalidGraphic("the clipboard's bitmap cannot be read");
    const int width = info.bmWidth, height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    picture.SetPixelFormat(ui::TPixelFormat::pf24bit);
    picture.SetSize(width, height);
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = -height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 24;
    header.bmiHeader.biCompression = BI_RGB;
    HDC screen = ::GetDC(nullptr);
    const int rows =
        ::GetDIBits(screen, handle, 0, UINT(height), picture.View().data, &header, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows != height) throw ui::EInvalidGraphic("the clipboard's bitmap cannot be read");
    return false;
}

// The clipboard's picture from the first format it offers of PNG, CF_DIBV5,
// CF_DIB and CF_BITMAP that decodes; null when it offers none (`failure` empty)
// or none decodes (`failure` the first reason).
std::unique_ptr<ui::TBitmap> ClipboardPicture(HWND owner, std::string& failure) {
    // Another program may hold the clipboard open for a moment while it fills it.
    bool open = false;
    for (int attempt = 0; attempt < 10 && !(open = ::OpenClipboard(owner)); ++attempt)
        ::Sleep(50);
    if (!open) {
        failure = "another program holds the clipboard";
        return nullptr;
    }
    struct Close {
        ~Close() { ::CloseClipboard(); }
    } close;
    const UINT png = ::RegisterClipboardFormatA("PNG");
    for (const UINT format : {png, UINT(CF_DIBV5), UINT(CF_DIB), UINT(CF_BITMAP)}) {
        if (!format || !::IsClipboardFormatAvailable(format)) continue;
        std::string reason;
        std::unique_ptr<ui::TBitmap> picture;
        if (format == CF_BITMAP) {
            auto handle = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
            if (!handle) continue;
            picture =
                Decoded([&](ui::TBitmap& p) { return DecodeBitmapHandle(handle, p); }, reason);
        } else {
            const std::vector<std::uint8_t> bytes = GlobalBytes(format);
            if (bytes.empty()) continue;
            picture = Decoded(
                [&](ui::TBitmap& p) {
                    return format == png ? ui::DecodePicture(bytes, p) : ui::DecodeDib(bytes, p);
                },
                reason);
        }
        if (picture) return picture;
        if (failure.empty()) failure = reason;
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<ui::TBitmap> ReadPictureFile(const std::wstring& path, std::string& failure) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        failure = win::SystemErrorText(::GetLastError());
        return nullptr;
    }
    LARGE_INTEGER size{};
    std::vector<std::uint8_t> bytes;
    DWORD read = 0;
    bool whole = false;
    try {
        whole = ::GetFileSizeEx(file, &size) && size.QuadPart < kLargestFile &&
                (bytes.resize(std::size_t(size.QuadPart)),
                 ::ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr)) &&
                read == bytes.size();
    } catch (const std::bad_alloc&) {
    }
    ::CloseHandle(file);
    if (!whole) {
        failure = "the file cannot be read whole";
        return nullptr;
    }
    return Decoded([&](ui::TBitmap& p) { return ui::DecodePicture(bytes, p); }, failure);
}

void PictureIntake::OpenWithDialog() {
    static const wchar_t kFilter[] =
        L"Pictures (*.bmp;*.jpg;*.jpeg;*.gif;*.png)\0*.bmp;*.jpg;*.jpeg;*.gif;*.png\0"
        L"All files (*.*)\0*.*\0";
    std::vector<wchar_t> name(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = window_.Handle();
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = DWORD(name.size());
    // The program's current folder stays where it was.
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                OFN_NOCHANGEDIR | OFN_ENABLESIZING;
    static const auto getOpenFileName =
        win::SystemFunction<decltype(::GetOpenFileNameW)>("comdlg32.dll", "GetOpenFileNameW");
    const bool chosen = [&] {
        const win::CurrentDirectoryKept kept;
        return getOpenFileName(&ofn) != 0;
    }();
    if (!chosen) {
        if (const DWORD failure = win::CommonDialogError())
            throw std::runtime_error("The open dialog could not be shown (error " +
                                     std::to_string(failure) + ")");
        return;
    }
    const std::wstring path = name.data();
    std::string failure;
    if (std::unique_ptr<ui::TBitmap> picture = ReadPictureFile(path, failure))
        take_(*picture);
    else
        Refused(path, failure);
}

void PictureIntake::Drop(HDROP drop) {
    struct Finish {
        HDROP drop;
        ~Finish() { ::DragFinish(drop); }
    } finish{drop};
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::wstring first;
    std::string firstFailure;
    for (UINT i = 0; i < count; ++i) {
        const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        path.resize(::DragQueryFileW(drop, i, path.data(), length + 1));
        std::string failure;
        if (std::unique_ptr<ui::TBitmap> picture = ReadPictureFile(path, failure)) {
            take_(*picture);
            return;
        }
        if (i == 0) first = path, firstFailure = failure;
    }
    if (count > 0) Refused(first, firstFailure);
}

void PictureIntake::Paste() {
    std::string failure;
    std::unique_ptr<ui::TBitmap> picture = ClipboardPicture(window_.Handle(), failure);
    if (picture) {
        take_(*picture);
        return;
    }
    const std::string text = failure.empty()
                                 ? std::string("The clipboard holds no picture.")
                                 : "The clipboard's picture cannot be pasted: " + failure + ".";
    ::MessageBoxA(window_.Handle(), text.c_str(), "Paste", MB_OK | MB_ICONWARNING);
}

void PictureIntake::Refused(const std::wstring& path, const std::string& reason) const {
    // The name as it is, in wide characters: the ANSI code page may not spell it.
    const std::wstring text =
        L"\"" + path + L"\" cannot be opened:\n" + win::WideFrom(CP_ACP, reason) + L".";
    ::MessageBoxW(window_.Handle(), text.c_str(), L"Open", MB_OK | MB_ICONWARNING);
}
