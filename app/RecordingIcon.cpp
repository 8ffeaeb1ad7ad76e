#include "app/RecordingIcon.h"

#include <cstdint>
#include <vector>

HICON RecordingIcon(HICON icon) {
    ICONINFO parts{};
    if (!icon || !::GetIconInfo(icon, &parts)) return nullptr;
    BITMAP shape{};
    ::GetObjectA(parts.hbmColor ? parts.hbmColor : parts.hbmMask, sizeof shape, &shape);
    const int width = shape.bmWidth, height = parts.hbmColor ? shape.bmHeight : shape.bmHeight / 2;
    HICON made = nullptr;
    HDC screen = ::GetDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP colour = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (colour && parts.hbmColor && width > 0 && height > 0) {
        // The icon's pixels with their alpha; where it has none (an icon of
        // fewer colours), the mask gives it.
        auto* pixels = static_cast<std::uint32_t*>(bits);
        ::GetDIBits(screen, parts.hbmColor, 0, UINT(height), pixels, &info, DIB_RGB_COLORS);
        bool alpha = false;
        for (int i = 0; i < width * height; ++i)
            alpha = alpha || (pixels[i] >> 24) != 0;
        if (!alpha) {
            std::vector<std::uint32_t> mask(std::size_t(width) * std::size_t(height));
            ::GetDIBits(screen, parts.hbmMask, 0, UINT(height), mask.data(), &info, DIB_RGB_COLORS);
            for (int i = 0; i < width * height; ++i)
                pixels[i] = (pixels[i] & 0xFFFFFF) | ((mask[i] & 0xFFFFFF) ? 0 : 0xFF000000u);
        }
        // The dot: a red disc of 6/16 of the icon's size, white-edged so that it
        // stands out on any picture.
        const double r = width * 3.0 / 16, cx = width - r - 0.5, cy = height - r - 0.5;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
                if (d2 <= r * r)
                    pixels[y * width + x] = 0xFFE02020u;
                else if (d2 <= (r + 1) * (r + 1))
                    pixels[y * width + x] = 0xFFFFFFFFu;
            }
        // Every pixel's alpha is in the colour bitmap; the mask adds nothing.
        HBITMAP mask = ::CreateBitmap(width, height, 1, 1, nullptr);
        std::vector<std::uint8_t> clear(std::size_t((width + 15) / 16 * 2) * std::size_t(height));
        ::SetBitmapBits(mask, LONG(clear.size()), clear.data());
        ICONINFO madeParts{TRUE, 0, 0, mask, colour};
        made = ::CreateIconIndirect(&madeParts);
        ::DeleteObject(mask);
    }
    if (colour) ::DeleteObject(colour);
    ::ReleaseDC(nullptr, screen);
    if (parts.hbmColor) ::DeleteObject(parts.hbmColor);
    if (parts.hbmMask) ::DeleteObject(parts.hbmMask);
    return made;
}
