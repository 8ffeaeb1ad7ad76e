// A recording written as an MP4 file (H.264) through Media Foundation's sink
// writer, where Windows has an H.264 encoder. Media Foundation is found when a
// recording is first saved so, never at start-up; Windows N editions, some
// virtual machines and Wine have no such encoder.
#pragma once

#include <cstdint>
#include <string>

class RecordingFrames;

// Frames `first` to `last` into the file at `path`, the first shown at time 0,
// the video ending at `end` (milliseconds of the recording). False, with no file
// written, where Windows offers no H.264 encoder; throws SaveError when the
// file cannot be written, std::runtime_error when the recording's file does not
// give back a frame.
bool SaveRecordingAsMp4(RecordingFrames& frames, int first, int last, std::int64_t end,
                        const std::wstring& path);
