#include "ui/TSpeedButton.h"

#include <algorithm>

#include "ui/TWinControl.h"
#include "win/handles.h"

namespace ui {

namespace {

// Lays a white or black veil of `alpha` (0 to 255) over the rectangle.
void Veil(HDC dc, const RECT& r, bool white, int alpha) {
    TBitmap dot;
    dot.SetPixelFormat(TPixelFormat::pf32bit);
    dot.SetSize(1, 1);
    std::uint8_t* p = dot.ScanLine(0);
    // Premultiplied, as AlphaBlend takes it.
    p[0] = p[1] = p[2] = white ? std::uint8_t(alpha) : 0;
    p[3] = std::uint8_t(alpha);
    const BLENDFUNCTION function{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ::AlphaBlend(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, dot.Canvas().Handle(), 0, 0,
                 1, 1, function);
}

}  // namespace

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
    width_ = height_ = 23;
    glyph_.OnChange = [this] {
        greyGlyph_.Clear();
        Invalidate();
    };
}

void TSpeedButton::LoadGlyph(const std::string& resourceName) {
    glyph_.LoadFromResource(resourceName);
}

void TSpeedButton::SetNumGlyphs(int count) {
    numGlyphs_ = std::clamp(count, 1, 4);
    greyGlyph_.Clear();
    Invalidate();
}

void TSpeedButton::SetFlat(bool flat) {
    flat_ = flat;
    Invalidate();
}

void TSpeedButton::SetDown(bool down) {
    if (groupIndex_ == 0) down = false;
    if (down == down_) return;
    down_ = down;
    if (down && parent_) {
        // Only one button of a group is down at a time.
        for (TControl* c : parent_->Controls()) {
            auto* other = dynamic_cast<TSpeedButton*>(c);
            if (other && other != this && other->groupIndex_ == groupIndex_) {
                other->down_ = false;
                other->Invalidate();
            }
        }
    }
    Invalidate();
}

void TSpeedButton::SetEnabled(bool enabled) {
    if (!enabled) pressed_ = false;
    TGraphicControl::SetEnabled(enabled);
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft && Enabled()) {
        pressed_ = pressInside_ = true;
        Invalidate();
    }
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
    if (pressed_) {
        const bool inside = x >= 0 && y >= 0 && x < width_ && y < height_;
        if (inside != pressInside_) {
            pressInside_ = inside;
            Invalidate();
        }
    }
    TGraphicControl::MouseMove(shift, x, y);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft && pressed_) {
        pressed_ = false;
        const bool inside = x >= 0 && y >= 0 && x < width_ && y < height_;
        // A click on a button of a group puts it down, or up again when the
        // group may have all its buttons up; the parent then calls Click.
        if (inside && groupIndex_ != 0) SetDown(!down_ || !allowAllUp_);
        Invalidate();
    }
    TGraphicControl::MouseUp(button, shift, x, y);
}

void TSpeedButton::MouseEnter() {
    hot_ = true;
    if (flat_ && Enabled()) Invalidate();
    TGraphicControl::MouseEnter();
}

void TSpeedButton::MouseLeave() {
    hot_ = false;
    if (flat_ && Enabled()) Invalidate();
    TGraphicControl::MouseLeave();
}

int TSpeedButton::ImageIndex() const {
    if (!Enabled()) return 1;
    if (Pressed()) return 2;
    if (down_) return 3;
    return 0;
}

void TSpeedButton::Paint(HDC dc) {
    const RECT box{0, 0, width_, height_};
    const bool sunken = Enabled() && (Pressed() || down_);
    const bool raised = !sunken && (!flat_ || (hot_ && Enabled()));
    if (!flat_) {
        win::Brush face(::CreateSolidBrush(ColorToRGB(Color())));
        ::FillRect(dc, &box, face.Get());
    }
    // Flat buttons show their parent through; the mouse over one lightens it,
    // a press or the down state darkens it.
    if (flat_ && raised) Veil(dc, box, true, 70);
    if (flat_ && sunken) Veil(dc, box, false, 40);
    RECT edge = box;
    if (sunken)
        ::DrawEdge(dc, &edge, flat_ ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
    else if (raised)
        ::DrawEdge(dc, &edge, flat_ ? BDR_RAISEDINNER : EDGE_RAISED, BF_RECT);

    if (glyph_.Empty()) return;
    const int imageWidth = glyph_.Width() / numGlyphs_, imageHeight = glyph_.Height();
    int index = ImageIndex();
    TPicture* strip = &glyph_;
    if (index >= numGlyphs_) {
        if (index == 1) {
            // No disabled image in the strip: a grey copy of the first one.
            if (greyGlyph_.Empty()) greyGlyph_.AssignDisabled(glyph_);
            strip = &greyGlyph_;
        }
        index = 0;
    }
    const int shift = sunken ? 1 : 0;
    const int x = (width_ - imageWidth) / 2 + shift, y = (height_ - imageHeight) / 2 + shift;
    strip->Draw(dc, {x, y, x + imageWidth, y + imageHeight},
                {index * imageWidth, 0, (index + 1) * imageWidth, imageHeight});
}

const PropertyRegistry& TSpeedButton::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TSpeedButton", &TControl::ClassProperties());
        Registrar<TSpeedButton>(r)
            .Picture("Glyph", &TSpeedButton::LoadGlyph)
            .Integer("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs)
            .Boolean("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat)
            .Integer("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex)
            .Boolean("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp)
            .Boolean("Down", &TSpeedButton::Down, &TSpeedButton::SetDown);
        return r;
    }();
    return registry;
}

}  // namespace ui
