// The printed page: a centred heading, the picture at 76 % of the page width
// with its proportions kept, and a footer with the date and time. Drawn on any
// device context of a given size, so that a memory drawing context can stand
// in for a printer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "imaging/pixel_view.h"

namespace glimra {

// The printable area in device units and the vertical resolution in dots per inch.
struct PageSize {
    int width = 0, height = 0, dpiY = 0;
};

// Where the parts of the page go, in device units.
struct PageLayout {
    int headingX = 0, headingY = 0;  // the heading's top left: centred, at 3 t
    int left = 0;                    // L: 12 % of the page width
    int pictureTop = 0;              // 5 t
    int pictureWidth = 0;            // P: 76 % of the page width
    std::int64_t pictureHeight = 0;  // picture height x P / picture width (0 for width 0)
    int footerX = 0, footerY = 0;    // at L, one footer "X" above the bottom
};

// t is the heading font's height of "X", headingWidth the heading's measured
// width, footerT the footer font's height of "X".
PageLayout LayOutPage(const PageSize& page, int t, int headingWidth, int footerT, int pictureWidth,
                      int pictureHeight);

// The heading's text.
inline constexpr const char* kPageHeading = "Norvanta Glimra";

// "m/d/yy  h:nn" of `time`, with the date and time separators given.
std::string FooterText(const SYSTEMTIME& time, const std::string& dateSeparator,
                       const std::string& timeSeparator);
// The footer of now, with the user's regional separators.
std::string CurrentFooterText();

// Draws the whole page on `dc`: heading, `picture` (24-bit, rows padded to 4
// bytes as in a DIB) and `footer`. A picture taller than the page is cut at
// the page's bottom edge and only its visible rows are sent to the device.
// Throws std::runtime_error when the device refuses the picture. Returns the
// layout it used.
PageLayout DrawPage(HDC dc, const PageSize& page, const PixelView& picture,
                    const std::string& footer);

}  // namespace glimra
