// A picture on its parent, painted by the parent: artwork from the program's
// resources (Picture = 'about_banner') or a bitmap that code assigns, such as
// the main window's current picture.
#pragma once

#include <functional>

#include <string>

#include "ui/TControl.h"
#include "ui/TPicture.h"

namespace ui {

class TImage : public TGraphicControl {
  public:
    explicit TImage(TComponent* owner);

    TPicture& Picture() { return picture_; }
    // Reads the program's picture resource of that name.
    void LoadPicture(const std::string& resourceName) { picture_.LoadFromResource(resourceName); }
    // The bitmap shown. Code that changes its pixels in place calls
    // Picture().Changed() (or Invalidate) so that the view shows the change.
    TBitmap& Bitmap() { return picture_.Bitmap(); }
    // Shows a copy of `source`.
    void SetBitmap(TBitmap& source) { picture_.Assign(source); }
    // Shows `source` itself, which is left empty (no copy of the pixels is made).
    void TakeBitmap(TBitmap& source) { picture_.Take(source); }
    // Empties the picture; the control keeps its size (code sets 0 x 0 itself).
    void Clear() { picture_.Clear(); }

    // Scaled to the control's size.
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    // The control takes the picture's size whenever a picture arrives.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    // A picture with transparency shows the parent through it; without this it
    // is drawn with its colours as they are.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    // A picture with transparency is shown over this colour (clNone: as
    // Transparent says).
    TColor Backdrop() const { return backdrop_; }
    void SetBackdrop(TColor colour);
    // An unscaled picture sits in the middle of the control, not at its top left.
    bool Center() const { return center_; }
    void SetCenter(bool center);

    void Paint(HDC dc) override;
    // Drawn over the picture after it, the context's origin at the control's
    // top-left corner: marks that are not part of the picture.
    std::function<void(HDC)> OnPaintOver;

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  private:
    void PictureChanged();
    void PaintPicture(HDC dc);

    TPicture picture_;
    bool stretch_ = false, autoSize_ = false, transparent_ = false, center_ = false;
    TColor backdrop_ = clNone;
};

}  // namespace ui
