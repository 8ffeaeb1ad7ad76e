// A screen recording while it runs: a thin frame drawn around the area, outside
// it (one window whose region leaves the area out), and a small bar beside it with the elapsed
// time, Pause/Resume, Stop and Cancel. The recording runs until Stop, the record key again, Cancel
// or Escape in the bar, or until the recorder fails (the disk takes no more). The bar and the frame
// stand outside the area, so no frame holds them; where Windows offers WDA_EXCLUDEFROMCAPTURE they
// are left out of every grab as well.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/RecordingFrames.h"
#include "app/ScreenRecorder.h"

struct Recording {
    std::unique_ptr<RecordingFrames> frames;  // null when cancelled or nothing was taken
    ScreenRecorder::Summary summary;
    std::string limit;  // which limit ended it, for a message, or empty
};

// Where a recording ends by itself: at a length, or when the disk of its
// temporary file has less room left.
struct RecordingLimits {
    int minutes = 30;
    int freeMegabytes = 500;
};

// A recording's time as the bar and the preview show it: "1:02.3".
std::string RecordingClock(std::int64_t milliseconds);

// Deletes the frames of recordings that a machine which went down left in the
// temporary folder (a killed program's file is deleted by the system).
void RemoveRecordingLeftovers();

// Records `area` (physical screen pixels) at `rate` frames a second until it
// ends; `stopKey` says whether the record key has been pressed again. Throws
// std::runtime_error when the recording cannot start (its file cannot be made).
Recording RecordArea(RECT area, int rate, bool pointer, const RecordingLimits& limits,
                     const std::function<bool()>& stopKey);
