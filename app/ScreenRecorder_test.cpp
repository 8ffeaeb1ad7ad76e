// The recorder on the real screen: a window that shows a new colour every 100 ms
// is recorded at 10 frames a second; on two displays, the window and the area
// cross the seam between them. Every frame is one of its colours, whole,
// in order, at the time the colour was shown; the recording's time is the time
// it ran with the pause left out; the pointer is drawn in where it stands.
#include "app/ScreenRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "app/RecordingFrames.h"
#include "app/RecordingSave.h"
#include "capture/Displays.h"
#include "output/byte_sink.h"
#include "testing/recording/decoded_animation.h"

namespace {

// The area recorded: on one display near its corner; on two, across the edge
// that the primary display shares with the other, where both have rows.
RECT RecordedArea() {
    const std::vector<Display> displays = Displays();
    if (displays.size() < 2) return {100, 100, 260, 220};
    const RECT a = displays[0].area, b = displays[1].area;
    const int seam = b.left >= a.right ? int(a.right) : int(a.left);
    const int top = std::max(a.top, b.top) + 50;
    return {seam - 80, top, seam + 80, top + 120};
}
const RECT kArea = RecordedArea();

// The colour of step n: far apart from each other, never black or white.
COLORREF Colour(int n) {
    return RGB(40 + (n * 37) % 200, 40 + (n * 91) % 200, 40 + (n * 53) % 200);
}

std::int64_t Milliseconds() {
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return now.QuadPart * 1000 / frequency.QuadPart;
}

class Animation {
  public:
    Animation() {
        window_ = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP,
                                    kArea.left, kArea.top, kArea.right - kArea.left,
                                    kArea.bottom - kArea.top, nullptr, nullptr, nullptr, nullptr);
        ::ShowWindow(window_, SW_SHOWNOACTIVATE);
        Show(0);
    }
    ~Animation() { ::DestroyWindow(window_); }
    // Paints step n and notes when it was shown.
    void Show(int n) {
        HDC dc = ::GetDC(window_);
        HBRUSH brush = ::CreateSolidBrush(Colour(n));
        RECT r{0, 0, kArea.right - kArea.left, kArea.bottom - kArea.top};
        ::FillRect(dc, &r, brush);
        ::DeleteObject(brush);
        ::GdiFlush();
        ::ReleaseDC(window_, dc);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
    }

  private:
    HWND window_;
};

// Which step a frame shows: the step whose colour fills it wholly, or -1.
int StepOf(RecordingFrames& frames, int index, int steps) {
    const int width = kArea.right - kArea.left, height = kArea.bottom - kArea.top;
    std::vector<std::uint32_t> pixels(std::size_t(width) * height);
    if (!frames.Read(index,
                     {reinterpret_cast<std::uint8_t*>(pixels.data()), width, height, width * 4, 4}))
        return -2;
    for (int n = 0; n < steps; ++n) {
        const COLORREF c = Colour(n);
        const std::uint32_t bgr =
            std::uint32_t(GetBValue(c)) | GetGValue(c) << 8 | std::uint32_t(GetRValue(c)) << 16;
        bool all = true;
        for (std::uint32_t p : pixels)
            if ((p & 0xFFFFFF) != bgr) {
                all = false;
                break;
            }
        if (all) return n;
    }
    return -1;
}

std::string TempFolder() {
    char path[MAX_PATH];
    ::GetTempPathA(MAX_PATH, path);
    return path;
}

