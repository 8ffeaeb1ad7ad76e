#include "app/RecordingSave.h"

#include <stdexcept>
#include <vector>

#include "app/RecordingFrames.h"
#include "recording/gif_animation.h"

void SaveRecordingAsGif(RecordingFrames& frames, int first, int last, std::int64_t end,
                        glimra::ByteSink& sink) {
    const int width = frames.Width(), height = frames.Height();
    std::vector<std::uint8_t> pixels(std::size_t(width) * std::size_t(height) * 4);
    const glimra::PixelView view{pixels.data(), width, height, std::ptrdiff_t(width) * 4, 4};
    glimra::GifAnimation gif(sink, width, height);
    const std::int64_t start = frames.Time(first);
    for (int i = first; i <= last; ++i) {
        if (!frames.Read(i, view))
            throw std::runtime_error("The recording's file " + frames.Path() +
                                     " does not give back frame " + std::to_string(i + 1) + ".");
        gif.Add(view, frames.Time(i) - start);
    }
    gif.Finish(end - start);
}
