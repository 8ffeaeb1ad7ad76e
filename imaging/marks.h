// Marks drawn onto a picture by the editor's tools: anti-aliased lines, arrows,
// ellipse outlines and discs, and the exact rectangle frame and highlighter.
// Each mark knows the pixels it may touch, row by row, so that the history can
// keep exactly those before it is drawn.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/pixel_view.h"
#include "imaging/pixelate.h"

namespace glimra {

struct Colour {
    std::uint8_t red = 0, green = 0, blue = 0;
};

// A point of the picture's plane: pixel (i, j) covers [i, i + 1) x [j, j + 1),
// its centre at (i + 0.5, j + 0.5).
struct Point {
    double x = 0, y = 0;
};

// Pixels left (inclusive) to right (exclusive) of row y.
struct Span {
    int y = 0, left = 0, right = 0;
};

// A shape whose edge is blended: each pixel takes the colour in proportion to
// the part of it that the shape covers, measured at its centre from the shape's
// signed distance (inside negative), over one pixel of width.
class Mark {
  public:
    virtual ~Mark() = default;
    // The pixels of a width x height picture that the mark may change.
    std::vector<Span> Spans(int width, int height) const;
    // Blends the colour into every pixel the mark covers, going over the spans
    // given (those of Spans) or its own.
    void Paint(const PixelView& picture, Colour colour) const;
    void Paint(const PixelView& picture, Colour colour, const std::vector<Span>& spans) const;

    // Where on the row through y (a pixel centre) the mark may reach: at most
    // two stretches, left to right, that do not overlap (an outline has two).
    struct Extents {
        int count = 0;
        double left[2] = {}, right[2] = {};
        void Add(double l, double r);
    };
    // The rows the mark may reach.
    virtual double Top() const = 0;
    virtual double Bottom() const = 0;
    virtual Extents Extent(double y) const = 0;
    // The part of the pixel centred at (x, y) that the mark covers, 0 to 1.
    virtual double Coverage(double x, double y) const = 0;
};

// A straight stroke from a to b, `width` wide, with round ends.
class LineMark : public Mark {
  public:
    LineMark(Point a, Point b, double width);

    double Top() const override;
    double Bottom() const override;
    Extents Extent(double y) const override;
    double Coverage(double x, double y) const override;

  private:
    Point a_, b_;
    double reach_;  // half the width, and half a pixel for the blended edge
};

// A line from a to b with a filled head at b whose size grows with the width;
// nothing of it lies beyond b.
class ArrowMark : public Mark {
  public:
    ArrowMark(Point a, Point b, double width);
    // The head's half-width across the line, and its length along it.
    static double HeadHalfWidth(double width) { return 3 * width + 3; }
    static double HeadLength(double width) { return 4 * width + 6; }

    double Top() const override;
    double Bottom() const override;
    Extents Extent(double y) const override;
    double Coverage(double x, double y) const override;

  private:
    LineMark shaft_;
    Point tip_, left_, right_;  // the head's corners
    Point along_;               // unit vector from a to b
};

// The outline of the ellipse inscribed in an area, `width` wide, inside it;
// an outline at least as wide as half the area is a filled ellipse.
class EllipseMark : public Mark {
  public:
    EllipseMark(Area area, double width);

    double Top() const override;
    double Bottom() const override;
    Extents Extent(double y) const override;
    double Coverage(double x, double y) const override;

  private:
    double cx_, cy_, a_, b_, width_;
};

// A filled circle.
class DiscMark : public Mark {
  public:
    DiscMark(Point centre, double radius) : centre_(centre), radius_(radius) {}

    double Top() const override;
    double Bottom() const override;
    Extents Extent(double y) const override;
    double Coverage(double x, double y) const override;

  private:
    Point centre_;
    double radius_;
};

// The areas that hold the spans: the rows grouped into bands of a few rows,
// each as wide as its rows' spans together. The bands do not overlap.
std::vector<Area> SpanBands(const std::vector<Span>& spans);

// The frame of an area, every pixel within `width` of its edge: the bands top,
// bottom, left and right, which do not overlap (all of the area when it is
// narrower than two widths). Exact, no blending.
std::vector<Area> FrameBands(Area area, int width);
void FillAreas(const PixelView& picture, const std::vector<Area>& areas, Colour colour);

// A text marker over the area: each pixel multiplied by yellow, so that red and
// green stay and blue becomes 0. Returns the blue bytes it took, row by row, which
// are all it takes to go back (UnHighlight).
std::vector<std::uint8_t> Highlight(const PixelView& picture, Area area);
void UnHighlight(const PixelView& picture, Area area, const std::vector<std::uint8_t>& blues);

// The area within a width x height picture.
Area Clip(Area area, int width, int height);

}  // namespace glimra
