#include "app/editor/MarkObject.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "app/editor/TextDrawing.h"
#include "imaging/marks.h"
#include "imaging/pixelate.h"
#include "ui/Graphics.h"

namespace {

glimra::Area Between(POINT a, POINT b) {
    return {int(std::min(a.x, b.x)), int(std::min(a.y, b.y)), int(std::max(a.x, b.x)),
            int(std::max(a.y, b.y))};
}

glimra::Point Centre(POINT p) {
    return {p.x + 0.5, p.y + 0.5};
}

RECT AsRect(glimra::Area a) {
    return {a.left, a.top, a.right, a.bottom};
}

glimra::Area AsArea(RECT r) {
    return {int(r.left), int(r.top), int(r.right), int(r.bottom)};
}

RECT Intersection(RECT a, RECT b) {
    RECT r{};
    return ::IntersectRect(&r, &a, &b) ? r : RECT{};
}

// The blended shape of a line, an arrow or an ellipse; nullptr for the others.
std::unique_ptr<glimra::Mark> ShapeOf(const MarkObject& o) {
    switch (o.kind) {
        case MarkObject::Kind::Line:
            return std::make_unique<glimra::LineMark>(Centre(o.a), Centre(o.b), o.width);
        case MarkObject::Kind::Arrow:
            return std::make_unique<glimra::ArrowMark>(Centre(o.a), Centre(o.b), o.width);
        case MarkObject::Kind::Ellipse:
            return std::make_unique<glimra::EllipseMark>(Between(o.a, o.b), o.width);
        default:
            return nullptr;
    }
}

// The spans of a shape within the clip.
std::vector<glimra::Span> ClippedSpans(const glimra::Mark& shape, const glimra::PixelView& v,
                                       RECT clip) {
    std::vector<glimra::Span> spans;
    for (glimra::Span s : shape.Spans(v.width, v.height)) {
        if (s.y < clip.top || s.y >= clip.bottom) continue;
        s.left = std::max(s.left, int(clip.left));
        s.right = std::min(s.right, int(clip.right));
        if (s.left < s.right) spans.push_back(s);
    }
    return spans;
}

// Text drawn into the picture's drawing context within the clip only.
void DrawClippedText(ui::TBitmap& picture, RECT clip, HFONT font, const std::string& text, RECT box,
                     COLORREF colour, UINT flags) {
    const HDC dc = picture.Canvas().Handle();
    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    DrawToolText(dc, font, text, box, colour, flags);
    ::RestoreDC(dc, saved);
    ::GdiFlush();
}

RECT TextBoxOf(const MarkObject& o) {
    const win::Font font = CreateToolFont(o.font);
    return TextBox(ui::MeasuringDC(), font.Get(), o.text, o.a);
}

RECT StepBox(const MarkObject& o) {
    const int r = MarkObject::StepRadius(o.width);
    return {o.a.x - r - 1, o.a.y - r - 1, o.a.x + r + 2, o.a.y + r + 2};
}

}  // namespace

MarkObject MarkObject::OfPointer(PointerImage pointer, POINT origin) {
    MarkObject o;
    o.kind = Kind::Pointer;
    o.a = {pointer.TopLeft().x - origin.x, pointer.TopLeft().y - origin.y};
    o.b = {o.a.x + pointer.Size().cx, o.a.y + pointer.Size().cy};
    o.pointer = std::make_shared<const PointerImage>(std::move(pointer));
    return o;
}

bool MarkObject::Visible() const {
    switch (kind) {
        case Kind::Text:
            return !text.empty();
        case Kind::Step:
        case Kind::Pointer:
            return true;
        case Kind::Line:
        case Kind::Arrow:
            return a.x != b.x || a.y != b.y;
        default:
            return a.x != b.x && a.y != b.y;
    }
}

RECT MarkObject::Blocks(int pictureWidth, int pictureHeight) const {
    const glimra::PixelView size{nullptr, pictureWidth, pictureHeight, 0, 0};
    return AsRect(glimra::PixelateBlocks(size, Between(a, b)));
}

RECT MarkObject::Box() const {
    switch (kind) {
        case Kind::Text:
            return TextBoxOf(*this);
        case Kind::Step:
            return StepBox(*this);
        case Kind::Pointer:
            return {a.x, a.y, a.x + pointer->Size().cx, a.y + pointer->Size().cy};
        case Kind::Line:
        case Kind::Arrow: {
            const int reach =
                width / 2 + 1 +
                (kind == Kind::Arrow ? int(glimra::ArrowMark::HeadHalfWidth(width)) : 0);
            RECT r = AsRect(Between(a, b));
            ::InflateRect(&r, reach, reach);
            ++r.right, ++r.bottom;
            return r;
        }
        default:
            return AsRect(Between(a, b));
    }
}

