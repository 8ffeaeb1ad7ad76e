// The small window a scrolling capture shows while it runs: how many screens it
// has taken, and that Escape stops it (text recognition shows it too, with a
// text of its own). It stands beside the area being taken
// where its display has room, and holds the keyboard, so that Escape reaches it
// rather than the window being scrolled, which shows no caret meanwhile.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "ui/TBitmap.h"

class ScrollingProgress {
  public:
    // Beside `area` (screen pixels), on its display.
    explicit ScrollingProgress(RECT area);
    ~ScrollingProgress();
    ScrollingProgress(const ScrollingProgress&) = delete;
    ScrollingProgress& operator=(const ScrollingProgress&) = delete;

    void Show(int screens);
    void Say(const std::string& text);
    // Escape has been pressed in it.
    bool Stopped() const { return stopped_; }
    // The screen's pixels in the area, never with this window in them: where it
    // had to stand over the area, the system leaves it out of the screen's
    // pictures (Windows 10 2004 and later), or else it is hidden for the grab.
    std::unique_ptr<ui::TBitmap> Grab(RECT area);

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    std::string text_;
    bool stopped_ = false;
    bool hideForGrabs_ = false;
};
