// A list of images of one size, taken from a picture strip in the program's
// resources (a 32-bit BMP with alpha holding the images side by side: 'ImageList1',
// eight 16 x 16 images in a 128 x 16 strip). Menus and tool bars draw its images
// by index, in colour or greyed for a disabled command.
#pragma once

#include <windows.h>

#include <string>

#include "ui/TComponent.h"
#include "ui/TPicture.h"

namespace ui {

class TImageList : public TComponent {
  public:
    explicit TImageList(TComponent* owner);

    int Width() const { return width_; }
    void SetWidth(int width) { width_ = width; }
    int Height() const { return height_; }
    void SetHeight(int height) { height_ = height; }
    // The size an image is drawn at on this screen: Width x Height are pixels at
    // 96 dpi, as everything else of the windows.
    int DrawWidth() const;
    int DrawHeight() const;
    // The number of whole images in the strip.
    int Count() const;
    // Takes the strip from the program's picture resource of that name.
    void LoadFromResource(const std::string& name);

    // Draws image `index` at its drawing size with its top-left corner at (x, y),
    // blended over what is there; greyed and lighter when not `enabled`. An index
    // out of range draws nothing.
    void Draw(HDC dc, int x, int y, int index, bool enabled = true);

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  private:
    int width_ = 16, height_ = 16;
    TPicture strip_;
    TPicture disabled_;  // made from the strip when first needed
};

}  // namespace ui
