// Rectangle: the frame of the dragged rectangle, the line width inside its edge,
// in the tool colour, exactly; with Shift a square.
#include "app/editor/DragTool.h"
#include "app/editor/EditorTools.h"

namespace {

class RectangleTool : public DragTool {
  public:
    using DragTool::DragTool;

  protected:
    void Finish(POINT from, POINT to) override {
        const std::vector<glimra::Area> frame =
            glimra::FrameBands(Between(from, to), settings_.Width());
        const glimra::Colour colour = settings_.Colour();
        context_.ChangeAreas(
            frame, [&](const glimra::PixelView& v) { glimra::FillAreas(v, frame, colour); });
    }
};

}  // namespace

std::unique_ptr<Tool> MakeRectangleTool(ToolContext& context, EditorState& state) {
    return std::make_unique<RectangleTool>(context, state.settings, DragTool::WithShift::Square);
}
