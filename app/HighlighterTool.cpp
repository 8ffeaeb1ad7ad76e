// Highlighter: the dragged rectangle marked as with a text marker, each pixel
// multiplied by yellow, exactly.
#include "app/DragTool.h"
#include "app/EditorTools.h"

namespace {

class HighlighterTool : public DragTool {
  public:
    using DragTool::DragTool;

  protected:
    void Finish(POINT from, POINT to) override {
        const glimra::Area a = Between(from, to);
        context_.ChangeAreas({a}, [&](const glimra::PixelView& v) { glimra::Highlight(v, a); });
    }
};

}  // namespace

std::unique_ptr<Tool> MakeHighlighterTool(ToolContext& context, EditorState& state) {
    return std::make_unique<HighlighterTool>(context, state.settings);
}
