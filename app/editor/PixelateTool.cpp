#include "app/editor/PixelateTool.h"

#include <utility>

#include "app/editor/MarkObjects.h"

void PixelateTool::Press(ui::TMouseButton button, ui::TShiftState, int x, int y) {
    if (button != ui::TMouseButton::mbLeft) return;
    band_ = RECT{x, y, x, y};
    context_.DrawBand(*band_);
}

void PixelateTool::Move(ui::TShiftState shift, int x, int y) {
    if (!(shift & ui::ssLeft) || !band_) return;
    context_.DrawBand(*band_);
    band_->right = x;
    band_->bottom = y;
    context_.DrawBand(*band_);
}

void PixelateTool::Release(ui::TMouseButton, ui::TShiftState, int, int) {
    if (!band_) return;
    context_.DrawBand(*band_);
    const RECT r = *std::exchange(band_, std::nullopt);
    MarkObject o;
    o.kind = MarkObject::Kind::Pixelate;
    o.a = {r.left, r.top};
    o.b = {r.right, r.bottom};
    context_.objects.Add(o);
}

void PixelateTool::Cancel() {
    if (band_) context_.DrawBand(*std::exchange(band_, std::nullopt));
}

bool PixelateTool::Key(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_ESCAPE || !band_) return false;
    Cancel();
    return true;
}
