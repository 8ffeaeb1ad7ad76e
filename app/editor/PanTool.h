// Drag-to-scroll, the tool while no other is chosen: the picture follows the
// mouse with the left button held, under the open and the grabbing hand.
#pragma once

#include <windows.h>

#include <optional>

#include "app/editor/Tool.h"

class PanTool : public Tool {
  public:
    // The cursor slots of the open and the grabbing hand.
    static constexpr int kOpenHandCursor = 1;
    static constexpr int kGrabbingHandCursor = 2;
    // Loads both hands from the program's resources into their slots.
    static void RegisterCursors();

    using Tool::Tool;
    // Chosen, the view shows the arrow until the mouse next enters it.
    void Chosen() override;
    void Press(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
    void Move(ui::TShiftState shift, int x, int y) override;
    void Release(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;

  protected:
    int Cursor() const override { return kOpenHandCursor; }

  private:
    std::optional<POINT> anchor_;  // screen position of the last press or move of a drag
};
