// Colours, fonts and the event types that controls and forms share.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "ui/TComponent.h"

namespace ui {

// A colour: an RGB value (0x00BBGGRR), or a system colour as 0x80000000 + COLOR_xxx.
using TColor = unsigned;
constexpr TColor SystemColour(int index) {
    return 0x80000000u | unsigned(index);
}
constexpr TColor clBlack = 0x000000, clWhite = 0xFFFFFF, clBlue = 0xFF0000, clRed = 0x0000FF,
                 clGreen = 0x008000, clNone = 0x1FFFFFFF;
constexpr TColor clBtnFace = SystemColour(COLOR_BTNFACE);
constexpr TColor clWindow = SystemColour(COLOR_WINDOW);
constexpr TColor clWindowText = SystemColour(COLOR_WINDOWTEXT);
constexpr TColor clAppWorkSpace = SystemColour(COLOR_APPWORKSPACE);
constexpr TColor clBtnHighlight = SystemColour(COLOR_BTNHIGHLIGHT);
constexpr TColor clMenuHighlight = SystemColour(COLOR_MENUHILIGHT);
COLORREF ColorToRGB(TColor colour);
// A colour name of the layouts (clBtnFace, clBlack, ...), or -1 when unknown.
long long ColourByName(std::string_view name);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct TFontData {
    std::string name = "Tahoma";
    int height = -11;  // pixels: negative = character height, positive = cell height
    unsigned style = 0;
    TColor colour = clWindowText;
    bool operator==(const TFontData&) const = default;
};

// Creates the GDI font for the data (the caller owns it).
HFONT CreateFontFor(const TFontData& font);
// The GDI font for the data, made once per thread and kept for the program's life:
// light controls measure and paint their text with it, so that neither makes a
// font each time (which costs a font match in the system every time).
HFONT SharedFont(const TFontData& font);
// A memory drawing context of the screen's kind, made once per thread and kept: text
// measured in it takes the size it takes on the screen.
HDC MeasuringDC();

// Event types; handlers are bound to them by name from the layouts.
using TNotifyEvent = std::function<void(TObject* Sender)>;
enum class TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftBits : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32
};
using TShiftState = unsigned;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

// Cursor numbers of the application's cursor table.
enum TCursor : int {
    crDefault = 0,
    crArrow = -2,
    crCross = -3,
    crIBeam = -4,
    crSizeAll = -22,
    crHourGlass = -11,
    crHandPoint = -21,
};

}  // namespace ui
