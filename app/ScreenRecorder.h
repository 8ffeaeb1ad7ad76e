// The grabbing side of a screen recording: a thread of its own grabs a rectangle
// of the screen at a steady rate into the recording's frames, the pointer drawn
// in where it is over the rectangle.
//
// The ticks come from a high-resolution waitable timer, and each frame keeps the
// time its grab was taken, read from the performance counter: a grab that comes
// late lengthens the frame before it, so that the frames play in the time they
// took. Ticks that passed while a grab was still being taken are counted as
// frames dropped, not hidden. A pause stops the grabs, and its time is left out
// of the frames' times.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

class RecordingFrames;

class ScreenRecorder {
  public:
    // The rates a recording can have, in frames a second.
    static constexpr int kRates[] = {5, 10, 15, 20, 25, 30};

    struct Summary {
        int frames = 0;
        int dropped = 0;                // ticks that came while a grab was still taken
        std::int64_t milliseconds = 0;  // the recorded time, pauses left out
        std::string failure;            // why the recording ended early, or empty
    };

    // Starts grabbing `area` (physical screen pixels) `rate` times a second
    // into `frames`, whose size is the area's.
    ScreenRecorder(RECT area, int rate, bool pointer, RecordingFrames& frames);
    // Stops, if Stop was not called.
    ~ScreenRecorder();
    ScreenRecorder(const ScreenRecorder&) = delete;
    ScreenRecorder& operator=(const ScreenRecorder&) = delete;

    void Pause();
    void Resume();
    bool Paused() const { return paused_; }
    // The recorded time so far, pauses left out.
    std::int64_t Elapsed() const;
    // The recording ended by itself (the disk took no more).
    bool Failed() const { return failed_; }
    // Stops the grabs and waits for the thread; the frames are then complete.
    Summary Stop();

  private:
    void Run();
    void Grab(HDC screen, HDC memory, std::int64_t milliseconds);
    std::int64_t Now() const;  // milliseconds on the performance counter

    RECT area_;
    int rate_;
    bool pointer_;
    RecordingFrames& frames_;
    HANDLE timer_ = nullptr;
    HANDLE stop_ = nullptr;
    std::int64_t frequency_ = 1;
    std::atomic<bool> paused_{false}, failed_{false};
    mutable std::mutex clock_;
    std::mutex grabbing_;  // held while a frame is grabbed and stored
    std::int64_t start_ = 0, pausedAt_ = 0, pausedFor_ = 0;
    Summary summary_;
    std::thread thread_;
};
