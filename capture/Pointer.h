// The mouse pointer as the screen shows it, to be drawn into a picture: the
// screen's pixels never hold it (the system draws it over them), so a capture
// that should show it draws it in itself.
#pragma once

#include <windows.h>

#include <optional>

class PointerImage {
  public:
    // The pointer now: a copy of its shape and where its hot spot stands, in
    // physical screen pixels; nothing while it is hidden. Where its shape cannot
    // be read (under Wine, another program's cursor) the arrow stands in for it.
    static std::optional<PointerImage> Now();
    ~PointerImage();
    PointerImage(PointerImage&& other) noexcept;
    PointerImage& operator=(PointerImage&& other) noexcept;
    PointerImage(const PointerImage&) = delete;
    PointerImage& operator=(const PointerImage&) = delete;

    // Draws it as the system does (its mask, then its colours) into `dc`,
    // whose (0, 0) shows the screen point `origin`.
    void DrawInto(HDC dc, POINT origin) const;
    // Where its top-left corner stood on the screen, and its size.
    POINT TopLeft() const { return at_; }
    SIZE Size() const { return size_; }

  private:
    PointerImage(HICON shape, POINT at, SIZE size) : shape_(shape), at_(at), size_(size) {}
    HICON shape_;
    POINT at_;  // where its top-left corner stands: the hot spot's place less the hot spot
    SIZE size_;
};
