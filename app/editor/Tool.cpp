#include "app/editor/Tool.h"

#include <algorithm>

#include "app/CurrentPicture.h"
#include "app/History.h"
#include "ui/TImage.h"
#include "ui/TScrollBox.h"

POINT ToolContext::Origin() const {
    return {image.Left() - box.HorzScrollBar().Position(),
            image.Top() - box.VertScrollBar().Position()};
}

void ToolContext::DrawBand(RECT corners) const {
    const auto [dx, dy] = Origin();
    RECT band{
        std::min(corners.left, corners.right) + dx, std::min(corners.top, corners.bottom) + dy,
        std::max(corners.left, corners.right) + dx, std::max(corners.top, corners.bottom) + dy};
    ::DrawFocusRect(win::WindowDC::Of(box.Handle()).Get(), &band);
}

void Tool::ShowCursor() {
    context_.image.SetCursor(Cursor());
}