void MarkObject::Measure(int pictureWidth, int pictureHeight) {
    const RECT picture{0, 0, pictureWidth, pictureHeight};
    RECT r{};
    if (const std::unique_ptr<glimra::Mark> shape = ShapeOf(*this)) {
        const glimra::PixelView size{nullptr, pictureWidth, pictureHeight, 0, 0};
        bool any = false;
        for (const glimra::Span& s : shape->Spans(size.width, size.height)) {
            const RECT row{s.left, s.y, s.right, s.y + 1};
            if (!any) r = row;
            ::UnionRect(&r, &r, &row);
            any = true;
        }
    } else if (kind == Kind::Pixelate) {
        r = Blocks(pictureWidth, pictureHeight);
    } else {
        r = Box();
    }
    reach = Intersection(r, picture);
}

void MarkObject::Draw(ui::TBitmap& picture, RECT clip) const {
    const glimra::PixelView v = picture.View();
    clip = Intersection(clip, reach);
    if (::IsRectEmpty(&clip)) return;
    switch (kind) {
        case Kind::Rectangle: {
            std::vector<glimra::Area> bands;
            for (const glimra::Area& band : glimra::FrameBands(Between(a, b), width)) {
                const RECT part = Intersection(AsRect(band), clip);
                if (!::IsRectEmpty(&part)) bands.push_back(AsArea(part));
            }
            glimra::FillAreas(v, bands, colour);
            break;
        }
        case Kind::Ellipse:
        case Kind::Line:
        case Kind::Arrow: {
            const std::unique_ptr<glimra::Mark> shape = ShapeOf(*this);
            shape->Paint(v, colour, ClippedSpans(*shape, v, clip));
            break;
        }
        case Kind::Highlighter:
            glimra::Highlight(v, AsArea(Intersection(AsRect(Between(a, b)), clip)));
            break;
        case Kind::Pixelate:
            glimra::Pixelate(v, Between(a, b));
            break;
        case Kind::Text: {
            const win::Font font = CreateToolFont(this->font);
            DrawClippedText(picture, clip, font.Get(), text, TextBoxOf(*this),
                            RGB(colour.red, colour.green, colour.blue),
                            DT_LEFT | DT_TOP | DT_NOPREFIX);
            break;
        }
        case Kind::Pointer: {
            // Drawn as the system draws it, where it stood or wherever it was moved.
            const HDC dc = picture.Canvas().Handle();
            const int saved = ::SaveDC(dc);
            ::IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
            const POINT was = pointer->TopLeft();
            pointer->DrawInto(dc, {was.x - a.x, was.y - a.y});
            ::RestoreDC(dc, saved);
            ::GdiFlush();
            break;
        }
        case Kind::Step: {
            const int radius = StepRadius(width);
            const glimra::DiscMark disc(Centre(a), radius);
            disc.Paint(v, colour, ClippedSpans(disc, v, clip));
            const win::Font font = CreateBoldFont("Tahoma", radius * 5 / 4);
            DrawClippedText(picture, clip, font.Get(), std::to_string(number), StepBox(*this),
                            RGB(255, 255, 255),
                            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            break;
        }
    }
}

bool MarkObject::Hit(POINT p) const {
    if (IsLine()) {
        // Near the line: within its half width and a few pixels more.
        const double ax = a.x, ay = a.y, dx = b.x - a.x, dy = b.y - a.y;
        const double length2 = dx * dx + dy * dy;
        const double t =
            length2 > 0 ? std::clamp(((p.x - ax) * dx + (p.y - ay) * dy) / length2, 0.0, 1.0) : 0;
        const double ex = p.x - (ax + t * dx), ey = p.y - (ay + t * dy);
        const double within = width / 2.0 + 4 + (kind == Kind::Arrow && t > 0.9 ? width * 3 : 0);
        return ex * ex + ey * ey <= within * within;
    }
    RECT box = Box();
    ::InflateRect(&box, 2, 2);
    return ::PtInRect(&box, p);
}

void MarkObject::Offset(int dx, int dy) {
    a.x += dx, a.y += dy;
    b.x += dx, b.y += dy;
}
