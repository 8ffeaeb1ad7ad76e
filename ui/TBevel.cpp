#include "ui/TBevel.h"

#include "win/handles.h"

namespace ui {

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
    width_ = height_ = 50;
}

void TBevel::SetShape(TBevelShape shape) {
    shape_ = shape;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle style) {
    style_ = style;
    Invalidate();
}

void TBevel::Paint(HDC dc) {
    // A lowered bevel has its shadow above and to the left of its light line, a
    // raised one the other way round.
    const bool lowered = style_ == TBevelStyle::bsLowered;
    win::Brush shadow(::CreateSolidBrush(::GetSysColor(COLOR_BTNSHADOW)));
    win::Brush light(::CreateSolidBrush(::GetSysColor(COLOR_BTNHIGHLIGHT)));
    HBRUSH first = lowered ? shadow.Get() : light.Get();
    HBRUSH second = lowered ? light.Get() : shadow.Get();
    const int w = width_, h = height_;
    auto fill = [dc](RECT r, HBRUSH brush) { ::FillRect(dc, &r, brush); };
    auto box = [&](RECT r, HBRUSH topLeft, HBRUSH bottomRight) {
        fill({r.left, r.top, r.right, r.top + 1}, topLeft);
        fill({r.left, r.top, r.left + 1, r.bottom}, topLeft);
        fill({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
        fill({r.right - 1, r.top, r.right, r.bottom}, bottomRight);
    };
    switch (shape_) {
        case TBevelShape::bsBox:
            box({0, 0, w, h}, first, second);
            break;
        case TBevelShape::bsFrame:
            // Two boxes, one pixel apart: an etched frame.
            box({0, 0, w - 1, h - 1}, first, first);
            box({1, 1, w, h}, second, second);
            break;
        case TBevelShape::bsTopLine:
            fill({0, 0, w, 1}, first);
            fill({0, 1, w, 2}, second);
            break;
        case TBevelShape::bsBottomLine:
            fill({0, h - 2, w, h - 1}, first);
            fill({0, h - 1, w, h}, second);
            break;
        case TBevelShape::bsLeftLine:
            fill({0, 0, 1, h}, first);
            fill({1, 0, 2, h}, second);
            break;
        case TBevelShape::bsRightLine:
            fill({w - 2, 0, w - 1, h}, first);
            fill({w - 1, 0, w, h}, second);
            break;
        case TBevelShape::bsSpacer:
            break;
    }
}

const PropertyRegistry& TBevel::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TBevel", &TControl::ClassProperties());
        Registrar<TBevel>(r)
            .Enum("Shape",
                  {{"bsBox", 0},
                   {"bsFrame", 1},
                   {"bsTopLine", 2},
                   {"bsBottomLine", 3},
                   {"bsLeftLine", 4},
                   {"bsRightLine", 5},
                   {"bsSpacer", 6}},
                  &TBevel::Shape, &TBevel::SetShape)
            .Enum("Style", {{"bsLowered", 0}, {"bsRaised", 1}}, &TBevel::Style, &TBevel::SetStyle);
        return r;
    }();
    return registry;
}

}  // namespace ui
