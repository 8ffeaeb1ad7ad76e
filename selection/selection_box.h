// The rectangle of an adjustable selection and how it changes: dragged by one of
// its eight handles or by its inside, moved or stretched by keys, or given a
// typed size. Coordinates are screen pixels; right and bottom are exclusive.
#pragma once

namespace glimra {

struct SelectionBox {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const SelectionBox&) const = default;
};

// What a press at a point takes hold of: a handle (the corners and the middles
// of the edges), the inside, or nothing.
enum class Grip {
    None,
    Inside,
    Left,
    Top,
    Right,
    Bottom,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight
};

// The grip under (x, y): the nearest handle within `reach` pixels (a corner
// where a corner and an edge are as near), else the inside, else none.
Grip GripAt(const SelectionBox& box, int x, int y, int reach);

// Where a grip's handle stands (for the inside, the box's centre).
void GripPoint(const SelectionBox& box, Grip grip, int& x, int& y);

// The box that `start` becomes when `grip` is dragged by (dx, dy): the inside
// moves the whole box, a handle moves its edges. A handle dragged past the
// opposite edge turns the box over; it never becomes less than 1 x 1. With
// `keepAspect`, a corner keeps start's ratio of width to height (the larger of
// the two changes decides), and an edge changes the other side to match.
SelectionBox Dragged(const SelectionBox& start, Grip grip, int dx, int dy, bool keepAspect);

// Arrow keys: the box moves by (dx, dy); with `farEdge`, only its right edge
// (by dx) or bottom edge (by dy) moves, leaving it at least 1 x 1.
SelectionBox Nudged(const SelectionBox& box, int dx, int dy, bool farEdge);

// A typed size: the top-left corner stays; sizes below 1 count as 1.
SelectionBox Resized(const SelectionBox& box, int width, int height);

}  // namespace glimra
