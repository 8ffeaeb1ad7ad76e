#include "ui/TStaticText.h"

namespace ui {

TStaticText::TStaticText(TComponent* owner) : TWinControl(owner) {
    parentColour_ = true;
    width_ = 65;
    height_ = 17;
}

DWORD TStaticText::Style() const {
    // Sized to its text it keeps to one line; in a fixed box it wraps.
    DWORD style = SS_NOTIFY;
    switch (alignment_) {
        case TAlignment::taLeftJustify:
            style |= autoSize_ ? SS_LEFTNOWORDWRAP : SS_LEFT;
            break;
        case TAlignment::taRightJustify:
            style |= SS_RIGHT;
            break;
        case TAlignment::taCenter:
            style |= SS_CENTER;
            break;
    }
    if (!showAccelChar_) style |= SS_NOPREFIX;
    if (borderStyle_ == TStaticBorderStyle::sbsSingle) style |= WS_BORDER;
    if (borderStyle_ == TStaticBorderStyle::sbsSunken) style |= SS_SUNKEN;
    return style;
}

void TStaticText::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = "STATIC";
    params.style |= Style();
}

void TStaticText::StyleChanged() {
    if (HandleAllocated()) {
        const DWORD mask = SS_TYPEMASK | SS_NOTIFY | SS_NOPREFIX | SS_SUNKEN | WS_BORDER;
        const DWORD style = (::GetWindowLongA(Handle(), GWL_STYLE) & ~mask) | Style();
        ::SetWindowLongA(Handle(), GWL_STYLE, LONG(style));
        ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        Invalidate();
    }
    AdjustBounds();
}

void TStaticText::AdjustBounds() {
    if (!autoSize_) return;
    HDC dc = MeasuringDC();
    win::Selection select(dc, SharedFont(Font()));
    const std::string text = Caption().empty() ? " " : Caption();
    RECT r{0, 0, 0, 0};
    ::DrawTextA(dc, text.c_str(), -1, &r,
                DT_CALCRECT | DT_SINGLELINE | (showAccelChar_ ? 0 : DT_NOPREFIX));
    // The frame that the border style draws around the text.
    int frame = 0;
    if (borderStyle_ == TStaticBorderStyle::sbsSingle) frame = 2 * ::GetSystemMetrics(SM_CXBORDER);
    if (borderStyle_ == TStaticBorderStyle::sbsSunken) frame = 2 * ::GetSystemMetrics(SM_CXEDGE);
    SetBounds(left_, top_, r.right + frame, r.bottom + frame);
}

void TStaticText::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    StyleChanged();
}

void TStaticText::SetBorderStyle(TStaticBorderStyle style) {
    borderStyle_ = style;
    StyleChanged();
}

void TStaticText::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    StyleChanged();
}

void TStaticText::SetShowAccelChar(bool show) {
    showAccelChar_ = show;
    StyleChanged();
}

void TStaticText::SetTransparent(bool transparent) {
    transparent_ = transparent;
    Invalidate();
}

void TStaticText::SetCaption(const std::string& caption) {
    TWinControl::SetCaption(caption);
    AdjustBounds();
}

void TStaticText::FontChanged() {
    TWinControl::FontChanged();
    AdjustBounds();
}

LRESULT TStaticText::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kReflected + WM_CTLCOLORSTATIC: {
            // The text in the font's colour on the colour in effect.
            HDC dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc,
                           ColorToRGB(Enabled() ? Font().colour : SystemColour(COLOR_GRAYTEXT)));
            if (transparent_ && Parent()) {
                // The parent's picture of this place first; the text goes over it.
                RECT r;
                ::GetWindowRect(Handle(), &r);
                ::MapWindowPoints(nullptr, Parent()->Handle(), reinterpret_cast<POINT*>(&r), 2);
                Parent()->PaintBehind(r, dc);
                ::SetBkMode(dc, TRANSPARENT);
                return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
            }
            ::SetBkColor(dc, ColorToRGB(Color()));
            if (!background_ || backgroundColour_ != Color()) {
                background_.Reset(::CreateSolidBrush(ColorToRGB(Color())));
                backgroundColour_ = Color();
            }
            return reinterpret_cast<LRESULT>(background_.Get());
        }
        case kReflected + WM_COMMAND:
            if (HIWORD(wParam) == STN_CLICKED) Click();
            return 0;
        default:
            return TWinControl::WndProc(message, wParam, lParam);
    }
}

const PropertyRegistry& TStaticText::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TStaticText", &TWinControl::ClassProperties());
        Registrar<TStaticText>(r)
            .Boolean("AutoSize", &TStaticText::AutoSize, &TStaticText::SetAutoSize)
            .Enum("BorderStyle", {{"sbsNone", 0}, {"sbsSingle", 1}, {"sbsSunken", 2}},
                  &TStaticText::BorderStyle, &TStaticText::SetBorderStyle)
            .Enum("Alignment", AlignmentNames(), &TStaticText::Alignment,
                  &TStaticText::SetAlignment)
            .Boolean("ShowAccelChar", &TStaticText::ShowAccelChar, &TStaticText::SetShowAccelChar)
            .Boolean("Transparent", &TStaticText::Transparent, &TStaticText::SetTransparent);
        return r;
    }();
    return registry;
}

}  // namespace ui
