// Step numbers: each click puts a filled circle of the tool colour, centred on
// the click, with the next number in white: 1, 2, 3, ... from each capture on.
#include "app/editor/EditorTools.h"
#include "app/editor/MarkObjects.h"

namespace {

class StepNumberTool : public Tool {
  public:
    StepNumberTool(ToolContext& context, EditorState& state) : Tool(context), state_(state) {}

    void Press(ui::TMouseButton button, ui::TShiftState, int x, int y) override {
        if (button != ui::TMouseButton::mbLeft) return;
        context_.objects.Add(
            MarkObject::Of(MarkObject::Kind::Step, {x, y}, {x, y}, state_.settings));
    }
    void Move(ui::TShiftState, int, int) override {}
    void Release(ui::TMouseButton, ui::TShiftState, int, int) override {}

  protected:
    int Cursor() const override { return ui::crCross; }

  private:
    EditorState& state_;
};

}  // namespace

std::unique_ptr<Tool> MakeStepNumberTool(ToolContext& context, EditorState& state) {
    return std::make_unique<StepNumberTool>(context, state);
}
