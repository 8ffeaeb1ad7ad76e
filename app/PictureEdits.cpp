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

// Runs `work` on the picture in the layout of `bytesPerPixel`: in place when the
// picture has that layout and the picture before is not wanted, else band by band on
// a copy in that layout that then becomes the picture (see ConvertLayoutInBands). A
// picture before that is wanted is handed over as it is: one pass over the pixels
// instead of a whole copy and then a pass.
void InLayout(CurrentPicture& picture, int bytesPerPixel,
              const std::function<bool(const glimra::PixelView&)>& work) {
    if (picture.Empty()) return;
    const glimra::PixelView pixels = PixelsOf(picture.Bitmap());
    if (pixels.bytesPerPixel == bytesPerPixel && !picture.Keeping()) {
        picture.Change([&](TBitmap&) { Check(work(pixels), "The picture cannot be changed"); });
        return;
    }
    TBitmap converted;
    converted.Recreate(FormatOf(bytesPerPixel), pixels.width, pixels.height);
    const glimra::PixelView target = converted.View();
    Check(glimra::ConvertLayoutInBands(
              pixels, target, [&](int first, int end) { return work(target.Rows(first, end)); }),
          "The picture cannot be changed");
    picture.Replace(converted);
}

}  // namespace

void GrayscalePicture(CurrentPicture& picture) {
    InLayout(picture, 4, [](const glimra::PixelView& rows) { return glimra::Grayscale(rows); });
}

void StepPictureBrightness(CurrentPicture& picture, int step) {
    InLayout(picture, 3,
             [step](const glimra::PixelView& rows) { return glimra::StepBrightness(rows, step); });
}

void InvertPicture(CurrentPicture& picture) {
    try {
        if (picture.Empty()) return;
        // The rows are inverted where the view shows them, so that the inversion can be
        // seen spreading down: a 32-bit picture is brought to 24 bits first.
        if (PixelsOf(picture.Bitmap()).bytesPerPixel != 3)
            InLayout(picture, 3, [](const glimra::PixelView&) { return true; });
        const glimra::PixelView pixels = picture.View();
        ui::TImage& view = picture.Viewer();
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

void RotatePicture(CurrentPicture& picture, int quarters) {
    if (picture.Empty()) return;
    const glimra::PixelView source = PixelsOf(picture.Bitmap());
    const glimra::Size size = glimra::RotatedSize(source.width, source.height, quarters);
    TBitmap turned;
    turned.Recreate(FormatOf(source.bytesPerPixel), size.width, size.height);
    Check(glimra::Rotate(source, quarters, turned.View()), "The picture cannot be rotated");
    picture.Replace(turned);
}

void FlipPictureOver(CurrentPicture& picture, bool mirrorRows, bool mirrorPixels) {
    if (picture.Empty()) return;
    const glimra::PixelView source = PixelsOf(picture.Bitmap());
    TBitmap flipped;
    flipped.Recreate(TPixelFormat::pf24bit, source.width, source.height);
    Check(glimra::FlipPicture(mirrorRows, mirrorPixels, source, flipped.View()),
          "The picture cannot be flipped");
    picture.Replace(flipped);
}

void SetRepeatCommand(ui::TToolButton& button, const std::string& caption, int imageIndex,
                      ui::TNotifyEvent action) {
    button.SetImageIndex(imageIndex);
    button.SetCaption(caption);
    button.OnClick = std::move(action);
}
