// One mark of the editor's tools, kept as an object over the picture until it is
// flattened into the pixels: its kind, where it lies, its colour, width and font,
// and its text. It draws itself exactly as its tool drew it into the pixels, and
// within any part of the picture alone, so that the view can draw again only
// what a change touched.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "app/editor/ToolSettings.h"
#include "capture/Pointer.h"
#include "ui/TBitmap.h"

struct MarkObject {
    enum class Kind { Rectangle, Ellipse, Line, Arrow, Highlighter, Text, Step, Pixelate, Pointer };

    Kind kind = Kind::Rectangle;
    // Two picture pixels: the corners of the dragged rectangle (either order,
    // right and bottom exclusive), a line's ends, a text's or the pointer's
    // top-left corner (a), or a step number's centre (a).
    POINT a{}, b{};
    glimra::Colour colour{};
    int width = 1;
    ToolFont font;     // of a text
    std::string text;  // of a text
    int number = 0;    // shown by a step number; MarkObjects numbers them in order
    std::shared_ptr<const PointerImage> pointer;  // the mouse pointer's shape
    std::uint64_t id = 0;
    RECT reach{};  // the pixels it may change, within the picture (Measure)

    // A mark of that kind in the tools' colour, width and font.
    static MarkObject Of(Kind kind, POINT a, POINT b, const ToolSettings& settings) {
        MarkObject o;
        o.kind = kind;
        o.a = a, o.b = b;
        o.colour = settings.Colour();
        o.width = settings.Width();
        o.font = settings.Font();
        return o;
    }

    // The mouse pointer as a capture found it, its top-left corner at `origin`
    // of the screen as the picture's (0, 0).
    static MarkObject OfPointer(PointerImage pointer, POINT origin);

    // Whether the object has a box whose corners can be dragged (not a text, a
    // step number or the pointer) and whether it is a line from a to b.
    bool Sizable() const {
        return kind != Kind::Text && kind != Kind::Step && kind != Kind::Pointer;
    }
    bool IsLine() const { return kind == Kind::Line || kind == Kind::Arrow; }
    // Whether it draws anything at all (a line of length 0, an empty box and an
    // empty text do not).
    bool Visible() const;

    // Sets `reach` for a picture of that size.
    void Measure(int pictureWidth, int pictureHeight);
    // Draws the object into the picture, changing no pixel outside `clip`; a
    // Pixelate object needs all of its blocks within `clip` (see Blocks).
    void Draw(ui::TBitmap& picture, RECT clip) const;
    // The blocks a Pixelate object fills, within a picture of that size.
    RECT Blocks(int pictureWidth, int pictureHeight) const;
    // The box the selection shows around it.
    RECT Box() const;
    // Whether the pointer at picture pixel p is on it.
    bool Hit(POINT p) const;
    void Offset(int dx, int dy);
    // The memory a copy of it holds.
    std::size_t Bytes() const { return sizeof *this + text.capacity() + font.face.capacity(); }
    // The radius of a step number's disc for a line width.
    static int StepRadius(int width) { return 12 + 2 * width; }
};
