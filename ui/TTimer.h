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

    // A WM_TIMER of the application's window: runs the timer with that id.
    static void Tick(UINT_PTR id);

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  private:
    void Update();

    bool enabled_ = true;
    unsigned interval_ = 1000;
    bool running_ = false;
};

}  // namespace ui
