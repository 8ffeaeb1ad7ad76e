// The tooltip of one window: shows the hint of the light child under the mouse.
// It uses the common controls' tooltip class with one tool per light child,
// added when the mouse first enters the child and kept up to date on each entry.
#pragma once

#include <windows.h>

#include <set>

#include "win/handles.h"

namespace ui {

class TControl;

class THintWindow {
  public:
    explicit THintWindow(HWND parent);

    // The mouse entered `control`, a light child of the window, whose bounds lie
    // at `origin` in the window's client area; nullptr: it is over no child.
    void Track(TControl* control, POINT origin);
    // The child is going away.
    void Forget(TControl* control);
    // Hands a mouse message of the window to the tooltip, which needs to see the
    // mouse to time its tips.
    void Relay(UINT message, WPARAM wParam, LPARAM lParam);
    HWND Handle() const { return tooltip_.Get(); }

  private:
    HWND parent_;
    win::Window tooltip_;
    std::set<TControl*> tools_;  // children that have a tool
};

}  // namespace ui
