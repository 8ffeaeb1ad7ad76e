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

void ToolContext::ChangeAreas(const std::vector<glimra::Area>& areas,
                              const std::function<void(const glimra::PixelView&)>& change) const {
    std::vector<RECT> kept;
    for (const glimra::Area& a : areas)
        kept.push_back({a.left, a.top, a.right, a.bottom});
    history.KeepAreas(kept);
    picture.Change([&](ui::TBitmap& bitmap) { change(bitmap.View()); });
}

void ToolContext::Draw(const glimra::Mark& mark, glimra::Colour colour) const {
    const glimra::PixelView v = picture.View();
    const std::vector<glimra::Span> spans = mark.Spans(v.width, v.height);
    ChangeAreas(glimra::SpanBands(spans),
                [&](const glimra::PixelView& view) { mark.Paint(view, colour, spans); });
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
