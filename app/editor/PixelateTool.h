// Pixelate: a drag with the left button marks a rectangle by a band; on release
// it becomes an object over the picture that turns the 8 x 8 blocks it touches
// into their mean colours.
#pragma once

#include <windows.h>

#include <optional>

#include "app/editor/Tool.h"

class PixelateTool : public Tool {
  public:
    using Tool::Tool;
    void Press(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
    void Move(ui::TShiftState shift, int x, int y) override;
    void Release(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
    void Cancel() override;
    bool Key(const MSG& msg) override;

  protected:
    int Cursor() const override { return ui::crCross; }

  private:
    std::optional<RECT> band_;  // picture pixels from the press to the pointer
};
