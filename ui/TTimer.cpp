#include "ui/TTimer.h"

#include <set>

#include "ui/TApplication.h"

namespace ui {

namespace {

// Timers that exist: a tick that arrives for a destroyed timer is dropped.
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

void TTimer::Update() {
    HWND window = Application->UtilityWindow();
    const UINT_PTR id = reinterpret_cast<UINT_PTR>(this);
    if (running_) ::KillTimer(window, id);
    running_ = enabled_ && interval_ > 0;
    if (running_) ::SetTimer(window, id, interval_, nullptr);
}

void TTimer::Tick(UINT_PTR id) {
    auto* timer = reinterpret_cast<TTimer*>(id);
    if (!LiveTimers().count(timer) || !timer->enabled_) return;
    if (timer->OnTimer) timer->OnTimer(timer);
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
