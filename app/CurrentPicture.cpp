#include "app/CurrentPicture.h"

void CurrentPicture::Replace(ui::TBitmap& picture) {
    const bool empty = picture.Empty();
    if (keeper_) {
        ui::TBitmap before;
        before.Take(view_.Bitmap());
        keeper_(before);
        keeper_ = nullptr;
    }
    view_.TakeBitmap(picture);
    if (empty) view_.SetBounds(view_.Left(), view_.Top(), 0, 0);
}

void CurrentPicture::Exchange(ui::TBitmap& other) {
    ui::TBitmap current;
    current.Take(view_.Bitmap());
    Replace(other);
    other.Take(current);
}

void CurrentPicture::Change(const std::function<void(ui::TBitmap&)>& change) {
    change(view_.Bitmap());
    view_.Picture().Changed();
}

void CurrentPicture::Clear() {
    view_.Clear();
    view_.SetBounds(view_.Left(), view_.Top(), 0, 0);
}

glimra::PixelView CurrentPicture::View24() {
    ui::TBitmap& bitmap = view_.Bitmap();
    if (bitmap.PixelFormat() != ui::TPixelFormat::pf24bit) {
        bitmap.SetPixelFormat(ui::TPixelFormat::pf24bit);
        view_.Picture().Changed();
    }
    return bitmap.View();
}
