#include "selection/selection_box.h"

#include <algorithm>
#include <cstdlib>

namespace glimra {

namespace {

// Edges of a box whose sides may have crossed, put in order, at least 1 x 1.
SelectionBox Ordered(int left, int top, int right, int bottom) {
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    return {left, top, std::max(right, left + 1), std::max(bottom, top + 1)};
}

}  // namespace

void GripPoint(const SelectionBox& box, Grip grip, int& x, int& y) {
    const int midX = (box.left + box.right) / 2, midY = (box.top + box.bottom) / 2;
    switch (grip) {
        case Grip::TopLeft:
            x = box.left, y = box.top;
            return;
        case Grip::Top:
            x = midX, y = box.top;
            return;
        case Grip::TopRight:
            x = box.right, y = box.top;
            return;
        case Grip::Right:
            x = box.right, y = midY;
            return;
        case Grip::BottomRight:
            x = box.right, y = box.bottom;
            return;
        case Grip::Bottom:
            x = midX, y = box.bottom;
            return;
        case Grip::BottomLeft:
            x = box.left, y = box.bottom;
            return;
        case Grip::Left:
            x = box.left, y = midY;
            return;
        case Grip::Inside:
        case Grip::None:
            x = midX, y = midY;
            return;
    }
}

Grip GripAt(const SelectionBox& box, int x, int y, int reach) {
    // The nearest handle within reach; on a small box several are, and a corner
    // wins a tie.
    Grip nearest = Grip::None;
    int best = reach + 1;
    for (Grip g : {Grip::TopLeft, Grip::TopRight, Grip::BottomLeft, Grip::BottomRight, Grip::Top,
                   Grip::Right, Grip::Bottom, Grip::Left}) {
        int hx = 0, hy = 0;
        GripPoint(box, g, hx, hy);
        const int distance = std::max(std::abs(x - hx), std::abs(y - hy));
        if (distance < best) best = distance, nearest = g;
    }
    if (nearest != Grip::None) return nearest;
    if (x >= box.left && x < box.right && y >= box.top && y < box.bottom) return Grip::Inside;
    return Grip::None;
}

SelectionBox Dragged(const SelectionBox& start, Grip grip, int dx, int dy, bool keepAspect) {
    if (grip == Grip::None) return start;
    if (grip == Grip::Inside)
        return {start.left + dx, start.top + dy, start.right + dx, start.bottom + dy};
    const bool left = grip == Grip::Left || grip == Grip::TopLeft || grip == Grip::BottomLeft;
    const bool right = grip == Grip::Right || grip == Grip::TopRight || grip == Grip::BottomRight;
    const bool top = grip == Grip::Top || grip == Grip::TopLeft || grip == Grip::TopRight;
    const bool bottom =
        grip == Grip::Bottom || grip == Grip::BottomLeft || grip == Grip::BottomRight;
    int l = start.left + (left ? dx : 0), r = start.right + (right ? dx : 0);
    int t = start.top + (top ? dy : 0), b = start.bottom + (bottom ? dy : 0);
    if (keepAspect && start.Width() > 0 && start.Height() > 0) {
        const double ratio = double(start.Width()) / start.Height();
        const bool corner = (left || right) && (top || bottom);
        int width = std::abs(r - l), height = std::abs(b - t);
        // A corner follows the side that changed more; an edge sets the other side.
        const bool byWidth = corner ? std::abs(width - start.Width()) * start.Height() >=
                                          std::abs(height - start.Height()) * start.Width()
                                    : (left || right);
        if (byWidth)
            height = std::max(1, int(width / ratio + 0.5));
        else
            width = std::max(1, int(height * ratio + 0.5));
        // The side the grip does not hold is anchored where it was; an edge's
        // other side grows about its middle.
        // -1 where the grip has turned the box over.
        const int signX = r < l ? -1 : 1, signY = b < t ? -1 : 1;
        if (left)
            l = r - signX * width;
        else if (right)
            r = l + signX * width;
        else {
            const int mid = (start.left + start.right) / 2;
            l = mid - width / 2, r = l + width;
        }
        if (top)
            t = b - signY * height;
        else if (bottom)
            b = t + signY * height;
        else {
            const int mid = (start.top + start.bottom) / 2;
            t = mid - height / 2, b = t + height;
        }
    }
    return Ordered(l, t, r, b);
}

SelectionBox Nudged(const SelectionBox& box, int dx, int dy, bool farEdge) {
    if (!farEdge) return {box.left + dx, box.top + dy, box.right + dx, box.bottom + dy};
    return {box.left, box.top, std::max(box.left + 1, box.right + dx),
            std::max(box.top + 1, box.bottom + dy)};
}

SelectionBox Resized(const SelectionBox& box, int width, int height) {
    return {box.left, box.top, box.left + std::max(1, width), box.top + std::max(1, height)};
}

}  // namespace glimra
