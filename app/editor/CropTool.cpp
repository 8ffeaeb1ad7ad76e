// Crop: the picture becomes the dragged rectangle, right and bottom exclusive,
// as one step that keeps the picture before; a drag of zero width or height
// does nothing.
#include <cstring>

#include "app/CurrentPicture.h"
#include "app/editor/DragTool.h"
#include "app/editor/EditorTools.h"
#include "app/History.h"

namespace {

class CropTool : public DragTool {
  public:
    using DragTool::DragTool;

  protected:
    void Finish(POINT from, POINT to) override {
        const glimra::PixelView v = context_.picture.View();
        const glimra::Area a = glimra::Clip(Between(from, to), v.width, v.height);
        if (a.right <= a.left || a.bottom <= a.top) return;
        ui::TBitmap part;
        part.Recreate(context_.picture.Bitmap().PixelFormat(), a.right - a.left, a.bottom - a.top);
        // A crop of a picture with transparent parts keeps them transparent.
        part.SetAlpha(context_.picture.Bitmap().Alpha());
        const glimra::PixelView p = part.View();
        for (int y = 0; y < p.height; ++y)
            std::memcpy(p.Row(y), v.Row(a.top + y) + std::ptrdiff_t(a.left) * v.bytesPerPixel,
                        std::size_t(p.width) * std::size_t(p.bytesPerPixel));
        context_.history.Replace(part);
    }
};

}  // namespace

std::unique_ptr<Tool> MakeCropTool(ToolContext& context, EditorState& state) {
    return std::make_unique<CropTool>(context, state.settings);
}
