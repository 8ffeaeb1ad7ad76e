#include "app/ScreenRecorder.h"

#include <optional>
#include <stdexcept>

#include "app/RecordingFrames.h"
#include "capture/Pointer.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

ScreenRecorder::ScreenRecorder(RECT area, int rate, bool pointer, RecordingFrames& frames)
    : area_(area), rate_(rate), pointer_(pointer), frames_(frames) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    frequency_ = frequency.QuadPart;
    // A timer of the system's finest resolution where it has one (Windows 10
    // 1803 and later); an ordinary one elsewhere, which wakes at the system's
    // tick and so comes late by a few milliseconds, which the frames' own times
    // then show.
    timer_ = ::CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION,
                                      TIMER_ALL_ACCESS);
    if (!timer_) timer_ = ::CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
    stop_ = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!timer_ || !stop_) throw std::runtime_error("The recording's timer could not be made.");
    start_ = Now();
    thread_ = std::thread([this] { Run(); });
}

ScreenRecorder::~ScreenRecorder() {
    if (thread_.joinable()) Stop();
    ::CloseHandle(timer_);
    ::CloseHandle(stop_);
}

std::int64_t ScreenRecorder::Now() const {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart * 1000 / frequency_;
}

std::int64_t ScreenRecorder::Elapsed() const {
    std::lock_guard<std::mutex> lock(clock_);
    return (paused_ ? pausedAt_ : Now()) - start_ - pausedFor_;
}

void ScreenRecorder::Pause() {
    // Once it returns no grab is under way: what the screen shows from now on
    // stays out of the recording.
    std::lock_guard<std::mutex> grabbing(grabbing_);
    std::lock_guard<std::mutex> lock(clock_);
    if (paused_) return;
    pausedAt_ = Now();
    paused_ = true;
}

void ScreenRecorder::Resume() {
    std::lock_guard<std::mutex> lock(clock_);
    if (!paused_) return;
    pausedFor_ += Now() - pausedAt_;
    paused_ = false;
}

ScreenRecorder::Summary ScreenRecorder::Stop() {
    const std::int64_t end = Elapsed();
    ::SetEvent(stop_);
    if (thread_.joinable()) thread_.join();
    summary_.frames = frames_.Count();
    summary_.milliseconds = end;
    return summary_;
}

void ScreenRecorder::Run() {
    const int width = area_.right - area_.left, height = area_.bottom - area_.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = bitmap ? ::SelectObject(memory, bitmap) : nullptr;
    const glimra::PixelView view{static_cast<std::uint8_t*>(bits), width, height,
                                 std::ptrdiff_t(width) * 4, 4};
    if (!bitmap) {
        summary_.failure = "The recording's picture could not be made.";
        failed_ = true;
    }
    // Tick k falls at k / rate seconds of recorded time.
    std::int64_t tick = 0;
    const auto due = [&](std::int64_t k) { return k * 1000 / rate_; };
    while (!failed_) {
        if (paused_) {
            if (::WaitForSingleObject(stop_, 10) == WAIT_OBJECT_0) break;
            continue;
        }
        const std::int64_t wait = due(tick) - Elapsed();
        if (wait > 0) {
            LARGE_INTEGER when;
            when.QuadPart = -wait * 10000;  // relative, in 100 ns
            ::SetWaitableTimer(timer_, &when, 0, nullptr, nullptr, FALSE);
            const HANDLE handles[] = {stop_, timer_};
            if (::WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0) break;
            continue;
        }
        // The first frame is always taken, so that a recording stopped at once
        // (by a limit already reached) still holds the screen at its start.
        if (tick > 0 && ::WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0) break;
        std::unique_lock<std::mutex> grabbing(grabbing_);
        if (paused_) continue;
        const std::int64_t taken = Elapsed();
        ::BitBlt(memory, 0, 0, width, height, screen, area_.left, area_.top, SRCCOPY | CAPTUREBLT);
        if (pointer_)
            if (const std::optional<PointerImage> p = PointerImage::Now())
                p->DrawInto(memory, {area_.left, area_.top});
        ::GdiFlush();
        try {
            frames_.Add(view, taken);
        } catch (const std::exception& e) {
            summary_.failure = e.what();
            failed_ = true;
        }
        grabbing.unlock();
        // The ticks that passed while this frame was taken are dropped, and so
        // is a tick due less than half a period after it (after a late grab):
        // a frame shorter than that would play as no time at all.
        ++tick;
        while (due(tick + 1) <= Elapsed() || due(tick) < taken + 500 / rate_) {
            ++tick;
            ++summary_.dropped;
        }
    }
    if (old) ::SelectObject(memory, old);
    if (bitmap) ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
}
