#include "ui/TImage.h"

#include "win/handles.h"

namespace ui {

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
    width_ = height_ = 105;  // the size a new picture control has before it gets one
    picture_.OnChange = [this] { PictureChanged(); };
}

void TImage::PictureChanged() {
    if (autoSize_ && !picture_.Empty()) SetBounds(left_, top_, picture_.Width(), picture_.Height());
    Invalidate();
}

void TImage::SetStretch(bool stretch) {
    stretch_ = stretch;
    Invalidate();
}

void TImage::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    if (autoSize) PictureChanged();
}

void TImage::SetTransparent(bool transparent) {
    transparent_ = transparent;
    Invalidate();
}

void TImage::SetCenter(bool center) {
    center_ = center;
    Invalidate();
}

void TImage::SetBackdrop(TColor colour) {
    backdrop_ = colour;
    Invalidate();
}

void TImage::Paint(HDC dc) {
    if (picture_.Empty()) return;
    PaintPicture(dc);
    if (OnPaintOver) OnPaintOver(dc);
}

void TImage::PaintPicture(HDC dc) {
    RECT target{0, 0, picture_.Width(), picture_.Height()};
    if (stretch_)
        target = {0, 0, width_, height_};
    else if (center_)
        ::OffsetRect(&target, (width_ - picture_.Width()) / 2, (height_ - picture_.Height()) / 2);
    if (picture_.HasAlpha() && backdrop_ != clNone) {
        const win::Brush brush(::CreateSolidBrush(ColorToRGB(backdrop_)));
        ::FillRect(dc, &target, brush.Get());
        picture_.Draw(dc, target, true);
        return;
    }
    picture_.Draw(dc, target, transparent_);
}

const PropertyRegistry& TImage::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TImage", &TControl::ClassProperties());
        Registrar<TImage>(r)
            .Picture("Picture", &TImage::LoadPicture)
            .Boolean("Stretch", &TImage::Stretch, &TImage::SetStretch)
            .Boolean("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize)
            .Boolean("Transparent", &TImage::Transparent, &TImage::SetTransparent)
            .Boolean("Center", &TImage::Center, &TImage::SetCenter);
        return r;
    }();
    return registry;
}

}  // namespace ui
