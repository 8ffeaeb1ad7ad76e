// The main window's current picture: the one place that replaces, changes and
// empties it. The image view shows it; its pixels live in the view's picture, so
// that nothing keeps a second copy, and the view's height says whether there is
// a picture.
#pragma once

#include <functional>

#include "imaging/pixel_view.h"
#include "ui/TBitmap.h"
#include "ui/TImage.h"

class CurrentPicture {
  public:
    explicit CurrentPicture(ui::TImage& view) : view_(view) {}
    CurrentPicture(const CurrentPicture&) = delete;
    CurrentPicture& operator=(const CurrentPicture&) = delete;

    // There is a picture: the view's height is not 0.
    bool Available() const { return view_.Height() != 0; }
    // The view shows no pixels (a picture of width or height 0 counts as none).
    bool Empty() { return view_.Bitmap().Empty(); }

    // `picture` becomes the current picture without a copy of its pixels; it is
    // left empty. An empty picture leaves the view 0 x 0, so that there is none.
    void Replace(ui::TBitmap& picture);
    // The picture as it is before the next Replace or Change goes to `keeper`:
    // the replaced bitmap itself, or a copy of one about to change in place.
    // nullptr: nothing is kept.
    void KeepBefore(std::function<void(ui::TBitmap&)> keeper) { keeper_ = std::move(keeper); }
    // The picture before the next change is wanted.
    bool Keeping() const { return static_cast<bool>(keeper_); }
    // Runs `change` on the pixels in place, then has the view show the result.
    void Change(const std::function<void(ui::TBitmap&)>& change);
    // `other` becomes the current picture and the current one goes into `other`,
    // neither copied; an empty one leaves the view 0 x 0.
    void Exchange(ui::TBitmap& other);

    // The picture has alpha: 32-bit pixels with straight alpha, some of them not
    // opaque (an effect's result; see ui::TBitmap::Alpha). Anything that brings the
    // picture to 24 bits or makes a new one without alpha clears it.
    bool HasAlpha() { return view_.Bitmap().Alpha(); }
    // The pixels as they are.
    glimra::PixelView View() { return view_.Bitmap().View(); }
    // The pixels in 24 bits per pixel, the layout the file formats and the printed
    // page take: a picture in another layout is converted in place, for good, with
    // its colours.
    glimra::PixelView View24();

    // The bitmap itself, for the brush's canvas.
    ui::TBitmap& Bitmap() { return view_.Bitmap(); }
    // The control that shows the picture.
    ui::TImage& Viewer() { return view_; }

  private:
    ui::TImage& view_;
    std::function<void(ui::TBitmap&)> keeper_;
};
