#include "ui/TTimer.h"

#include <set>

#include "ui/HiddenWindow.h"
#include "ui/TApplication.h"

namespace ui {

namespace {

// Timers that exist.
std::set<TTimer*>& LiveTimers() {
    static std::set<TTimer*> timers;
    return timers;
}

}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    LiveTimers().insert(this);
    Update();
}

TTimer::~TTimer() {
    enabled_ = false;
    Update();
    LiveTimers().erase(this);
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Update();
}

void TTimer::SetInterval(unsigned interval) {
    if (interval == interval_) return;
    interval_ = interval;
    running_ = running_ && enabled_;
    Update();
}

LRESULT CALLBACK TTimer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_TIMER) return ::DefWindowProcA(window, message, wParam, lParam);
    // A tick that arrives for a destroyed or stopped timer is dropped.
    Guarded([wParam] {
        auto* timer = reinterpret_cast<TTimer*>(wParam);
        if (!LiveTimers().count(timer) || !timer->enabled_) return;
        if (timer->OnTimer) timer->OnTimer(timer);
    });
    return 0;
}

HWND TTimer::TimerWindow() {
    static const win::Window window =
        MakeHiddenWindow("GlimraTimers", WindowProc, "the timers' window", HWND_MESSAGE);
    return window.Get();
}

void TTimer::Update() {
    HWND window = TimerWindow();
    const UINT_PTR id = reinterpret_cast<UINT_PTR>(this);
    if (running_) ::KillTimer(window, id);
    running_ = enabled_ && interval_ > 0;
    if (running_) ::SetTimer(window, id, interval_, nullptr);
}

const PropertyRegistry& TTimer::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TTimer", &TComponent::ClassProperties());
        Registrar<TTimer>(r)
            .Boolean("Enabled", &TTimer::Enabled, &TTimer::SetEnabled)
            .Integer("Interval", &TTimer::Interval, &TTimer::SetInterval)
            .Event<TNotifyEvent>("OnTimer", [](TTimer& t, TNotifyEvent e) { t.OnTimer = e; });
        return r;
    }();
    return registry;
}

}  // namespace ui
