// The marks made by one drag, each laid over the picture as an object on the
// release:
// - Rectangle: the frame of the dragged rectangle, the line width inside its
//   edge, exactly; with Shift a square.
// - Ellipse: the outline of the ellipse inscribed in it, the line width inside
//   it, blended at its edges; with Shift a circle.
// - Line and Arrow: from the press point to the release point in the line width,
//   blended at the edges, the arrow with its head at the release point; with
//   Shift at a multiple of 45 degrees.
// - Highlighter: the dragged rectangle as under a text marker, each pixel
//   multiplied by yellow, exactly.
// The drag shows the band, the outline or the line by exclusive-or.
#include "app/editor/DragTool.h"
#include "app/editor/EditorTools.h"
#include "app/editor/MarkObjects.h"

namespace {

using Kind = MarkObject::Kind;

class MarkDragTool : public DragTool {
  public:
    MarkDragTool(ToolContext& context, const ToolSettings& settings, Kind kind, WithShift withShift)
        : DragTool(context, settings, withShift), kind_(kind) {}

  protected:
    void Preview(HDC dc, POINT from, POINT to) const override {
        if (kind_ != Kind::Ellipse && kind_ != Kind::Line && kind_ != Kind::Arrow)
            return DragTool::Preview(dc, from, to);
        const int mode = ::SetROP2(dc, R2_NOT);
        if (kind_ == Kind::Ellipse) {
            const glimra::Area a = Between(from, to);
            const HGDIOBJ brush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
            ::Ellipse(dc, a.left, a.top, a.right, a.bottom);
            ::SelectObject(dc, brush);
        } else {
            ::MoveToEx(dc, from.x, from.y, nullptr);
            ::LineTo(dc, to.x, to.y);
        }
        ::SetROP2(dc, mode);
    }
    void Finish(POINT from, POINT to) override {
        context_.objects.Add(MarkObject::Of(kind_, from, to, settings_));
    }

  private:
    Kind kind_;
};

std::unique_ptr<Tool> Make(ToolContext& context, EditorState& state, Kind kind,
                           DragTool::WithShift withShift) {
    return std::make_unique<MarkDragTool>(context, state.settings, kind, withShift);
}

}  // namespace

std::unique_ptr<Tool> MakeRectangleTool(ToolContext& context, EditorState& state) {
    return Make(context, state, Kind::Rectangle, DragTool::WithShift::Square);
}

std::unique_ptr<Tool> MakeEllipseTool(ToolContext& context, EditorState& state) {
    return Make(context, state, Kind::Ellipse, DragTool::WithShift::Square);
}

std::unique_ptr<Tool> MakeLineTool(ToolContext& context, EditorState& state) {
    return Make(context, state, Kind::Line, DragTool::WithShift::Octant);
}

std::unique_ptr<Tool> MakeArrowTool(ToolContext& context, EditorState& state) {
    return Make(context, state, Kind::Arrow, DragTool::WithShift::Octant);
}

std::unique_ptr<Tool> MakeHighlighterTool(ToolContext& context, EditorState& state) {
    return Make(context, state, Kind::Highlighter, DragTool::WithShift::Free);
}
