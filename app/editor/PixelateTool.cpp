#include "app/editor/PixelateTool.h"

#include "app/CurrentPicture.h"
#include "app/History.h"
#include "imaging/pixelate.h"

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
    const glimra::Area blocks =
        glimra::PixelateBlocks(context_.picture.View(), {r.left, r.top, r.right, r.bottom});
    if (blocks.right <= blocks.left) return;
    context_.history.KeepArea({blocks.left, blocks.top, blocks.right, blocks.bottom});
    context_.picture.Change([&](ui::TBitmap& bitmap) {
        glimra::Pixelate(bitmap.View(), {r.left, r.top, r.right, r.bottom});
    });
}

void PixelateTool::Cancel() {
    if (band_) context_.DrawBand(*std::exchange(band_, std::nullopt));
}

bool PixelateTool::Key(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_ESCAPE || !band_) return false;
    Cancel();
    return true;
}
