// What each capture does by itself once it is the current picture, as the user
// has set it up: saved into the chosen folder under a name of the chosen
// pattern, through the same writers and atomic save as "Save As...", and copied
// to the clipboard as Copy does. A save that fails loses nothing: the picture
// stays, no partial file is left, and one balloon says why.
#pragma once

#include <string>

#include "output/save_type.h"

class CaptureOptions;
class CurrentPicture;
namespace ui {
class TControl;
class TForm;
class TTrayIcon;
}  // namespace ui

// A path in `folder` for a picture of that type, named by the pattern (number
// `number` for %n), that no file has yet: " (2)", " (3)", ... after the name
// where it is taken.
std::string FreeNameInFolder(std::string folder, const std::string& pattern, glimra::SaveType type,
                             int number);

class AfterCapture {
  public:
    AfterCapture(ui::TForm& window, const CaptureOptions& options, ui::TTrayIcon& tray,
                 ui::TControl& status)
        : window_(window), options_(options), tray_(tray), status_(status) {}

    void Run(CurrentPicture& picture);

  private:
    void Save(CurrentPicture& picture);

    ui::TForm& window_;
    const CaptureOptions& options_;
    ui::TTrayIcon& tray_;
    ui::TControl& status_;
    int number_ = 1;  // %n of the next name
};
