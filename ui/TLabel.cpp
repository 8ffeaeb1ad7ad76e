#include "ui/TLabel.h"

#include "win/handles.h"

namespace ui {

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    parentColour_ = true;
    width_ = 65;
    height_ = 17;
}

UINT TLabel::TextFlags() const {
    UINT flags = DT_EXPANDTABS;
    if (wordWrap_) flags |= DT_WORDBREAK;
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    switch (alignment_) {
        case TAlignment::taLeftJustify:
            flags |= DT_LEFT;
            break;
        case TAlignment::taRightJustify:
            flags |= DT_RIGHT;
            break;
        case TAlignment::taCenter:
            flags |= DT_CENTER;
            break;
    }
    return flags;
}

SIZE TLabel::TextSize(int wrapWidth) const {
    HDC dc = MeasuringDC();
    win::Selection select(dc, SharedFont(Font()));
    // An empty caption still takes the height of a line.
    std::string text = Caption().empty() ? " " : Caption();
    RECT r{0, 0, wrapWidth, 0};
    ::DrawTextA(dc, text.c_str(), -1, &r, TextFlags() | DT_CALCRECT);
    return {r.right - r.left, r.bottom - r.top};
}

void TLabel::AdjustBounds() {
    if (!autoSize_) return;
    const SIZE size = TextSize(wordWrap_ ? width_ : 0);
    const int width = wordWrap_ ? width_ : size.cx;
    // A label aligned to the right keeps its right edge, a centred one its middle.
    int left = left_;
    if (align_ == TAlign::alNone && alignment_ == TAlignment::taRightJustify)
        left = left_ + width_ - width;
    else if (align_ == TAlign::alNone && alignment_ == TAlignment::taCenter)
        left = left_ + (width_ - width) / 2;
    SetBounds(left, top_, width, size.cy);
}

void TLabel::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    AdjustBounds();
}

void TLabel::SetTransparent(bool transparent) {
    transparent_ = transparent;
    Invalidate();
}

void TLabel::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    Invalidate();
}

void TLabel::SetLayout(TTextLayout layout) {
    layout_ = layout;
    Invalidate();
}

void TLabel::SetWordWrap(bool wordWrap) {
    wordWrap_ = wordWrap;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetShowAccelChar(bool show) {
    showAccelChar_ = show;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetCaption(const std::string& caption) {
    TGraphicControl::SetCaption(caption);
    AdjustBounds();
}

void TLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustBounds();
}

void TLabel::Paint(HDC dc) {
    RECT box{0, 0, width_, height_};
    if (!transparent_ && Color() != clNone) {
        win::Brush brush(::CreateSolidBrush(ColorToRGB(Color())));
        ::FillRect(dc, &box, brush.Get());
    }
    win::Selection select(dc, SharedFont(Font()));
    ::SetBkMode(dc, TRANSPARENT);
    RECT text = box;
    if (layout_ != TTextLayout::tlTop) {
        const SIZE size = TextSize(width_);
        const int spare = height_ - int(size.cy);
        text.top += layout_ == TTextLayout::tlCenter ? spare / 2 : spare;
    }
    const UINT flags = TextFlags();
    if (!Enabled()) {
        // Etched: a light copy one pixel down and right, the grey text on top.
        RECT shadow = text;
        ::OffsetRect(&shadow, 1, 1);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        ::DrawTextA(dc, Caption().c_str(), -1, &shadow, flags);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
    } else {
        ::SetTextColor(dc, ColorToRGB(Font().colour));
    }
    ::DrawTextA(dc, Caption().c_str(), -1, &text, flags);
}

const PropertyRegistry& TLabel::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TLabel", &TControl::ClassProperties());
        Registrar<TLabel>(r)
            .Boolean("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize)
            .Boolean("Transparent", &TLabel::Transparent, &TLabel::SetTransparent)
            .Enum("Alignment", AlignmentNames(), &TLabel::Alignment, &TLabel::SetAlignment)
            .Enum("Layout", {{"tlTop", 0}, {"tlCenter", 1}, {"tlBottom", 2}}, &TLabel::Layout,
                  &TLabel::SetLayout)
            .Boolean("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap)
            .Boolean("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar);
        return r;
    }();
    return registry;
}

}  // namespace ui
