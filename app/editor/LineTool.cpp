// Line and Arrow: from the press point to the release point in the line width,
// blended at the edges, the arrow with its head at the release point; with Shift
// at a multiple of 45 degrees.
#include "app/editor/DragTool.h"
#include "app/editor/EditorTools.h"
#include "app/editor/MarkObjects.h"

namespace {

class LineTool : public DragTool {
  public:
    LineTool(ToolContext& context, const ToolSettings& settings, bool arrow)
        : DragTool(context, settings, WithShift::Octant), arrow_(arrow) {}

  protected:
    void Preview(HDC dc, POINT from, POINT to) const override {
        const int mode = ::SetROP2(dc, R2_NOT);
        ::MoveToEx(dc, from.x, from.y, nullptr);
        ::LineTo(dc, to.x, to.y);
        ::SetROP2(dc, mode);
    }
    void Finish(POINT from, POINT to) override {
        context_.objects.Add(MarkObject::Of(
            arrow_ ? MarkObject::Kind::Arrow : MarkObject::Kind::Line, from, to, settings_));
    }

  private:
    bool arrow_;
};

}  // namespace

std::unique_ptr<Tool> MakeLineTool(ToolContext& context, EditorState& state) {
    return std::make_unique<LineTool>(context, state.settings, false);
}

std::unique_ptr<Tool> MakeArrowTool(ToolContext& context, EditorState& state) {
    return std::make_unique<LineTool>(context, state.settings, true);
}
