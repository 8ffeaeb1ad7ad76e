#include "imaging/marks.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace glimra {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

double Clamp01(double v) {
    return v < 0 ? 0 : v > 1 ? 1 : v;
}

double Distance(Point p, Point q) {
    // Not std::hypot: its care for overflow costs more than the whole blend, and
    // picture coordinates are far from overflowing.
    return std::sqrt((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y));
}

// The interval of x where lo <= alpha * x + beta <= hi, intersected with [l, r].
void Constrain(double alpha, double beta, double lo, double hi, double& l, double& r) {
    if (std::abs(alpha) < 1e-12) {
        if (beta < lo || beta > hi) r = -kInfinity;
        return;
    }
    double a = (lo - beta) / alpha, b = (hi - beta) / alpha;
    if (a > b) std::swap(a, b);
    l = std::max(l, a);
    r = std::min(r, b);
}

// The half-width of the ellipse of semi-axes a and b on the row dy from its centre;
// negative where the row misses it.
double HalfChord(double a, double b, double dy) {
    if (a <= 0 || b <= 0 || std::abs(dy) >= b) return -1;
    return a * std::sqrt(1 - dy * dy / (b * b));
}

// The signed distance from (x, y), relative to the centre, to the ellipse of
// semi-axes a and b, to first order (exact enough within a pixel of the curve).
double EllipseDistance(double x, double y, double a, double b) {
    const double f = x * x / (a * a) + y * y / (b * b) - 1;
    const double gx = 2 * x / (a * a), gy = 2 * y / (b * b);
    const double g = std::sqrt(gx * gx + gy * gy);
    return g > 1e-12 ? f / g : -kInfinity;
}

}  // namespace

void Mark::Extents::Add(double l, double r) {
    if (l > r) return;
    if (count == 2 || (count == 1 && l <= right[0])) {
        // Overlapping stretches become one.
        left[0] = std::min(left[0], l);
        right[0] = std::max(right[count - 1], r);
        count = 1;
        return;
    }
    left[count] = l;
    right[count] = r;
    ++count;
}

std::vector<Span> Mark::Spans(int width, int height) const {
    std::vector<Span> spans;
    const int top = std::max(0, int(std::floor(Top())) - 1);
    const int bottom = std::min(height, int(std::ceil(Bottom())) + 1);
    for (int y = top; y < bottom; ++y) {
        const Extents e = Extent(y + 0.5);
        for (int i = 0; i < e.count; ++i) {
            // The pixels whose centres lie within the stretch, and one more each side.
            const int left = std::max(0, int(std::floor(e.left[i] - 0.5)) - 1);
            const int right = std::min(width, int(std::ceil(e.right[i] - 0.5)) + 2);
            if (left < right) spans.push_back({y, left, right});
        }
    }
    return spans;
}

void Mark::Paint(const PixelView& picture, Colour colour) const {
    Paint(picture, colour, Spans(picture.width, picture.height));
}

void Mark::Paint(const PixelView& picture, Colour colour, const std::vector<Span>& spans) const {
    const int channel[3] = {colour.blue, colour.green, colour.red};
    for (const Span& s : spans) {
        std::uint8_t* pixel = picture.Row(s.y) + std::ptrdiff_t(s.left) * picture.bytesPerPixel;
        for (int x = s.left; x < s.right; ++x, pixel += picture.bytesPerPixel) {
            const double c = Coverage(x + 0.5, s.y + 0.5);
            if (c <= 0) continue;
            for (int i = 0; i < 3; ++i)
                pixel[i] = std::uint8_t(pixel[i] + (channel[i] - pixel[i]) * c + 0.5);
        }
    }
}

LineMark::LineMark(Point a, Point b, double width) : a_(a), b_(b), reach_(width / 2 + 0.5) {}

double LineMark::Top() const {
    return std::min(a_.y, b_.y) - reach_;
}

double LineMark::Bottom() const {
    return std::max(a_.y, b_.y) + reach_;
}

Mark::Extents LineMark::Extent(double y) const {
    Extents e;
    double l = kInfinity, r = -kInfinity;
    for (Point end : {a_, b_}) {
        const double h = std::sqrt(std::max(0.0, reach_ * reach_ - (y - end.y) * (y - end.y)));
        if (std::abs(y - end.y) <= reach_) l = std::min(l, end.x - h), r = std::max(r, end.x + h);
    }
    const double length = Distance(a_, b_);
    if (length > 0) {
        // The band along the line: the projection within the segment, the
        // distance across it within the reach.
        const double ux = (b_.x - a_.x) / length, uy = (b_.y - a_.y) / length;
        double bl = -kInfinity, br = kInfinity;
        Constrain(ux, -a_.x * ux + (y - a_.y) * uy, 0, length, bl, br);
        Constrain(-uy, a_.x * uy + (y - a_.y) * ux, -reach_, reach_, bl, br);
        if (bl <= br) l = std::min(l, bl), r = std::max(r, br);
    }
    e.Add(l, r);
    return e;
}

