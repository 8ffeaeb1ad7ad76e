#include "app/editor/PanTool.h"

#include "ui/TApplication.h"
#include "ui/TImage.h"
#include "ui/TScrollBox.h"

void PanTool::RegisterCursors() {
    HINSTANCE instance = ui::Application->Instance();
    ui::Application->SetCursors(kOpenHandCursor, ::LoadCursorA(instance, "STUMT"));
    ui::Application->SetCursors(kGrabbingHandCursor, ::LoadCursorA(instance, "STUMTA"));
}

void PanTool::Chosen() {
    context_.image.SetCursor(ui::crDefault);
}

void PanTool::Press(ui::TMouseButton button, ui::TShiftState, int, int) {
    POINT p;
    ::GetCursorPos(&p);
    anchor_ = p;
    if (button == ui::TMouseButton::mbLeft) ui::Application->SetScreenCursor(kGrabbingHandCursor);
}

void PanTool::Move(ui::TShiftState shift, int, int) {
    if (!(shift & ui::ssLeft) || !anchor_) return;
    POINT p;
    ::GetCursorPos(&p);
    ui::TScrollBox& box = context_.box;
    // Each position is clamped to its range by the scroll bar itself.
    box.VertScrollBar().SetPosition(box.VertScrollBar().Position() + (anchor_->y - p.y));
    box.HorzScrollBar().SetPosition(box.HorzScrollBar().Position() + (anchor_->x - p.x));
    anchor_ = p;
}

void PanTool::Release(ui::TMouseButton, ui::TShiftState, int, int) {
    anchor_.reset();
    ui::Application->SetScreenCursor(ui::crDefault);
    context_.image.SetCursor(kOpenHandCursor);
}
