#include "app/PictureEdits.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <vector>

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
    // Between 32-bit layouts the fourth byte is copied as it is: the alpha stays.
    converted.SetAlpha(picture.HasAlpha());
    picture.Replace(converted);
}

// Runs an edit that works on the colours in 24 bits per pixel on a picture with
// alpha: the alpha is kept aside, and the edited colours get it back in 32 bits.
void KeepingAlpha(CurrentPicture& picture, const std::function<void()>& edit) {
    if (picture.Empty() || !picture.HasAlpha()) {
        edit();
        return;
    }
    const glimra::PixelView before = picture.View();
    std::vector<std::uint8_t> alpha(std::size_t(before.width) * before.height);
    for (int y = 0; y < before.height; ++y)
        for (int x = 0; x < before.width; ++x)
            alpha[std::size_t(y) * before.width + x] = before.Row(y)[4 * x + 3];
    edit();
    InLayout(picture, 4, [](const glimra::PixelView&) { return true; });
    picture.Change([&](TBitmap& bitmap) {
        const glimra::PixelView after = bitmap.View();
        for (int y = 0; y < after.height; ++y)
            for (int x = 0; x < after.width; ++x)
                after.Row(y)[4 * x + 3] = alpha[std::size_t(y) * after.width + x];
        bitmap.SetAlpha(true);
    });
}

// Inverts the colours in 24 bits per pixel, the rows repainted as they are done.
void InvertColours(CurrentPicture& picture);

}  // namespace

void GrayscalePicture(CurrentPicture& picture) {
    InLayout(picture, 4, [](const glimra::PixelView& rows) { return glimra::Grayscale(rows); });
}

void StepPictureBrightness(CurrentPicture& picture, int step) {
    KeepingAlpha(picture, [&] {
        InLayout(picture, 3, [step](const glimra::PixelView& rows) {
            return glimra::StepBrightness(rows, step);
        });
    });
}

void InvertPicture(CurrentPicture& picture) {
    try {
        KeepingAlpha(picture, [&] { InvertColours(picture); });
    } catch (...) {
        ::MessageBoxA(nullptr, "Cannot complete the operation", nullptr, MB_OK);
    }
}

namespace {

void InvertColours(CurrentPicture& picture) {
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
}

}  // namespace

void RotatePicture(CurrentPicture& picture, int quarters) {
    if (picture.Empty()) return;
    const glimra::PixelView source = PixelsOf(picture.Bitmap());
    const glimra::Size size = glimra::RotatedSize(source.width, source.height, quarters);
    TBitmap turned;
    turned.Recreate(FormatOf(source.bytesPerPixel), size.width, size.height);
    Check(glimra::Rotate(source, quarters, turned.View()), "The picture cannot be rotated");
    turned.SetAlpha(picture.HasAlpha());
    picture.Replace(turned);
}

void FlipPictureOver(CurrentPicture& picture, bool mirrorRows, bool mirrorPixels) {
    if (picture.Empty()) return;
    const glimra::PixelView source = PixelsOf(picture.Bitmap());
    TBitmap flipped;
    if (picture.HasAlpha()) {
        // The pixels with their alpha, moved to their mirrored places.
        flipped.Recreate(TPixelFormat::pf32bit, source.width, source.height);
        const glimra::PixelView target = flipped.View();
        for (int y = 0; y < source.height; ++y) {
            const std::uint8_t* from = source.Row(mirrorRows ? source.height - 1 - y : y);
            std::uint8_t* to = target.Row(y);
            for (int x = 0; x < source.width; ++x)
                std::memcpy(to + 4 * x, from + 4 * (mirrorPixels ? source.width - 1 - x : x), 4);
        }
        flipped.SetAlpha(true);
        picture.Replace(flipped);
        return;
    }
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
