#include "app/editor/DragTool.h"

#include <algorithm>
#include <cmath>

#include "ui/TScrollBox.h"

namespace {

// The corners kept square: the shorter side becomes the longer one's.
POINT Square(POINT from, POINT to) {
    const LONG side = std::max(std::abs(to.x - from.x), std::abs(to.y - from.y));
    return {from.x + (to.x < from.x ? -side : side), from.y + (to.y < from.y ? -side : side)};
}

}  // namespace

POINT OctantEnd(POINT from, POINT to) {
    const double dx = to.x - from.x, dy = to.y - from.y;
    const double length = std::hypot(dx, dy);
    const double step = std::atan(1.0);  // 45 degrees
    const double angle = std::round(std::atan2(dy, dx) / step) * step;
    return {from.x + LONG(std::lround(length * std::cos(angle))),
            from.y + LONG(std::lround(length * std::sin(angle)))};
}

POINT DragTool::End(POINT from, POINT to, bool shift) const {
    if (!shift) return to;
    switch (withShift_) {
        case WithShift::Square:
            return Square(from, to);
        case WithShift::Octant:
            return OctantEnd(from, to);
        default:
            return to;
    }
}

void DragTool::Show() const {
    win::WindowDC dc = win::WindowDC::Of(context_.box.Handle());
    const POINT origin = context_.Origin();
    ::SetViewportOrgEx(dc.Get(), origin.x, origin.y, nullptr);
    Preview(dc.Get(), from_, to_);
}

void DragTool::Press(ui::TMouseButton button, ui::TShiftState, int x, int y) {
    if (button != ui::TMouseButton::mbLeft) return;
    Cancel();
    dragging_ = true;
    from_ = to_ = {x, y};
    Show();
}

void DragTool::Move(ui::TShiftState shift, int x, int y) {
    if (!dragging_ || !(shift & ui::ssLeft)) return;
    Show();
    to_ = End(from_, {x, y}, shift & ui::ssShift);
    Show();
}

void DragTool::Release(ui::TMouseButton button, ui::TShiftState shift, int x, int y) {
    if (!dragging_ || button != ui::TMouseButton::mbLeft) return;
    Show();
    dragging_ = false;
    to_ = End(from_, {x, y}, shift & ui::ssShift);
    Finish(from_, to_);
}

bool DragTool::Key(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_ESCAPE || !dragging_) return false;
    Cancel();
    return true;
}

void DragTool::Cancel() {
    if (!dragging_) return;
    Show();
    dragging_ = false;
}

void DragTool::Preview(HDC dc, POINT from, POINT to) const {
    const glimra::Area a = Between(from, to);
    const RECT band{a.left, a.top, a.right, a.bottom};
    ::DrawFocusRect(dc, &band);
}

glimra::Area DragTool::Between(POINT from, POINT to) {
    return {int(std::min(from.x, to.x)), int(std::min(from.y, to.y)), int(std::max(from.x, to.x)),
            int(std::max(from.y, to.y))};
}
