#include "capture/Magnifier.h"

#include <cstdio>

namespace magnifier {

namespace {

constexpr int kBorder = 1;
constexpr int kWidth = kSquare + 2 * kBorder;
constexpr int kHeight = kSquare + kTextHeight + 2 * kBorder;

void Frame(HDC dc, RECT r, COLORREF colour) {
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FrameRect(dc, &r, brush);
    ::DeleteObject(brush);
}

}  // namespace

RECT Place(POINT pointer, SIZE display) {
    int left = pointer.x + kGap, top = pointer.y + kGap;
    if (left + kWidth > display.cx) left = pointer.x - kGap - kWidth;
    if (top + kHeight > display.cy) top = pointer.y - kGap - kHeight;
    // A display smaller than the magnifier still shows its top-left part.
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    return {left, top, left + kWidth, top + kHeight};
}

void Paint(HDC dc, ui::TBitmap& frozen, POINT pointer, std::optional<SIZE> selection) {
    const RECT box = Place(pointer, {frozen.Width(), frozen.Height()});
    const RECT square{box.left + kBorder, box.top + kBorder, box.right - kBorder,
                      box.top + kBorder + kSquare};
    // Pixels beyond the display's edge show black.
    HBRUSH black = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    ::FillRect(dc, &square, black);
    const int previous = ::SetStretchBltMode(dc, COLORONCOLOR);
    const int side = 2 * kReach + 1;
    ::StretchBlt(dc, square.left, square.top, kSquare, kSquare, frozen.Canvas().Handle(),
                 pointer.x - kReach, pointer.y - kReach, side, side, SRCCOPY);
    ::SetStretchBltMode(dc, previous);

    // The pixel under the pointer: a black and a white outline, seen on any colour.
    const RECT centre{square.left + kReach * kZoom, square.top + kReach * kZoom,
                      square.left + (kReach + 1) * kZoom, square.top + (kReach + 1) * kZoom};
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
    HGDIOBJ oldFont = ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = ::SetTextColor(dc, RGB(0, 0, 0));
    ::InflateRect(&text, -3, -2);
    ::DrawTextA(dc, lines, -1, &text, DT_CENTER | DT_NOPREFIX);
    ::SetTextColor(dc, oldColour);
    ::SetBkMode(dc, oldMode);
    ::SelectObject(dc, oldFont);
    Frame(dc, box, RGB(0, 0, 0));
}

}  // namespace magnifier
