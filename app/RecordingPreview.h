// The window a recording opens in once it ends: it plays the recording in the
// time it was recorded, steps through it frame by frame, trims its start and
// end, and saves the part kept as a GIF or an MP4. Closing it while the
// recording is not saved asks first, so that nothing is lost unasked.
//
// Keys: Space plays and pauses; Left and Right (or the slider) step; Home and
// End go to the first and last frame; the buttons' underlined letters work as
// in a dialog; Escape closes.
#pragma once

#include <cstdint>
#include <string>

class RecordingFrames;

struct PreviewResult {
    bool saved = false;  // saved at least once
    std::string said;  // what the status bar says: where it was saved last, or that it was dropped
};

// Shows `frames`, a recording that ends `end` milliseconds after its start,
// until the window is closed; saving goes through SaveRecording with `folder`
// and the name pattern `name`.
PreviewResult PreviewRecording(RecordingFrames& frames, std::int64_t end, const std::string& folder,
                               const std::string& name);