double LineMark::Coverage(double x, double y) const {
    const double length = Distance(a_, b_);
    Point closest = a_;
    if (length > 0) {
        const double ux = (b_.x - a_.x) / length, uy = (b_.y - a_.y) / length;
        const double t = std::clamp((x - a_.x) * ux + (y - a_.y) * uy, 0.0, length);
        closest = {a_.x + ux * t, a_.y + uy * t};
    }
    return Clamp01(reach_ - Distance({x, y}, closest));
}

namespace {

Point Along(Point a, Point b) {
    const double length = Distance(a, b);
    return length > 0 ? Point{(b.x - a.x) / length, (b.y - a.y) / length} : Point{1, 0};
}

// The shaft stops inside the head, so that its round end never shows past it.
Point ShaftEnd(Point a, Point b, double width) {
    const Point u = Along(a, b);
    const double back = std::min(Distance(a, b), ArrowMark::HeadLength(width)) / 2;
    return {b.x - u.x * back, b.y - u.y * back};
}

}  // namespace

ArrowMark::ArrowMark(Point a, Point b, double width)
    : shaft_(a, ShaftEnd(a, b, width), width), tip_(b), along_(Along(a, b)) {
    const double length = std::min(Distance(a, b), HeadLength(width));
    const double half = HeadHalfWidth(width) * length / HeadLength(width);
    const Point base{b.x - along_.x * length, b.y - along_.y * length};
    left_ = {base.x + along_.y * half, base.y - along_.x * half};
    right_ = {base.x - along_.y * half, base.y + along_.x * half};
}

double ArrowMark::Top() const {
    return std::min({shaft_.Top(), left_.y, right_.y, tip_.y}) - 1;
}

double ArrowMark::Bottom() const {
    return std::max({shaft_.Bottom(), left_.y, right_.y, tip_.y}) + 1;
}

Mark::Extents ArrowMark::Extent(double y) const {
    Extents e = shaft_.Extent(y);
    if (y >= std::min({left_.y, right_.y, tip_.y}) - 1 &&
        y <= std::max({left_.y, right_.y, tip_.y}) + 1)
        e.Add(std::min({left_.x, right_.x, tip_.x}) - 1, std::max({left_.x, right_.x, tip_.x}) + 1);
    return e;
}

double ArrowMark::Coverage(double x, double y) const {
    // Nothing lies beyond the tip, measured along the arrow.
    if ((x - tip_.x) * along_.x + (y - tip_.y) * along_.y > 0.5) return 0;
    // The head's edges, each with the head on its left when walked round.
    double outside = -kInfinity;
    const Point corners[3] = {tip_, left_, right_};
    const double turn =
        (left_.x - tip_.x) * (right_.y - tip_.y) - (left_.y - tip_.y) * (right_.x - tip_.x);
    for (int i = 0; i < 3; ++i) {
        const Point p = corners[i], q = corners[(i + 1) % 3];
        const double length = Distance(p, q);
        if (length <= 0) continue;
        double d = ((q.x - p.x) * (y - p.y) - (q.y - p.y) * (x - p.x)) / length;
        if (turn > 0) d = -d;
        outside = std::max(outside, d);
    }
    return std::max(shaft_.Coverage(x, y), Clamp01(0.5 - outside));
}

EllipseMark::EllipseMark(Area area, double width)
    : cx_((area.left + area.right) / 2.0),
      cy_((area.top + area.bottom) / 2.0),
      a_((area.right - area.left) / 2.0),
      b_((area.bottom - area.top) / 2.0),
      width_(width) {}

double EllipseMark::Top() const {
    return cy_ - b_;
}

double EllipseMark::Bottom() const {
    return cy_ + b_;
}

Mark::Extents EllipseMark::Extent(double y) const {
    Extents e;
    const double outer = HalfChord(a_ + 1, b_ + 1, y - cy_);
    if (outer < 0) return e;
    // Inside the inner edge, less a pixel for its blending, nothing changes.
    const double inner = HalfChord(a_ - width_ - 1, b_ - width_ - 1, y - cy_);
    if (inner <= 0) {
        e.Add(cx_ - outer, cx_ + outer);
        return e;
    }
    e.Add(cx_ - outer, cx_ - inner);
    e.Add(cx_ + inner, cx_ + outer);
    return e;
}

double EllipseMark::Coverage(double x, double y) const {
    // Nothing outside the area, where the first-order distance is short.
    if (a_ <= 0 || b_ <= 0 || std::abs(x - cx_) > a_ || std::abs(y - cy_) > b_) return 0;
    const double outer = Clamp01(0.5 - EllipseDistance(x - cx_, y - cy_, a_, b_));
    if (a_ - width_ <= 0 || b_ - width_ <= 0) return outer;
    const double inner = Clamp01(0.5 - EllipseDistance(x - cx_, y - cy_, a_ - width_, b_ - width_));
    return std::max(0.0, outer - inner);
}

double DiscMark::Top() const {
    return centre_.y - radius_ - 0.5;
}

double DiscMark::Bottom() const {
    return centre_.y + radius_ + 0.5;
}

