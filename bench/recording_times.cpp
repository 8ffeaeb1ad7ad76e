// Times the screen recorder and weighs its memory: the area (0, 0, width, height)
// of the screen is recorded at `rate` frames a second for `seconds` of wall time,
// into frames in a temporary file, as the program records. Over the area stands a
// window of this program that paints anew every 50 ms from the main thread's
// message loop, while the recorder's own thread grabs: diagonal stripes that move
// (every row of a frame changes, so each frame is stored whole, the recorder's
// dearest case), a square of fresh noise that bounces (bytes that do not pack)
// and a counter in large digits.
//
// Prints one figure a line: the frames, the dropped ticks, the recorded time and
// the wall time from the recorder's start to the return of its Stop (performance
// counter), their difference in frames, whether the frames' times rise strictly,
// the largest and mean gap between them, the paints of the window, the working
// set before and at its peak, and the file's size; the last line holds them all:
//   frames=N dropped=D recorded_ms=R wall_ms=W difference_frames=F
//   peak_working_set_mb=P file_mb=S
//   recording_times width height rate seconds
#include <windows.h>
#include <psapi.h>

#include "bench/clock.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/RecordingFrames.h"
#include "app/ScreenRecorder.h"

namespace {

constexpr UINT kPaintMs = 50;
constexpr int kStripes = 64;  // the stripes' pattern repeats every kStripes pixels
constexpr int kNoise = 128;   // the noise square's side

double Megabytes(std::uint64_t bytes) {
    return double(bytes) / (1024.0 * 1024.0);
}

PROCESS_MEMORY_COUNTERS Memory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

// A 32-bit top-down DIB section of width x height selected into a DC of its own.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    std::uint32_t* pixels = nullptr;

