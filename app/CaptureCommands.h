// The four captures of the main window: each becomes the current picture as one
// step of the history, the picture commands are refreshed, and the desktop and
// active-window captures are counted in their status labels.
#pragma once

#include "app/HotKeys.h"

class History;
class TMAIN;
namespace ui {
class TBitmap;
class TControl;
class TTimer;
}  // namespace ui

class CaptureCommands {
  public:
    // `poll` is the timer of the hot-key poll; the counts are the status labels
    // of full-screen and active-window captures.
    CaptureCommands(TMAIN& main, History& history, ui::TTimer& poll, ui::TControl& desktopCount,
                    ui::TControl& windowCount)
        : main_(main),
          history_(history),
          poll_(poll),
          desktopCount_(desktopCount),
          windowCount_(windowCount) {}

    void Desktop();
    void ActiveWindow();
    // The overlay on the frozen screen: a dragged rectangle, or the window or
    // control pointed at.
    void Selection();
    void WindowOrControl();
    // One tick of the hot-key poll: the capture of a key pressed since the last.
    void Poll();

  private:
    // The capture becomes the current picture.
    void Take(ui::TBitmap& picture);
    // Hides the main window, grabs in that mode and brings the window back.
    void Grab(int mode);
    // Runs an overlay form modally with the hot keys off and the main window
    // minimised; `picked` then takes the picture.
    template <class Overlay, class Picked>
    void RunOverlay(Picked picked);

    TMAIN& main_;
    History& history_;
    ui::TTimer& poll_;
    ui::TControl& desktopCount_;
    ui::TControl& windowCount_;
};
