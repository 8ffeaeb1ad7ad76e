#include "ocr/windows/gdi_text_line.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace glimra::ocr {

GrayImage GdiTextLine(const char* text, int pixels, int margin, int scale) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    HFONT font = ::CreateFontA(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                               DEFAULT_PITCH, "Tahoma");
    HGDIOBJ oldFont = ::SelectObject(dc, font);
    SIZE extent{};
    ::GetTextExtentPoint32A(dc, text, int(std::strlen(text)), &extent);
    const int w = extent.cx + 2 * margin, h = extent.cy + 2 * margin;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
    RECT all{0, 0, w, h};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkMode(dc, TRANSPARENT);
    ::TextOutA(dc, margin, margin, text, int(std::strlen(text)));
    ::GdiFlush();
    std::vector<double> small(std::size_t(w) * h);
    const auto* drawn = static_cast<const std::uint8_t*>(bits);
    for (std::size_t i = 0; i < small.size(); ++i)
        small[i] = (drawn[4 * i] + drawn[4 * i + 1] + drawn[4 * i + 2]) / 3.0;
    ::SelectObject(dc, oldBitmap);
    ::SelectObject(dc, oldFont);
    ::DeleteObject(bitmap);
    ::DeleteObject(font);
    ::DeleteDC(dc);

    GrayImage line;
    line.width = w * scale;
    line.height = h * scale;
    line.pixels.resize(std::size_t(line.width) * line.height);
    for (int y = 0; y < line.height; ++y) {
        const double sy = std::clamp((y + 0.5) / scale - 0.5, 0.0, h - 1.0);
        const int y0 = int(sy), y1 = std::min(y0 + 1, h - 1);
        for (int x = 0; x < line.width; ++x) {
            const double sx = std::clamp((x + 0.5) / scale - 0.5, 0.0, w - 1.0);
            const int x0 = int(sx), x1 = std::min(x0 + 1, w - 1);
            const double fx = sx - x0, fy = sy - y0;
            const double top = small[y0 * w + x0] * (1 - fx) + small[y0 * w + x1] * fx;
            const double bottom = small[y1 * w + x0] * (1 - fx) + small[y1 * w + x1] * fx;
            line.pixels[std::size_t(y) * line.width + x] =
                std::uint8_t(top * (1 - fy) + bottom * fy + 0.5);
        }
    }
    return line;
}

}  // namespace glimra::ocr
