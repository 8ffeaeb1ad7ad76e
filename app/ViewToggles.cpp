#include "app/ViewToggles.h"

#include "ui/TApplication.h"
#include "ui/TForm.h"
#include "ui/TMenuItem.h"

ViewToggles::ViewToggles(ui::TForm& window)
    : toolBar_(window.Get<ui::TControl>("Panel1")),
      imageEdit_(window.Get<ui::TControl>("ToolBar1")),
      statusBar_(window.Get<ui::TControl>("Panel2")),
      toolBarItem_(window.Get<ui::TMenuItem>("MenuToolBar")),
      imageEditItem_(window.Get<ui::TMenuItem>("MenuImageEdit")),
      statusBarItem_(window.Get<ui::TMenuItem>("MenuStatusBar")) {}

void ViewToggles::Set(bool toolBar, bool imageEdit, bool statusBar) {
    toolBar_.SetHeight(ui::Application->Scale(toolBar ? 57 : 1));
    imageEdit_.SetVisible(imageEdit);
    statusBar_.SetVisible(statusBar);
    toolBarItem_.SetChecked(toolBar);
    imageEditItem_.SetChecked(imageEdit);
    statusBarItem_.SetChecked(statusBar);
}

void ViewToggles::ToggleToolBar() {
    Set(!toolBarItem_.Checked(), imageEditItem_.Checked(), statusBarItem_.Checked());
}

void ViewToggles::ToggleImageEdit() {
    Set(toolBarItem_.Checked(), !imageEditItem_.Checked(), statusBarItem_.Checked());
}

void ViewToggles::ToggleStatusBar() {
    Set(toolBarItem_.Checked(), imageEditItem_.Checked(), !statusBarItem_.Checked());
}