Mark::Extents DiscMark::Extent(double y) const {
    Extents e;
    const double reach = radius_ + 0.5, dy = y - centre_.y;
    if (std::abs(dy) <= reach) {
        const double h = std::sqrt(reach * reach - dy * dy);
        e.Add(centre_.x - h, centre_.x + h);
    }
    return e;
}

double DiscMark::Coverage(double x, double y) const {
    return Clamp01(radius_ + 0.5 - Distance({x, y}, centre_));
}

std::vector<Area> SpanBands(const std::vector<Span>& spans) {
    // Rows in groups of eight: a group whose rows each have two stretches, the
    // left ones apart from the right ones, keeps two areas; any other, one.
    constexpr int kRows = 8;
    const auto unite = [](Area& area, const Span& s) {
        if (area.right <= area.left) {
            area = {s.left, s.y, s.right, s.y + 1};
            return;
        }
        area = {std::min(area.left, s.left), std::min(area.top, s.y), std::max(area.right, s.right),
                std::max(area.bottom, s.y + 1)};
    };
    std::vector<Area> bands;
    for (std::size_t i = 0; i < spans.size();) {
        Area all{}, first{}, second{};
        bool two = true;
        std::size_t j = i;
        while (j < spans.size() && spans[j].y / kRows == spans[i].y / kRows) {
            std::size_t row = j;
            while (row < spans.size() && spans[row].y == spans[j].y)
                unite(all, spans[row++]);
            two = two && row - j == 2;
            if (two) unite(first, spans[j]), unite(second, spans[j + 1]);
            j = row;
        }
        if (two && first.right <= second.left) {
            bands.push_back(first);
            bands.push_back(second);
        } else {
            bands.push_back(all);
        }
        i = j;
    }
    return bands;
}

std::vector<Area> FrameBands(Area area, int width) {
    if (area.right <= area.left || area.bottom <= area.top || width <= 0) return {};
    if (area.right - area.left <= 2 * width || area.bottom - area.top <= 2 * width) return {area};
    return {{area.left, area.top, area.right, area.top + width},
            {area.left, area.bottom - width, area.right, area.bottom},
            {area.left, area.top + width, area.left + width, area.bottom - width},
            {area.right - width, area.top + width, area.right, area.bottom - width}};
}

void FillAreas(const PixelView& picture, const std::vector<Area>& areas, Colour colour) {
    for (const Area& raw : areas) {
        const Area a = Clip(raw, picture.width, picture.height);
        for (int y = a.top; y < a.bottom; ++y) {
            std::uint8_t* pixel = picture.Row(y) + std::ptrdiff_t(a.left) * picture.bytesPerPixel;
            for (int x = a.left; x < a.right; ++x, pixel += picture.bytesPerPixel) {
                pixel[0] = colour.blue;
                pixel[1] = colour.green;
                pixel[2] = colour.red;
            }
        }
    }
}

std::vector<std::uint8_t> Highlight(const PixelView& picture, Area area) {
    const Area a = Clip(area, picture.width, picture.height);
    std::vector<std::uint8_t> blues(std::size_t(a.right - a.left) * std::size_t(a.bottom - a.top));
    std::uint8_t* blue = blues.data();
    const int width = a.right - a.left;
    for (int y = a.top; y < a.bottom; ++y, blue += width) {
        std::uint8_t* row = picture.Row(y) + std::ptrdiff_t(a.left) * picture.bytesPerPixel;
        if (picture.bytesPerPixel == 4) {
            // Whole pixels at a time, which the compiler turns into vector code.
            for (int x = 0; x < width; ++x) {
                std::uint32_t pixel;
                std::memcpy(&pixel, row + 4 * x, 4);
                blue[x] = std::uint8_t(pixel);
                pixel &= 0xFFFFFF00u;
                std::memcpy(row + 4 * x, &pixel, 4);
            }
            continue;
        }
        for (int x = 0; x < width; ++x) {
            blue[x] = row[3 * x];
            row[3 * x] = 0;
        }
    }
    return blues;
}

void UnHighlight(const PixelView& picture, Area area, const std::vector<std::uint8_t>& blues) {
    const Area a = Clip(area, picture.width, picture.height);
    const std::uint8_t* blue = blues.data();
    for (int y = a.top; y < a.bottom; ++y) {
        std::uint8_t* pixel = picture.Row(y) + std::ptrdiff_t(a.left) * picture.bytesPerPixel;
        for (int x = a.left; x < a.right; ++x, pixel += picture.bytesPerPixel)
            pixel[0] = *blue++;
    }
}

Area Clip(Area area, int width, int height) {
    Area a{std::max(0, std::min(area.left, area.right)),
           std::max(0, std::min(area.top, area.bottom)),
           std::min(width, std::max(area.left, area.right)),
           std::min(height, std::max(area.top, area.bottom))};
    if (a.right < a.left) a.right = a.left;
    if (a.bottom < a.top) a.bottom = a.top;
    return a;
}

}  // namespace glimra
