#include "app/editor/TextDrawing.h"

win::Font CreateBoldFont(const std::string& face, int pixelHeight) {
    return win::Font(::CreateFontA(-pixelHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   ANTIALIASED_QUALITY, DEFAULT_PITCH, face.c_str()));
}

win::Font CreateToolFont(const ToolFont& font) {
    return win::Font(::CreateFontA(-::MulDiv(font.size, 96, 72), 0, 0, 0,
                                   font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                   DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   ANTIALIASED_QUALITY, DEFAULT_PITCH, font.face.c_str()));
}

RECT TextBox(HDC dc, HFONT font, const std::string& text, POINT at) {
    const HGDIOBJ old = ::SelectObject(dc, font);
    // An empty line still has the font's height.
    RECT box{at.x, at.y, at.x, at.y};
    const std::string measured = text.empty() || text.back() == '\n' ? text + " " : text;
    ::DrawTextA(dc, measured.c_str(), int(measured.size()), &box,
                DT_LEFT | DT_TOP | DT_NOPREFIX | DT_CALCRECT);
    ::SelectObject(dc, old);
    return box;
}

void DrawToolText(HDC dc, HFONT font, const std::string& text, RECT box, COLORREF colour,
                  UINT flags) {
    const HGDIOBJ old = ::SelectObject(dc, font);
    const int mode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF before = ::SetTextColor(dc, colour);
    ::DrawTextA(dc, text.c_str(), int(text.size()), &box, flags);
    ::SetTextColor(dc, before);
    ::SetBkMode(dc, mode);
    ::SelectObject(dc, old);
}
