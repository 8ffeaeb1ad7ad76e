// Pictures brought into the editor from outside: a file chosen in the open
// dialog, dropped on the main window or named by a command (--open), and the
// clipboard's picture. Each is read whole, decoded by the neutral decoders into
// a new bitmap and only then handed on, so that a file or clipboard that cannot
// be read leaves the current picture and its history as they were. A picture
// with transparency is shown over white, as a viewer shows it.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>

namespace ui {
class TBitmap;
class TForm;
}  // namespace ui

// The picture file at `path` as an opaque bitmap; null, with the reason, when it
// cannot be read, is no picture of a kind we read, is damaged, or would need more
// memory than a picture may have.
std::unique_ptr<ui::TBitmap> ReadPictureFile(const std::wstring& path, std::string& failure);

// The commands of the File and Edit menus and the drop that bring a picture in.
class PictureIntake {
  public:
    // `take` makes a decoded picture the current one, one step of the history.
    PictureIntake(ui::TForm& window, std::function<void(ui::TBitmap&)> take)
        : window_(window), take_(std::move(take)) {}

    // "Open...": the system's open dialog, then the file chosen.
    void OpenWithDialog();
    // Files dropped on the window (WM_DROPFILES): the first that is a picture is
    // opened; when none is, the first one's reason is shown. Frees the drop.
    void Drop(HDROP drop);
    // "Paste": the clipboard's picture, from the richest format it offers (PNG,
    // then CF_DIBV5, CF_DIB, CF_BITMAP).
    void Paste();

  private:
    // Says why `path` was not opened.
    void Refused(const std::wstring& path, const std::string& reason) const;
    ui::TForm& window_;
    std::function<void(ui::TBitmap&)> take_;
};
