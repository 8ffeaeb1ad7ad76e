#include "ui/Graphics.h"

#include <map>
#include <tuple>
#include <utility>

#include "win/handles.h"

namespace ui {

COLORREF ColorToRGB(TColor colour) {
    if (colour & 0x80000000u) return ::GetSysColor(int(colour & 0xFF));
    return colour & 0xFFFFFF;
}

long long ColourByName(std::string_view name) {
    static const std::pair<const char*, TColor> names[] = {
        {"clBlack", clBlack},
        {"clWhite", clWhite},
        {"clBlue", clBlue},
        {"clRed", clRed},
        {"clGreen", clGreen},
        {"clNone", clNone},
        {"clBtnFace", clBtnFace},
        {"clWindow", clWindow},
        {"clWindowText", clWindowText},
        {"clAppWorkSpace", clAppWorkSpace},
        {"clBtnHighlight", clBtnHighlight},
        {"cl3DLight", SystemColour(COLOR_3DLIGHT)},
        {"clMenuHighlight", clMenuHighlight},
        {"clHighlight", SystemColour(COLOR_HIGHLIGHT)},
        {"clInfoBk", SystemColour(COLOR_INFOBK)},
    };
    for (const auto& [n, c] : names)
        if (SameName(n, name)) return c;
    return -1;
}

HFONT CreateFontFor(const TFontData& font) {
    return ::CreateFontA(font.height, 0, 0, 0, (font.style & fsBold) ? FW_BOLD : FW_NORMAL,
                         (font.style & fsItalic) != 0, (font.style & fsUnderline) != 0,
                         (font.style & fsStrikeOut) != 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                         font.name.c_str());
}

HFONT SharedFont(const TFontData& font) {
    // The colour is not part of a GDI font.
    using Key = std::tuple<std::string, int, unsigned>;
    thread_local std::map<Key, win::Font> fonts;
    win::Font& shared = fonts[Key{font.name, font.height, font.style}];
    if (!shared) shared.Reset(CreateFontFor(font));
    return shared.Get();
}

HDC MeasuringDC() {
    thread_local win::MemoryDC dc(::CreateCompatibleDC(nullptr));
    return dc.Get();
}

}  // namespace ui