    Canvas(HDC screen, int width, int height) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels = static_cast<std::uint32_t*>(bits);
        dc = ::CreateCompatibleDC(screen);
        old = ::SelectObject(dc, bitmap);
    }
    ~Canvas() {
        ::SelectObject(dc, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
};

// The window that changes: painted into a back buffer, then shown at once, so
// that a grab sees whole paints.
class Animation {
  public:
    Animation(int width, int height) : width_(width), height_(height) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "GlimraRecordingTimes";
        windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        ::RegisterClassA(&windowClass);

        HDC screen = ::GetDC(nullptr);
        back_ = std::make_unique<Canvas>(screen, width, height);
        noise_ = std::make_unique<Canvas>(screen, kNoise, kNoise);
        ::ReleaseDC(nullptr, screen);
        // The stripes' pattern as a packed DIB, which the brush copies.
        std::vector<std::uint32_t> stripes(sizeof(BITMAPINFOHEADER) / 4 + kStripes * kStripes);
        const BITMAPINFOHEADER header{
            sizeof header, kStripes, -kStripes, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::memcpy(stripes.data(), &header, sizeof header);
        std::uint32_t* pixels = stripes.data() + sizeof header / 4;
        for (int y = 0; y < kStripes; ++y)
            for (int x = 0; x < kStripes; ++x) {
                const int band = ((x + y) / (kStripes / 4)) % 4;
                static constexpr std::uint32_t kColours[] = {0x2f5f8f, 0xe8e0c8, 0x8f2f4f,
                                                             0x3f8f3f};
                pixels[y * kStripes + x] = kColours[band];
            }
        brush_ = ::CreateDIBPatternBrushPt(stripes.data(), DIB_RGB_COLORS);
        font_ = ::CreateFontA(std::min(200, height / 3), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                              ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                              NONANTIALIASED_QUALITY, DEFAULT_PITCH, "Arial");

        window_ = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, windowClass.lpszClassName,
                                    "recording_times", WS_POPUP, 0, 0, width, height, nullptr,
                                    nullptr, windowClass.hInstance, this);
        ::ShowWindow(window_, SW_SHOWNOACTIVATE);
        ::UpdateWindow(window_);
        ::SetTimer(window_, 1, kPaintMs, nullptr);
    }
    ~Animation() {
        ::DestroyWindow(window_);
        ::DeleteObject(brush_);
        ::DeleteObject(font_);
    }
    Animation(const Animation&) = delete;
    Animation& operator=(const Animation&) = delete;

    bool Made() const { return window_ && back_->pixels && noise_->pixels && brush_; }
    int Paints() const { return paints_; }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
        if (message == WM_NCCREATE)
            ::SetWindowLongPtrA(window, GWLP_USERDATA,
                                LONG_PTR(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams));
        auto* self = reinterpret_cast<Animation*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        switch (message) {
            case WM_TIMER:
                ::InvalidateRect(window, nullptr, FALSE);
                return 0;
            case WM_ERASEBKGND:
                return 1;
            case WM_PAINT: {
                PAINTSTRUCT paint;
                HDC dc = ::BeginPaint(window, &paint);
                if (self) self->Paint(dc);
                ::EndPaint(window, &paint);
                return 0;
            }
            default:
                return ::DefWindowProcA(window, message, w, l);
        }
    }

    void Paint(HDC dc) {
        const int n = paints_++;
        HDC back = back_->dc;
        // The stripes move 3 pixels a paint.
        RECT all{0, 0, width_, height_};
        ::SetBrushOrgEx(back, (3 * n) % kStripes, 0, nullptr);
        ::FillRect(back, &all, brush_);

        // Fresh noise (a linear congruential generator), bouncing 7 and 5 pixels a paint.
        for (int i = 0; i < kNoise * kNoise; ++i) {
            seed_ = seed_ * 1664525u + 1013904223u;
            noise_->pixels[i] = seed_ >> 8;
        }
        const auto bounce = [n](int room, int step) {
            if (room <= 0) return 0;
            const int travelled = (n * step) % (2 * room);
            return travelled < room ? travelled : 2 * room - travelled;
        };
        ::BitBlt(back, bounce(width_ - kNoise, 7), bounce(height_ - kNoise, 5), kNoise, kNoise,
                 noise_->dc, 0, 0, SRCCOPY);

        char counter[32];
        const int length = std::snprintf(counter, sizeof counter, "%d", n);
        HGDIOBJ oldFont = ::SelectObject(back, font_);
        ::SetBkMode(back, OPAQUE);
        ::SetBkColor(back, RGB(255, 255, 255));
        ::SetTextColor(back, RGB(0, 0, 0));
        ::TextOutA(back, 20, 20, counter, length);
        ::SelectObject(back, oldFont);
        ::GdiFlush();

        ::BitBlt(dc, 0, 0, width_, height_, back, 0, 0, SRCCOPY);
    }

    int width_, height_;
    HWND window_ = nullptr;
    std::unique_ptr<Canvas> back_, noise_;
    HBRUSH brush_ = nullptr;
    HFONT font_ = nullptr;
    int paints_ = 0;
    std::uint32_t seed_ = 12345;
};

// Handles the window's messages until `until` on the clock of bench/clock.h.
void PumpUntil(double until) {
    for (double now = Now(); now < until; now = Now()) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(std::max(1.0, until - now)),
                                    QS_ALLINPUT);
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
}

