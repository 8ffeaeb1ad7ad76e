// The screen recorder's GIF: an animation written frame by frame, made for
// screens. Each frame is written as the rectangle that changed, with the pixels
// inside it that stayed the same transparent wherever that packs better, and
// exact colours wherever a frame's new colours fit in 256 (an ordered dither,
// steady from frame to frame, where they do not).
#pragma once

#include <cstdint>
#include <memory>

#include "imaging/pixel_view.h"
#include "output/byte_sink.h"

namespace glimra {

class GifAnimation {
  public:
    // An animation of `width` x `height` pixels (1 to 65535 each) that loops
    // forever; nothing is written before the first frame. Throws SaveError.
    GifAnimation(ByteSink& sink, int width, int height);
    ~GifAnimation();
    GifAnimation(const GifAnimation&) = delete;
    GifAnimation& operator=(const GifAnimation&) = delete;

    // A frame (a view of width x height pixels, 3 or 4 bytes each) shown from
    // `milliseconds` after the recording's start; times never go back (an
    // earlier time counts as the last one). A frame equal to the one before
    // only lengthens that one. The view is read during the call only.
    void Add(const PixelView& frame, std::int64_t milliseconds);
    // Ends the recording at `milliseconds`: writes the frame held back and the
    // trailer, and flushes the sink. The delays, in hundredths of a second, add
    // up to the time from the first frame to this one, rounded once.
    void Finish(std::int64_t milliseconds);

    // A SaveError from Add or Finish leaves the animation unusable.

  private:
    class Encoder;
    std::unique_ptr<Encoder> encoder_;
};

}  // namespace glimra
