// Highlighter: the dragged rectangle marked as with a text marker, each pixel
// multiplied by yellow, exactly.
#include <memory>
#include <vector>

#include "app/CurrentPicture.h"
#include "app/editor/DragTool.h"
#include "app/History.h"
#include "app/editor/EditorTools.h"

namespace {

class HighlighterTool : public DragTool {
  public:
    using DragTool::DragTool;

  protected:
    // The step keeps only the blue bytes that the marker took: the blue byte is
    // the first of a pixel in either layout, so a save that brings the picture to
    // 24 bits meanwhile changes nothing.
    void Finish(POINT from, POINT to) override {
        const glimra::Area a = Between(from, to);
        CurrentPicture& picture = context_.picture;
        auto blues = std::make_shared<std::vector<std::uint8_t>>();
        const auto mark = [&picture, a, blues] {
            picture.Change([&](ui::TBitmap& b) { *blues = glimra::Highlight(b.View(), a); });
        };
        mark();
        if (blues->empty()) return;
        context_.history.Reversible(
            [&picture, a, blues] {
                picture.Change([&](ui::TBitmap& b) { glimra::UnHighlight(b.View(), a, *blues); });
            },
            mark, blues->size());
    }
};

}  // namespace

std::unique_ptr<Tool> MakeHighlighterTool(ToolContext& context, EditorState& state) {
    return std::make_unique<HighlighterTool>(context, state.settings);
}
