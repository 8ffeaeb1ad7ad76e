// Highlighter: the dragged rectangle marked as with a text marker, each pixel
// multiplied by yellow, exactly.
#include "app/editor/DragTool.h"
#include "app/editor/EditorTools.h"
#include "app/editor/MarkObjects.h"

namespace {

class HighlighterTool : public DragTool {
  public:
    using DragTool::DragTool;

  protected:
    void Finish(POINT from, POINT to) override {
        context_.objects.Add(MarkObject::Of(MarkObject::Kind::Highlighter, from, to, settings_));
    }
};

}  // namespace

std::unique_ptr<Tool> MakeHighlighterTool(ToolContext& context, EditorState& state) {
    return std::make_unique<HighlighterTool>(context, state.settings);
}
