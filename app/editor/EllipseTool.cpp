// Ellipse: the outline of the ellipse inscribed in the dragged rectangle, the
// line width inside it, blended at its edges; with Shift a circle.
#include "app/editor/DragTool.h"
#include "app/editor/EditorTools.h"
#include "app/editor/MarkObjects.h"

namespace {

class EllipseTool : public DragTool {
  public:
    using DragTool::DragTool;

  protected:
    void Preview(HDC dc, POINT from, POINT to) const override {
        const glimra::Area a = Between(from, to);
        const int mode = ::SetROP2(dc, R2_NOT);
        const HGDIOBJ brush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
        ::Ellipse(dc, a.left, a.top, a.right, a.bottom);
        ::SelectObject(dc, brush);
        ::SetROP2(dc, mode);
    }
    void Finish(POINT from, POINT to) override {
        context_.objects.Add(MarkObject::Of(MarkObject::Kind::Ellipse, from, to, settings_));
    }
};

}  // namespace

std::unique_ptr<Tool> MakeEllipseTool(ToolContext& context, EditorState& state) {
    return std::make_unique<EllipseTool>(context, state.settings, DragTool::WithShift::Square);
}
