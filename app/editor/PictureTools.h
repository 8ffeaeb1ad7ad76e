// The tool that the mouse on the picture works with: panning until another is
// chosen. The main window's mouse and key handlers pass everything to it.
#pragma once

#include <memory>

#include "app/editor/Tool.h"

class PictureTools {
  public:
    explicit PictureTools(ToolContext context);

    // Chooses the active tool (nullptr: panning). The use in progress of the
    // tool before is cancelled.
    void Choose(std::unique_ptr<Tool> tool);
    ToolContext& Context() { return context_; }

    void Enter() { active_->Enter(); }
    void Press(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
        active_->Press(button, shift, x, y);
    }
    void Move(ui::TShiftState shift, int x, int y) { active_->Move(shift, x, y); }
    void Release(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
        active_->Release(button, shift, x, y);
    }
    bool Key(const MSG& msg) { return active_->Key(msg); }
    bool TakesText() const { return active_->TakesText(); }

  private:
    ToolContext context_;
    std::unique_ptr<Tool> active_;
};
