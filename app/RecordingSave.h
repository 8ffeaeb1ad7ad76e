// A recording, or the part of it kept after trimming, written as an animated GIF.
#pragma once

#include <cstdint>

#include "output/byte_sink.h"

class RecordingFrames;

// Frames `first` to `last` (inclusive) of `frames` into `sink`, the first shown
// at time 0 and the animation ending `end` milliseconds after the start of the
// recording (the time of the frame after `last`, or the recording's end).
// Throws SaveError when the sink takes no more, and std::runtime_error when the
// recording's file does not give back a frame.
void SaveRecordingAsGif(RecordingFrames& frames, int first, int last, std::int64_t end,
                        glimra::ByteSink& sink);