void Figure(const char* name, const char* format, double value, const char* unit = "") {
    std::printf("%-26s ", name);
    std::printf(format, value);
    std::printf("%s\n", unit);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: recording_times width height rate seconds\n");
        return 2;
    }
    const int width = std::atoi(argv[1]), height = std::atoi(argv[2]);
    const int rate = std::atoi(argv[3]);
    const double seconds = std::atof(argv[4]);
    // Physical pixels, as the program's recorder is given.
    ::SetProcessDPIAware();
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0 || width > screenWidth || height > screenHeight || rate <= 0 ||
        seconds <= 0) {
        std::fprintf(stderr, "the area must lie on the screen (%d x %d); rate and seconds > 0\n",
                     screenWidth, screenHeight);
        return 2;
    }
    std::printf("area %d x %d of a screen of %d x %d, %d frames a second, %.0f s\n", width, height,
                screenWidth, screenHeight, rate, seconds);

    Animation animation(width, height);
    if (!animation.Made()) {
        std::fprintf(stderr, "the window that changes could not be made\n");
        return 1;
    }
    // Shown and painted a few times before the recording starts.
    PumpUntil(Now() + 300);

    char folder[MAX_PATH];
    ::GetTempPathA(sizeof folder, folder);
    try {
        RecordingFrames frames(folder, width, height);
        const double before = Megabytes(Memory().WorkingSetSize);
        const int paintsBefore = animation.Paints();
        const double start = Now();
        ScreenRecorder recorder(RECT{0, 0, width, height}, rate, true, frames);
        PumpUntil(start + seconds * 1000);
        const ScreenRecorder::Summary summary = recorder.Stop();
        const double wall = Now() - start;
        const int paints = animation.Paints() - paintsBefore;
        const PROCESS_MEMORY_COUNTERS memory = Memory();
        if (!summary.failure.empty()) std::printf("failure: %s\n", summary.failure.c_str());

        // The gaps between consecutive frames' times; one of more than 1.5 frame
        // times stands for a late grab or dropped ticks.
        bool rising = true;
        std::vector<std::int64_t> gaps;
        std::vector<std::pair<std::int64_t, std::int64_t>> late;  // (gap, time of its end)
        for (int i = 1; i < frames.Count(); ++i) {
            const std::int64_t gap = frames.Time(i) - frames.Time(i - 1);
            if (gap <= 0) rising = false;
            gaps.push_back(gap);
            if (gap * rate * 2 > 3000) late.push_back({gap, frames.Time(i)});
        }
        std::sort(gaps.begin(), gaps.end());
        const auto gapAt = [&](double share) {
            return gaps.empty() ? 0.0 : double(gaps[std::size_t(share * double(gaps.size() - 1))]);
        };
        const std::int64_t largestGap = gaps.empty() ? 0 : gaps.back();
        std::sort(late.rbegin(), late.rend());
        const double meanGap =
            frames.Count() > 1
                ? double(frames.Time(frames.Count() - 1) - frames.Time(0)) / (frames.Count() - 1)
                : 0;
        const double difference = double(summary.milliseconds - wall) * rate / 1000.0;
        const double peak = Megabytes(memory.PeakWorkingSetSize);
        const double file = Megabytes(frames.FileBytes());

        Figure("frames", "%.0f", summary.frames);
        Figure("frames at the rate", "%.1f", wall * rate / 1000.0, " (wall time x rate)");
        Figure("dropped", "%.0f", summary.dropped);
        Figure("recorded", "%.0f", double(summary.milliseconds), " ms");
        Figure("wall", "%.1f", wall, " ms");
        Figure("difference", "%+.2f", difference, " frames");
        std::printf("%-26s %s\n", "times rise strictly", rising ? "yes" : "NO");
        Figure("first frame's time", "%.0f", frames.Count() ? double(frames.Time(0)) : 0, " ms");
        Figure("largest gap", "%.0f", double(largestGap), " ms");
        Figure("mean gap", "%.2f", meanGap, " ms");
        Figure("expected gap", "%.2f", 1000.0 / rate, " ms");
        Figure("median gap", "%.0f", gapAt(0.5), " ms");
        Figure("99th percentile gap", "%.0f", gapAt(0.99), " ms");
        Figure("gaps over 1.5 frame times", "%.0f", double(late.size()));
        std::printf("%-26s", "largest gaps (ms @ s)");
        for (std::size_t i = 0; i < late.size() && i < 8; ++i)
            std::printf(" %lld@%.1f", static_cast<long long>(late[i].first),
                        double(late[i].second) / 1000.0);
        std::printf("\n");
        Figure("paints of the window", "%.0f", paints);
        Figure("paints a second", "%.1f", paints * 1000.0 / wall);
        Figure("working set before", "%.1f", before, " MB");
        Figure("working set after", "%.1f", Megabytes(memory.WorkingSetSize), " MB");
        Figure("peak working set", "%.1f", peak, " MB");
        Figure("file", "%.1f", file, " MB");
        Figure("file a frame", "%.1f",
               frames.Count() ? double(frames.FileBytes()) / frames.Count() / 1024.0 : 0, " KB");
        std::printf(
            "frames=%d dropped=%d recorded_ms=%lld wall_ms=%.0f difference_frames=%+.2f "
            "peak_working_set_mb=%.1f file_mb=%.1f\n",
            summary.frames, summary.dropped, static_cast<long long>(summary.milliseconds), wall,
            difference, peak, file);
        std::fflush(stdout);
        return summary.failure.empty() && rising ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
