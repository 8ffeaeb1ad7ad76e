// Text Area: the text of the dragged rectangle is read (as "Copy Text" reads the
// whole picture); the picture does not change. A drag of zero width or height
// reads nothing.
#include "app/CurrentPicture.h"
#include "app/editor/DragTool.h"
#include "app/editor/EditorTools.h"
#include "ui/TScrollBox.h"

namespace {

class TextAreaTool : public DragTool {
  public:
    TextAreaTool(ToolContext& context, EditorState& state)
        : DragTool(context, state.settings), state_(state) {}

  protected:
    void Finish(POINT from, POINT to) override {
        const glimra::PixelView v = context_.picture.View();
        const glimra::Area a = glimra::Clip(Between(from, to), v.width, v.height);
        if (a.right <= a.left || a.bottom <= a.top || !state_.readText) return;
        const glimra::PixelView part{v.Row(a.top) + std::ptrdiff_t(a.left) * v.bytesPerPixel,
                                     a.right - a.left, a.bottom - a.top, v.stride, v.bytesPerPixel};
        const POINT origin = context_.Origin();
        POINT corner{origin.x + a.left, origin.y + a.top};
        ::ClientToScreen(context_.box.Handle(), &corner);
        state_.readText(part, {corner.x, corner.y, corner.x + part.width, corner.y + part.height});
    }

  private:
    EditorState& state_;
};

}  // namespace

std::unique_ptr<Tool> MakeTextAreaTool(ToolContext& context, EditorState& state) {
    return std::make_unique<TextAreaTool>(context, state);
}
