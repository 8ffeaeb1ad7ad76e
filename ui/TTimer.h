// A timer component: OnTimer runs through the message loop every Interval ms
// while Enabled.
#pragma once

#include <windows.h>

#include "ui/Graphics.h"
#include "ui/TComponent.h"

namespace ui {

class TTimer : public TComponent {
  public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned interval);

    TNotifyEvent OnTimer;

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  private:
    // The timers' own window, whose WM_TIMER runs the timer with that id.
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static HWND TimerWindow();
    void Update();

    bool enabled_ = true;
    unsigned interval_ = 1000;
    bool running_ = false;
};

}  // namespace ui
