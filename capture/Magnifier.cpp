#include "capture/Magnifier.h"

#include <algorithm>
#include <cstdio>

#include "win/handles.h"

namespace magnifier {

namespace {

void Frame(HDC dc, RECT r, COLORREF colour) {
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FrameRect(dc, &r, brush);
    ::DeleteObject(brush);
}

// The dialogs' font (DEFAULT_GUI_FONT, made for the system's dots per inch) at
// the size it has on a display of `dpi`.
win::Font TextFont(UINT dpi) {
    LOGFONTA font{};
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    win::WindowDC screen = win::WindowDC::Of(nullptr);
    const int system = ::GetDeviceCaps(screen.Get(), LOGPIXELSY);
    if (system > 0) font.lfHeight = ::MulDiv(font.lfHeight, int(dpi), system);
    return win::Font(::CreateFontIndirectA(&font));
}

}  // namespace

Measures MeasuresFor(UINT dpi) {
    if (dpi == 0) dpi = 96;
    Measures m;
    m.zoom = std::max(1, ::MulDiv(kZoom, int(dpi), 96));
    m.square = (2 * kReach + 1) * m.zoom;
    m.textHeight = ::MulDiv(kTextHeight, int(dpi), 96);
    m.gap = ::MulDiv(kGap, int(dpi), 96);
    m.width = m.square + 2 * kBorder;
    m.height = m.square + m.textHeight + 2 * kBorder;
    return m;
}

RECT Place(POINT pointer, const Display& display) {
    const Measures m = MeasuresFor(display.dpi);
    const RECT& area = display.area;
    int left = pointer.x + m.gap, top = pointer.y + m.gap;
    if (left + m.width > area.right) left = pointer.x - m.gap - m.width;
    if (top + m.height > area.bottom) top = pointer.y - m.gap - m.height;
    if (left < area.left) left = area.left;
    if (top < area.top) top = area.top;
    return {left, top, left + m.width, top + m.height};
}

void Paint(HDC dc, POINT origin, ui::TBitmap& frozen, POINT pointer, const Display& display,
           std::optional<SIZE> selection) {
    const Measures m = MeasuresFor(display.dpi);
    RECT box = Place(pointer, display);
    ::OffsetRect(&box, -origin.x, -origin.y);
    const RECT square{box.left + kBorder, box.top + kBorder, box.right - kBorder,
                      box.top + kBorder + m.square};
    // Pixels beyond the frozen image's edge show black.
    HBRUSH black = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    ::FillRect(dc, &square, black);
    const int previous = ::SetStretchBltMode(dc, COLORONCOLOR);
    const int side = 2 * kReach + 1;
    ::StretchBlt(dc, square.left, square.top, m.square, m.square, frozen.Canvas().Handle(),
                 pointer.x - origin.x - kReach, pointer.y - origin.y - kReach, side, side, SRCCOPY);
    ::SetStretchBltMode(dc, previous);

    // The pixel under the pointer: a black and a white outline, seen on any colour.
    const RECT centre{square.left + kReach * m.zoom, square.top + kReach * m.zoom,
                      square.left + (kReach + 1) * m.zoom, square.top + (kReach + 1) * m.zoom};
    Frame(dc, {centre.left - 1, centre.top - 1, centre.right + 1, centre.bottom + 1}, RGB(0, 0, 0));
    Frame(dc, centre, RGB(255, 255, 255));

    // The coordinates and the selection's size on a light field below.
    RECT text{square.left, square.bottom, square.right, box.bottom - kBorder};
    HBRUSH field = ::CreateSolidBrush(RGB(255, 255, 225));
    ::FillRect(dc, &text, field);
    ::DeleteObject(field);
    char lines[64];
    if (selection)
        std::snprintf(lines, sizeof lines, "%ld, %ld\n%ld x %ld", pointer.x, pointer.y,
                      selection->cx, selection->cy);
    else
        std::snprintf(lines, sizeof lines, "%ld, %ld", pointer.x, pointer.y);
    win::Font font = TextFont(display.dpi);
    HGDIOBJ oldFont = ::SelectObject(
        dc, font ? static_cast<HGDIOBJ>(font.Get()) : ::GetStockObject(DEFAULT_GUI_FONT));
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = ::SetTextColor(dc, RGB(0, 0, 0));
    ::InflateRect(&text, -::MulDiv(3, int(display.dpi), 96), -::MulDiv(2, int(display.dpi), 96));
    ::DrawTextA(dc, lines, -1, &text, DT_CENTER | DT_NOPREFIX);
    ::SetTextColor(dc, oldColour);
    ::SetBkMode(dc, oldMode);
    ::SelectObject(dc, oldFont);
    Frame(dc, box, RGB(0, 0, 0));
}

}  // namespace magnifier
