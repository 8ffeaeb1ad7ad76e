#include "output/windows/print_page.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "win/handles.h"

namespace glimra {

namespace {

// "Arial" with a cell height of `points` at `dpiY`.
win::Font ArialFont(int points, int dpiY) {
    return win::Font(::CreateFontA(::MulDiv(dpiY, points, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                   FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial"));
}

SIZE TextSize(HDC dc, const std::string& text) {
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

std::string TwoDigits(int value) {
    return std::string(1, static_cast<char>('0' + value / 10 % 10)) +
           static_cast<char>('0' + value % 10);
}

std::string LocaleText(LCTYPE type, const char* fallback) {
    char text[8] = {};
    return ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text) > 0 ? text : fallback;
}

void DrawPicture(HDC dc, const PageSize& page, const PageLayout& layout, const PixelView& picture) {
    if (picture.Empty() || layout.pictureHeight <= 0) return;
    if (picture.bytesPerPixel != 3 ||
        picture.stride != ((static_cast<std::ptrdiff_t>(picture.width) * 3 + 3) & ~3))
        throw std::runtime_error("Cannot print: the picture is not in 24 bits per pixel.");
    // Only the rows that reach the page are drawn, at the scale of the whole
    // picture: one more than the visible part needs, so that the cut lies on the
    // page's edge.
    const std::int64_t visible = std::max(0, page.height - layout.pictureTop);
    std::int64_t rows = picture.height;
    if (layout.pictureHeight > visible)
        rows = std::min<std::int64_t>(picture.height,
                                      visible * picture.height / layout.pictureHeight + 1);
    const std::int64_t height = rows * layout.pictureHeight / picture.height;
    if (height <= 0) return;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -static_cast<LONG>(rows);  // the first rows, from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    // HALFTONE averages the picture's pixels into each printed one, where the
    // default mode would AND them into black; HALFTONE needs the brush origin set
    // afterwards (StretchDIBits and SetStretchBltMode,
    // https://learn.microsoft.com/windows/win32/api/wingdi/nf-wingdi-setstretchbltmode).
    ::SetStretchBltMode(dc, HALFTONE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    if (::StretchDIBits(dc, layout.left, layout.pictureTop, layout.pictureWidth,
                        static_cast<int>(height), 0, 0, picture.width, static_cast<int>(rows),
                        picture.data, &info, DIB_RGB_COLORS, SRCCOPY) == 0)
        throw std::runtime_error("Cannot print: the printer did not take the picture.");
}

}  // namespace

PageLayout LayOutPage(const PageSize& page, int t, int headingWidth, int footerT, int pictureWidth,
                      int pictureHeight) {
    PageLayout layout;
    layout.headingX = (page.width - headingWidth) / 2;
    layout.headingY = 3 * t;
    layout.left = ::MulDiv(page.width, 12, 100);
    layout.pictureTop = 5 * t;
    layout.pictureWidth = ::MulDiv(page.width, 76, 100);
    if (pictureWidth > 0)
        layout.pictureHeight = std::int64_t{pictureHeight} * layout.pictureWidth / pictureWidth;
    layout.footerX = layout.left;
    layout.footerY = page.height - footerT;
    return layout;
}

std::string FooterText(const SYSTEMTIME& time, const std::string& dateSeparator,
                       const std::string& timeSeparator) {
    return std::to_string(time.wMonth) + dateSeparator + std::to_string(time.wDay) + dateSeparator +
           TwoDigits(time.wYear % 100) + "  " + std::to_string(time.wHour) + timeSeparator +
           TwoDigits(time.wMinute);
}

std::string CurrentFooterText() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return FooterText(now, LocaleText(LOCALE_SDATE, "/"), LocaleText(LOCALE_STIME, ":"));
}

PageLayout DrawPage(HDC dc, const PageSize& page, const PixelView& picture,
                    const std::string& footer) {
    ::SetBkMode(dc, OPAQUE);
    ::SetBkColor(dc, RGB(255, 255, 255));
    ::SetTextColor(dc, RGB(0, 0, 0));

    win::Font headingFont = ArialFont(12, page.dpiY), footerFont = ArialFont(8, page.dpiY);
    win::Selection keep(dc, headingFont.Get());  // the context's own font comes back at the end
    const int t = TextSize(dc, "X").cy;
    const int headingWidth = TextSize(dc, kPageHeading).cx;
    ::SelectObject(dc, footerFont.Get());
    const int footerT = TextSize(dc, "X").cy;

    const PageLayout layout =
        LayOutPage(page, t, headingWidth, footerT, picture.width, picture.height);
    ::SelectObject(dc, headingFont.Get());
    ::TextOutA(dc, layout.headingX, layout.headingY, kPageHeading,
               static_cast<int>(std::strlen(kPageHeading)));
    DrawPicture(dc, page, layout, picture);
    ::SelectObject(dc, footerFont.Get());
    ::TextOutA(dc, layout.footerX, layout.footerY, footer.c_str(), static_cast<int>(footer.size()));
    return layout;
}

}  // namespace glimra
