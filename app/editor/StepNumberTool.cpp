// Step numbers: each click puts a filled circle of the tool colour, centred on
// the click, with the next number in white: 1, 2, 3, ... from each capture on.
#include <string>

#include "app/CurrentPicture.h"
#include "app/editor/EditorTools.h"
#include "app/History.h"
#include "app/editor/TextDrawing.h"

namespace {

class StepNumberTool : public Tool {
  public:
    StepNumberTool(ToolContext& context, EditorState& state) : Tool(context), state_(state) {}

    // The circle's radius grows with the line width.
    static int Radius(int width) { return 12 + 2 * width; }

    void Press(ui::TMouseButton button, ui::TShiftState, int x, int y) override {
        if (button != ui::TMouseButton::mbLeft) return;
        const int radius = Radius(state_.settings.Width());
        const glimra::DiscMark disc({x + 0.5, y + 0.5}, radius);
        const std::string number = std::to_string(state_.nextStep++);
        const win::Font font = CreateBoldFont("Tahoma", radius * 5 / 4);
        // The circle's square holds the circle and the number.
        const RECT box{x - radius - 1, y - radius - 1, x + radius + 2, y + radius + 2};
        context_.history.KeepArea(box);
        context_.picture.Change([&](ui::TBitmap& bitmap) {
            disc.Paint(bitmap.View(), state_.settings.Colour());
            DrawToolText(bitmap.Canvas().Handle(), font.Get(), number, box, RGB(255, 255, 255),
                         DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            ::GdiFlush();
        });
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
