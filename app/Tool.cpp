#include "app/Tool.h"

#include <algorithm>

#include "ui/TImage.h"
#include "ui/TScrollBox.h"

void ToolContext::DrawBand(RECT corners) const {
    // From picture pixels to the scroll box's client area.
    const int dx = image.Left() - box.HorzScrollBar().Position();
    const int dy = image.Top() - box.VertScrollBar().Position();
    RECT band{
        std::min(corners.left, corners.right) + dx, std::min(corners.top, corners.bottom) + dy,
        std::max(corners.left, corners.right) + dx, std::max(corners.top, corners.bottom) + dy};
    ::DrawFocusRect(ui::WindowDC::Of(box.Handle()).Get(), &band);
}

void Tool::ShowCursor() {
    context_.image.SetCursor(Cursor());
}
