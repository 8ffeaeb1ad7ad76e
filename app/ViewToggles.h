// The View menu: the main tool bar (a one-pixel strip when off), the image edit
// tool bar and the status bar, each with its check mark. Not saved: every start
// shows all three.
#pragma once

namespace ui {
class TControl;
class TForm;
class TMenuItem;
}  // namespace ui

class ViewToggles {
  public:
    explicit ViewToggles(ui::TForm& window);

    void ToggleToolBar();
    void ToggleImageEdit();
    void ToggleStatusBar();
    void ShowAll() { Set(true, true, true); }
    void ShowNone() { Set(false, false, false); }

  private:
    void Set(bool toolBar, bool imageEdit, bool statusBar);

    ui::TControl &toolBar_, &imageEdit_, &statusBar_;
    ui::TMenuItem &toolBarItem_, &imageEditItem_, &statusBarItem_;
};
