// The join of a scrolling capture: frames of the same area, each taken after the
// content was scrolled down, become one tall picture. Every frame's offset from
// the one before is found from the pixels alone: the rows that the two frames
// share must be exactly equal. Rows that stay in place from one frame to the
// next (a fixed header at the top, a footer at the foot) appear once: the header
// as the first frame shows it, the footer as the last one does.
//
// A frame is compared with the one before in three parts: the rows at the top
// that equal the rows at the same place before (the header), the same at the
// foot (the footer), and between them the moving part, which must be the moving
// part before shifted up by one offset, the overlap at least kMinimumOverlap
// rows. A row that merely looks alike at its place and is taken for the header
// or footer costs nothing: the picture is then joined a few rows further in,
// from the same pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "imaging/pixel_view.h"

namespace glimra {

class ScrollStitch {
  public:
    // The shortest overlap that proves an offset (fewer rows when the moving part
    // is smaller than twice that).
    static constexpr int kMinimumOverlap = 12;

    // The first frame; later frames have its width, height and pixel layout.
    explicit ScrollStitch(const PixelView& first);

    enum class Join {
        Moved,      // the content moved: the frame's new rows are in the picture
        Still,      // the frame equals the one before: the content has stopped
        Uncertain,  // no single offset explains the frame: it is left out
    };
    Join Add(const PixelView& frame);

    // The picture so far: the width, and the rows.
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The rows of the last frame added that stayed in place (0 before the second).
    int FixedTop() const { return fixedTop_; }
    int FixedBottom() const { return fixedBottom_; }
    // Copies the first `rows` rows of the picture into `target` (its width and
    // layout the frames'), at most Height() of them.
    void CopyTo(const PixelView& target, int rows) const;
    // Where a frame of the same area stands in the picture: the picture row at
    // which its moving part (the rows between the last join's fixed ones)
    // begins. Of several places that fit, the one nearest `near`; nothing when
    // none does.
    std::optional<int> Locate(const PixelView& frame, int near) const;

  private:
    struct Frame {
        std::vector<std::uint8_t> pixels;  // rows without padding
        std::vector<std::uint32_t> hashes;
    };
    Frame Read(const PixelView& view) const;
    const std::uint8_t* Row(const Frame& f, int y) const { return f.pixels.data() + y * rowBytes_; }
    bool SameRow(const Frame& a, int ya, const Frame& b, int yb) const;
    // Drops `rows` rows from the picture's foot, appends rows [from, height) of `f`.
    void ReplaceFoot(int rows, const Frame& f, int from);
    const std::uint8_t* PictureRow(int y) const;

    int width_, frameHeight_;
    std::size_t rowBytes_;
    int height_ = 0;
    // The rows at the picture's foot that equal the last frame's last rows.
    int tail_;
    int fixedTop_ = 0, fixedBottom_ = 0;
    Frame last_;
    // The picture in blocks of rows, so that it never moves once taken.
    std::vector<std::vector<std::uint8_t>> blocks_;
};

}  // namespace glimra
