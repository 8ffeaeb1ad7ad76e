#include "app/PictureEdits.h"

#include <windows.h>

#include <functional>
#include <stdexcept>

#include "imaging/flip.h"
#include "imaging/layout.h"
#include "imaging/pixel_ops.h"
#include "imaging/rotation.h"
#include "ui/TWinControl.h"

namespace {

using ui::TBitmap;
using ui::TPixelFormat;

TPixelFormat FormatOf(int bytesPerPixel) {
    return bytesPerPixel == 4 ? TPixelFormat::pf32bit : TPixelFormat::pf24bit;
}

// The picture's pixels; a picture in a layout the pixel code does not know (a display
// of 16 bits, say) is first brought to 32 bits per pixel by the system.
glimra::PixelView PixelsOf(TBitmap& picture) {
    if (picture.BitsPerPixel() != 24 && picture.BitsPerPixel() != 32)
        picture.SetPixelFormat(TPixelFormat::pf32bit);
    return picture.View();
}

void Check(bool done, const char* what) {
    if (!done) throw std::runtime_error(what);
}

// Runs `work` on the view's picture in the layout of `bytesPerPixel`: in place when the
// picture has that layout, else band by band on a converted copy that then becomes the
// picture (see ConvertLayoutInBands).
void InLayout(ui::TImage& view, int bytesPerPixel,
              const std::function<bool(const glimra::PixelView&)>& work) {
    TBitmap& picture = view.Bitmap();
    if (picture.Empty()) return;
    const glimra::PixelView pixels = PixelsOf(picture);
    if (pixels.bytesPerPixel == bytesPerPixel) {
        Check(work(pixels), "The picture cannot be changed");
        view.Picture().Changed();
        return;
    }
    TBitmap converted;
    converted.Recreate(FormatOf(bytesPerPixel), picture.Width(), picture.Height());
    const glimra::PixelView target = converted.View();
    Check(glimra::ConvertLayoutInBands(
              pixels, target, [&](int first, int end) { return work(target.Rows(first, end)); }),
          "The picture cannot be changed");
    view.TakeBitmap(converted);
}

}  // namespace

void GrayscalePicture(ui::TImage& view) {
    InLayout(view, 4, [](const glimra::PixelView& rows) { return glimra::Grayscale(rows); });
}

void StepPictureBrightness(ui::TImage& view, int step) {
    InLayout(view, 3,
             [step](const glimra::PixelView& rows) { return glimra::StepBrightness(rows, step); });
}

void InvertPicture(ui::TImage& view) {
    try {
        TBitmap& picture = view.Bitmap();
        if (picture.Empty()) return;
        // The rows are inverted where the view shows them, so that the inversion can be
        // seen spreading down: a 32-bit picture is brought to 24 bits first.
        if (PixelsOf(picture).bytesPerPixel != 3)
            InLayout(view, 3, [](const glimra::PixelView&) { return true; });
        const glimra::PixelView pixels = view.Bitmap().View();
        ui::TWinControl* parent = view.Parent();
        const auto repaint = [&](int first, int end) {
            if (!parent || !parent->Handle()) return;
            parent->InvalidateArea(
                {view.Left(), view.Top() + first, view.Left() + view.Width(), view.Top() + end});
            ::UpdateWindow(parent->Handle());
        };
        Check(glimra::Invert(pixels, pixels, repaint), "The picture cannot be inverted");
    } catch (...) {
        ::MessageBoxA(nullptr, "Cannot complete the operation", nullptr, MB_OK);
    }
}

void ClearPicture(ui::TImage& view) {
    view.Clear();
    view.SetBounds(view.Left(), view.Top(), 0, 0);
}

void RotatePicture(ui::TImage& view, long double angle) {
    TBitmap& picture = view.Bitmap();
    if (picture.Empty()) return;
    const glimra::PixelView source = PixelsOf(picture);
    const glimra::Point centre{picture.Width() / 2, picture.Height() / 2};
    const glimra::Size size = glimra::RotatedSize(source.width, source.height, centre, angle);
    TBitmap turned;
    turned.Recreate(FormatOf(source.bytesPerPixel), size.width, size.height);
    Check(glimra::Rotate(source, centre, {255, 255, 255}, angle, turned.View()),
          "The picture cannot be rotated");
    view.TakeBitmap(turned);
}

void FlipPictureOver(ui::TImage& view, bool mirrorRows, bool mirrorPixels) {
    TBitmap& picture = view.Bitmap();
    if (picture.Empty()) return;
    TBitmap flipped;
    flipped.Recreate(TPixelFormat::pf24bit, picture.Width(), picture.Height());
    Check(glimra::FlipPicture(mirrorRows, mirrorPixels, PixelsOf(picture), flipped.View()),
          "The picture cannot be flipped");
    view.TakeBitmap(flipped);
}

void SetRepeatCommand(ui::TToolButton& button, const std::string& caption, int imageIndex,
                      ui::TNotifyEvent action) {
    button.SetImageIndex(imageIndex);
    button.SetCaption(caption);
    button.OnClick = std::move(action);
}
