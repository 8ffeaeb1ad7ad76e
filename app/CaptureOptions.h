// What happens around each capture, as the user has set it up once: a delay
// before it, the last selection taken again, every capture saved to a folder and
// copied to the clipboard by itself, and where a scrolling capture starts. Kept in the registry
// beside the other settings, each written when it changes; a value that cannot be read gives its
// default, with which a capture is just a capture.
#pragma once

#include <windows.h>

#include <ctime>
#include <optional>
#include <string>

#include "output/save_type.h"

struct AutoSave {
    bool on = false;
    std::string folder;
    std::string name = "Glimra %Y-%m-%d %H.%M.%S";
    glimra::SaveType type = glimra::SaveType::Png;
};

class CaptureOptions {
  public:
    // The delays the menu offers, in seconds.
    static constexpr int kDelays[] = {0, 3, 5, 10};

    // The stored settings.
    CaptureOptions();

    int Delay() const { return delay_; }
    void SetDelay(int seconds);
    // The last rectangle of a selection, in screen pixels.
    const std::optional<RECT>& LastRegion() const { return lastRegion_; }
    void SetLastRegion(RECT region);
    bool AutoCopy() const { return autoCopy_; }
    void SetAutoCopy(bool on);
    const AutoSave& Saving() const { return autoSave_; }
    void SetSaving(const AutoSave& saving);
    // A scrolling capture starts where the window stands rather than at the top
    // of its content.
    bool ScrollFromCurrent() const { return scrollFromCurrent_; }
    void SetScrollFromCurrent(bool on);
    // The pointer is drawn into the pictures of the captures (all but the
    // scrolling one), where it stood when the screen was taken.
    bool CapturePointer() const { return capturePointer_; }
    void SetCapturePointer(bool on);
    // A selection's band stays on the frozen screen to be adjusted before it is
    // taken (for F9 and the recorder's area).
    bool AdjustSelection() const { return adjustSelection_; }
    void SetAdjustSelection(bool on);
    // A recording's frames a second (one of ScreenRecorder::kRates) and whether
    // the pointer is drawn into its frames.
    int RecordingRate() const { return recordingRate_; }
    void SetRecordingRate(int rate);
    bool RecordPointer() const { return recordPointer_; }
    void SetRecordPointer(bool on);
    // Where a recording ends by itself: its length in minutes, and the
    // megabytes that must stay free on the disk of its temporary file.
    int RecordingMinutes() const { return recordingMinutes_; }
    int RecordingFreeMegabytes() const { return recordingFree_; }

  private:
    int delay_ = 0;
    std::optional<RECT> lastRegion_;
    bool autoCopy_ = false;
    AutoSave autoSave_;
    bool scrollFromCurrent_ = false;
    bool capturePointer_ = false;
    bool adjustSelection_ = false;
    int recordingRate_ = 10;
    bool recordPointer_ = true;
    int recordingMinutes_ = 30, recordingFree_ = 500;
};

// The file name that the pattern gives at that time: %Y, %m, %d, %H, %M and %S
// the year, month, day, hour, minute and second in two digits (the year in four),
// %n the number, %% a per cent sign; any other text as it is.
std::string ExpandName(const std::string& pattern, const SYSTEMTIME& time, int number);
// Why the pattern cannot name a file (a character that Windows refuses in file
// names, an empty name), or nothing.
std::optional<std::string> NameProblem(const std::string& pattern);
// The type's name as stored ("BMP", "JPEG", "GIF", "PNG") and its extension.
const char* SaveTypeName(glimra::SaveType type);
const char* SaveTypeExtension(glimra::SaveType type);
