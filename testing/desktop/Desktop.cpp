#include "testing/desktop/Desktop.h"

#include <cstdio>
#include <stdexcept>
#include <vector>

#include "output/byte_sink.h"
#include "output/png_writer.h"
#include "testing/desktop/Program.h"
#include "win/handles.h"

namespace glimra::test {

namespace {

void Send(INPUT input) {
    if (::SendInput(1, &input, sizeof input) != 1) throw std::runtime_error("SendInput failed");
    ::Sleep(15);
}

}  // namespace

void MoveMouseTo(POINT p) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(p.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(p.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    Send(input);
    // Under Wine the sent move places the system's pointer, but the display's
    // own pointer stays where it was until later; a window mapped in between
    // then reports the old place as a move, and the next press lands there.
    // Placing the pointer directly as well keeps the two together.
    ::SetCursorPos(p.x, p.y);
    // The position is there once the system has taken the move in.
    for (int i = 0; i < 50; ++i) {
        POINT now;
        ::GetCursorPos(&now);
        if (now.x == p.x && now.y == p.y) break;
        ::Sleep(10);
    }
}

void MouseEvent(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    Send(input);
}

void ClickAt(POINT p) {
    MoveMouseTo(p);
    // The window under the pointer takes the move in before the press comes.
    ::Sleep(60);
    MouseEvent(MOUSEEVENTF_LEFTDOWN);
    MouseEvent(MOUSEEVENTF_LEFTUP);
}

void ClickWindow(HWND window) {
    RECT r;
    ::GetWindowRect(window, &r);
    ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void PressKey(WORD key) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    Send(input);
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    Send(input);
}

void KeyEvents(const std::vector<std::pair<WORD, bool>>& keys) {
    std::vector<INPUT> inputs;
    for (auto [key, down] : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    if (::SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size())
        throw std::runtime_error("SendInput failed");
}

BITMAPINFO TopDownDib(int width, int height, WORD bitsPerPixel) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitsPerPixel;
    return info;
}

std::string SaveScreenshot(HWND window, const std::string& name) {
    RECT r;
    ::GetWindowRect(window, &r);
    return SaveScreenshot(r, name);
}

std::string SaveScreenshot(const RECT& r, const std::string& name) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info = TopDownDib(w, h, 24);
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) throw std::runtime_error("no memory for a screenshot");
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ::GdiFlush();
    const std::string path = TestFolder("screenshots") + "\\" + name + ".png";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file) {
        FileSink sink(file);
        WritePng({static_cast<std::uint8_t*>(bits), w, h, ((w * 3 + 3) & ~3), 3}, sink);
        std::fclose(file);
    }
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(bitmap);
    if (!file) throw std::runtime_error("cannot write " + path);
    return path;
}

bool OpenClipboardSoon(HWND owner) {
    return WaitFor([owner] { return ::OpenClipboard(owner) != FALSE; }, 2000);
}

std::vector<std::uint8_t> ClipboardBytes(UINT format) {
    std::vector<std::uint8_t> bytes;
    if (!OpenClipboardSoon()) return bytes;
    if (HANDLE data = ::GetClipboardData(format)) {
        const SIZE_T size = ::GlobalSize(data);
        if (const auto* b = static_cast<const std::uint8_t*>(::GlobalLock(data))) {
            bytes.assign(b, b + size);
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return bytes;
}

std::vector<std::uint8_t> ClipboardPictureFile() {
    const std::vector<std::uint8_t> packed = ClipboardBytes(CF_DIB);
    if (packed.empty()) return {};
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;  // "BM"
    header.bfSize = static_cast<DWORD>(sizeof header + packed.size());
    header.bfOffBits = sizeof header + sizeof(BITMAPINFOHEADER);
    const auto* h = reinterpret_cast<const std::uint8_t*>(&header);
    std::vector<std::uint8_t> file(h, h + sizeof header);
    file.insert(file.end(), packed.begin(), packed.end());
    return file;
}

ClipboardBitmap ReadClipboardBitmap(HWND owner) {
    ClipboardBitmap result;
    if (!OpenClipboardSoon(owner)) return result;
    if (auto bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP))) {
        BITMAP bm{};
        ::GetObjectA(bitmap, sizeof bm, &bm);
        result.width = bm.bmWidth;
        result.height = bm.bmHeight;
        result.bitsPerPixel = bm.bmBitsPixel;
        win::MemoryDC dc(::CreateCompatibleDC(nullptr));
        win::Selection select(dc.Get(), bitmap);
        for (int y = 0; y < bm.bmHeight; ++y)
            for (int x = 0; x < bm.bmWidth; ++x)
                result.pixels.push_back(::GetPixel(dc.Get(), x, y));
    }
    ::CloseClipboard();
    return result;
}

}  // namespace glimra::test
