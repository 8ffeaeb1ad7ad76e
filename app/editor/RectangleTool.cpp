// Rectangle: the frame of the dragged rectangle, the line width inside its edge,
// in the tool colour, exactly; with Shift a square.
#include "app/editor/DragTool.h"
#include "app/editor/EditorTools.h"
#include "app/editor/MarkObjects.h"

namespace {

class RectangleTool : public DragTool {
  public:
    using DragTool::DragTool;

  protected:
    void Finish(POINT from, POINT to) override {
        context_.objects.Add(MarkObject::Of(MarkObject::Kind::Rectangle, from, to, settings_));
    }
};

}  // namespace

std::unique_ptr<Tool> MakeRectangleTool(ToolContext& context, EditorState& state) {
    return std::make_unique<RectangleTool>(context, state.settings, DragTool::WithShift::Square);
}
