#include "capture/Pointer.h"

#include <utility>

#include "capture/Displays.h"

std::optional<PointerImage> PointerImage::Now() {
    PhysicalPixels physical;
    CURSORINFO cursor{};
    cursor.cbSize = sizeof cursor;
    if (!::GetCursorInfo(&cursor) || !(cursor.flags & CURSOR_SHOWING)) return std::nullopt;
    // The copy is the program's own, so that it stays drawable after the pointer
    // changes; its hot spot comes with it.
    for (HCURSOR shape : {cursor.hCursor, ::LoadCursorA(nullptr, IDC_ARROW)}) {
        HICON copy = shape ? ::CopyIcon(shape) : nullptr;
        ICONINFO parts{};
        if (!copy || !::GetIconInfo(copy, &parts)) {
            if (copy) ::DestroyIcon(copy);
            continue;
        }
        // A pointer without colours has its AND and XOR masks one above the other.
        BITMAP bits{};
        ::GetObjectA(parts.hbmColor ? parts.hbmColor : parts.hbmMask, sizeof bits, &bits);
        const SIZE size{bits.bmWidth, parts.hbmColor ? bits.bmHeight : bits.bmHeight / 2};
        if (parts.hbmMask) ::DeleteObject(parts.hbmMask);
        if (parts.hbmColor) ::DeleteObject(parts.hbmColor);
        return PointerImage(copy,
                            {cursor.ptScreenPos.x - LONG(parts.xHotspot),
                             cursor.ptScreenPos.y - LONG(parts.yHotspot)},
                            size);
    }
    return std::nullopt;
}

PointerImage::~PointerImage() {
    if (shape_) ::DestroyIcon(shape_);
}

PointerImage::PointerImage(PointerImage&& other) noexcept
    : shape_(other.shape_), at_(other.at_), size_(other.size_) {
    other.shape_ = nullptr;
}

PointerImage& PointerImage::operator=(PointerImage&& other) noexcept {
    std::swap(shape_, other.shape_);
    at_ = other.at_;
    size_ = other.size_;
    return *this;
}

void PointerImage::DrawInto(HDC dc, POINT origin) const {
    ::DrawIconEx(dc, at_.x - origin.x, at_.y - origin.y, shape_, 0, 0, 0, nullptr, DI_NORMAL);
}
