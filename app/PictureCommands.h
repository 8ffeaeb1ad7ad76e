// The commands that change the whole picture: the edits, the rotations and flips
// (which ButtonEditRotate then names and repeats), Clear, Undo and Redo. Each
// change is one step of the history.
#pragma once

#include <functional>
#include <string>
#include <vector>

class CurrentPicture;
class History;
namespace ui {
class TForm;
class TMenuItem;
class TToolButton;
}  // namespace ui

// The degree sign of the rotate captions (Windows-1252).
inline constexpr char kDegreeSign = '\xB0';
// Puts the degree sign after the rotate captions of the window's picture and
// drop-down menus and of ButtonEditRotate ("90").
void AddDegreeSigns(ui::TForm& window);

class PictureCommands {
  public:
    // `refresh` starts the refresh of the picture commands. The undo and redo
    // items of the window's menus are enabled while there is a step to take, and
    // its ButtonEditRotate names and repeats the last rotate or flip.
    PictureCommands(ui::TForm& window, CurrentPicture& picture, History& history,
                    std::function<void()> refresh);

    void Grayscale();
    void Brighten();
    void Darken();
    void Invert();
    void Rotate90();
    void Rotate180();
    void FlipVertical();
    void FlipHorizontal();
    void Clear();
    void Undo();
    void Redo();

  private:
    // Runs an edit of the picture as one step of the history: an edit that
    // `inverse` takes back exactly keeps nothing when the picture is already in
    // 24 bits; any other keeps the picture before (without a copy when the edit
    // gives the picture a new bitmap).
    void Edit(const std::function<void()>& edit, const std::function<void()>& inverse = nullptr);
    // Runs a rotate or flip and makes the repeat button name and repeat it; a
    // rotation relabels the button also when it fails.
    void RotateOrFlip(void (PictureCommands::*command)(), const std::string& caption,
                      int imageIndex, bool relabelOnError, const std::function<void()>& edit);
    // Takes a step of the history (Undo or Redo).
    void Step(void (History::*step)());
    void HistoryChanged();

    CurrentPicture& picture_;
    History& history_;
    ui::TToolButton& repeatButton_;
    std::function<void()> refresh_;
    std::vector<ui::TMenuItem*> undoItems_, redoItems_;
};
