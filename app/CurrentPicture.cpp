#include "app/CurrentPicture.h"

#include <utility>

void CurrentPicture::Replace(ui::TBitmap& picture) {
    const bool empty = picture.Empty();
    if (keeper_) {
        ui::TBitmap before;
        before.Take(view_.Bitmap());
        std::exchange(keeper_, nullptr)(before);
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
    if (keeper_) {
        ui::TBitmap before;
        before.Assign(view_.Bitmap());
        std::exchange(keeper_, nullptr)(before);
    }
    change(view_.Bitmap());
    view_.Picture().Changed();
}

glimra::PixelView CurrentPicture::View24() {
    ui::TBitmap& bitmap = view_.Bitmap();
    if (bitmap.PixelFormat() != ui::TPixelFormat::pf24bit) {
        bitmap.SetPixelFormat(ui::TPixelFormat::pf24bit);
        view_.Picture().Changed();
    }
    return bitmap.View();
}
