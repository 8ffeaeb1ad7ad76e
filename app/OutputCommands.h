// The ways out of the program for the current picture: "Save As..." in the type
// chosen in the dialog's list (kept between saves), one printed page, and the
// clipboard.
#pragma once

class CurrentPicture;
namespace ui {
class TForm;
class TPrintDialog;
class TSaveDialog;
}  // namespace ui

class OutputCommands {
  public:
    OutputCommands(ui::TForm& window, CurrentPicture& picture, ui::TSaveDialog& saveDialog,
                   ui::TPrintDialog& printDialog)
        : window_(window), picture_(picture), saveDialog_(saveDialog), printDialog_(printDialog) {}

    void Save();
    // The type list of the save dialog changed: that type is the next save's.
    void SaveTypeChanged();
    // Prints on the printer the dialog chooses, then says "Bitmap printed".
    void Print();
    void Copy();

  private:
    ui::TForm& window_;
    CurrentPicture& picture_;
    ui::TSaveDialog& saveDialog_;
    ui::TPrintDialog& printDialog_;
    int saveFilterIndex_ = 1;
};
