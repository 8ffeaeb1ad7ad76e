// A recording, or the part of it kept after trimming, written as an animated GIF.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "output/byte_sink.h"

class RecordingFrames;

// Frames `first` to `last` (inclusive) of `frames` into `sink`, the first shown
// at time 0 and the animation ending `end` milliseconds after the start of the
// recording (the time of the frame after `last`, or the recording's end).
// Throws SaveError when the sink takes no more, and std::runtime_error when the
// recording's file does not give back a frame.
void SaveRecordingAsGif(RecordingFrames& frames, int first, int last, std::int64_t end,
                        glimra::ByteSink& sink);

// Frames `first` to `last` written to `file` as a GIF or, with `mp4`, an MP4,
// without risk to a file of that name. False, with nothing written, for an MP4
// where Windows has no H.264 encoder; throws SaveError when the file cannot be
// written and std::runtime_error when the recording's file gives back no frame.
bool WriteRecording(RecordingFrames& frames, int first, int last, std::int64_t end,
                    const std::wstring& file, bool mp4);

// The save dialog, owned by `owner`, for frames `first` to `last` of a recording, the part ending
// `end` milliseconds after the recording's start: a GIF or an MP4 (where Windows
// has no H.264 encoder that is said and a GIF offered), in the folder and with
// the name pattern of "Save Every Capture" where they are set; the file written
// without risk to an existing one and put on the clipboard as a file, so that
// it pastes into chat and mail. A file that cannot be written is said and the
// dialog comes back. Returns what the status bar says, or nothing when the
// dialog was cancelled.
std::optional<std::string> SaveRecording(HWND owner, RecordingFrames& frames, int first, int last,
                                         std::int64_t end, const std::string& folder,
                                         const std::string& name);