TEST(ScreenRecorder, EachFrameIsTheScreenAtItsTime_AndAPauseIsLeftOut) {
    std::printf("the area: %ld, %ld to %ld, %ld on %zu displays\n", kArea.left, kArea.top,
                kArea.right, kArea.bottom, Displays().size());
    ::SetCursorPos(600, 500);
    Animation animation;
    RecordingFrames frames(TempFolder(), kArea.right - kArea.left, kArea.bottom - kArea.top);
    constexpr int kSteps = 40;
    // Step n is shown at n * 100 ms of recorded time; the pause comes after
    // step 14 and lasts 700 ms, the screen changing meanwhile.
    std::vector<std::int64_t> shownAt(kSteps);
    std::int64_t began = 0, ended = 0, paused = 0;
    ScreenRecorder::Summary summary;
    {
        ScreenRecorder recorder(kArea, 10, false, frames);
        began = Milliseconds();
        for (int n = 0; n < kSteps; ++n) {
            while (recorder.Elapsed() < n * 100)
                ::Sleep(1);
            animation.Show(n);
            shownAt[std::size_t(n)] = recorder.Elapsed();
            if (n == 14) {
                recorder.Pause();
                const std::int64_t from = Milliseconds();
                animation.Show(kSteps + 1);
                ::Sleep(700);
                animation.Show(n);
                paused = Milliseconds() - from;
                recorder.Resume();
            }
        }
        while (recorder.Elapsed() < kSteps * 100)
            ::Sleep(1);
        ended = Milliseconds();
        summary = recorder.Stop();
    }
    ASSERT_EQ(summary.failure, "");
    // The recorded time is the time it ran, less the pause, within a frame.
    EXPECT_NEAR(double(summary.milliseconds), double(ended - began - paused), 100.0);
    EXPECT_GE(summary.frames + summary.dropped, kSteps - 1);
    std::printf("%d frames, %d dropped, %lld ms recorded\n", summary.frames, summary.dropped,
                static_cast<long long>(summary.milliseconds));
    // Every frame shows one step wholly, never the one of the pause; the steps
    // only go forwards; and each frame's step is the one shown at its time, or
    // the one before when the grab met the change.
    int last = 0;
    for (int i = 0; i < frames.Count(); ++i) {
        const int step = StepOf(frames, i, kSteps);
        ASSERT_GE(step, 0) << "frame " << i << " is no step of the animation";
        EXPECT_GE(step, last) << "frame " << i;
        last = step;
        const std::int64_t t = frames.Time(i);
        int expected = 0;
        while (expected + 1 < kSteps && shownAt[std::size_t(expected) + 1] <= t)
            ++expected;
        // A grab or a paint held up by a busy machine may meet the step after.
        EXPECT_TRUE(step >= expected - 1 && step <= expected + 2)
            << "frame " << i << " at " << t << " ms shows step " << step << ", not " << expected;
        if (i > 0) {
            EXPECT_GT(t, frames.Time(i - 1));
        }
    }
    EXPECT_GE(last, kSteps - 2);

    // Saved as a GIF, each frame shows what the recording holds, for as long as
    // it was on the screen, and the whole plays in the recorded time.
    glimra::VectorSink gif;
    SaveRecordingAsGif(frames, 0, frames.Count() - 1, summary.milliseconds, gif);
    const glimra::test::DecodedAnimation decoded = glimra::test::DecodeAnimation(gif.Bytes());
    EXPECT_EQ(decoded.loopCount, 0);
    int delays = 0;
    for (const glimra::test::DecodedFrame& f : decoded.frames)
        delays += f.delay;
    EXPECT_NEAR(delays * 10.0, double(summary.milliseconds - frames.Time(0)), 10.0);
    // Frames of the same step are one image in the GIF.
    std::int64_t shown = 0;
    std::size_t image = 0;
    for (int i = 0; i < frames.Count(); ++i) {
        const int step = StepOf(frames, i, kSteps);
        if (i > 0 && step == StepOf(frames, i - 1, kSteps)) continue;
        ASSERT_LT(image, decoded.frames.size());
        const COLORREF c = Colour(step);
        const std::uint32_t rgb =
            std::uint32_t(GetRValue(c)) << 16 | GetGValue(c) << 8 | std::uint32_t(GetBValue(c));
        for (std::uint32_t p : decoded.frames[image].pixels)
            ASSERT_EQ(p, rgb) << "image " << image;
        // It starts when its first frame was taken, to the hundredth.
        EXPECT_NEAR(double(shown), double(frames.Time(i) - frames.Time(0)), 10.0) << image;
        shown += decoded.frames[image].delay * 10;
        ++image;
    }
    EXPECT_EQ(image, decoded.frames.size());
}

TEST(ScreenRecorder, ThePointerIsDrawnIn_WhereItStands) {
    Animation animation;
    const int width = kArea.right - kArea.left, height = kArea.bottom - kArea.top;
    const auto record = [&](bool pointer) {
        RecordingFrames frames(TempFolder(), width, height);
        ScreenRecorder recorder(kArea, 20, pointer, frames);
        // The window under the pointer sets its cursor as messages come.
        while (frames.Count() < 3) {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageA(&msg);
            ::Sleep(5);
        }
        recorder.Stop();
        std::vector<std::uint32_t> pixels(std::size_t(width) * height);
        EXPECT_TRUE(frames.Read(frames.Count() - 1, {reinterpret_cast<std::uint8_t*>(pixels.data()),
                                                     width, height, width * 4, 4}));
        int other = 0;
        for (std::uint32_t p : pixels)
            other += (p & 0xFFFFFF) != (pixels[0] & 0xFFFFFF);
        return other;
    };
    // The arrow reaches down and right from its tip: pixel 0 stays clear.
    ::SetCursorPos(kArea.left + 40, kArea.top + 40);
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    ::Sleep(100);
    EXPECT_EQ(record(false), 0);
    EXPECT_GT(record(true), 20) << "no pointer in the frame";
    ::SetCursorPos(600, 500);
    ::Sleep(100);
    EXPECT_EQ(record(true), 0) << "a pointer outside the area";
}

}  // namespace
