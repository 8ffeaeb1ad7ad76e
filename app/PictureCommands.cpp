#include "app/PictureCommands.h"

#include "app/CurrentPicture.h"
#include "app/History.h"
#include "app/PictureEdits.h"
#include "imaging/pixel_ops.h"
#include "ui/TForm.h"
#include "ui/TMenuItem.h"
#include "ui/TToolButton.h"

void AddDegreeSigns(ui::TForm& window) {
    for (const char* name :
         {"ImagePopRotate90", "ImagePopRotate180", "PopRotate90", "PopRotate180"}) {
        ui::TMenuItem& item = window.Get<ui::TMenuItem>(name);
        item.SetCaption(item.Caption() + kDegreeSign);
    }
    window.Get<ui::TToolButton>("ButtonEditRotate").SetCaption(std::string("90") + kDegreeSign);
}

PictureCommands::PictureCommands(ui::TForm& window, CurrentPicture& picture, History& history,
                                 std::function<void()> refresh)
    : picture_(picture),
      history_(history),
      repeatButton_(window.Get<ui::TToolButton>("ButtonEditRotate")),
      refresh_(std::move(refresh)),
      undoItems_{&window.Get<ui::TMenuItem>("MenuUndo"),
                 &window.Get<ui::TMenuItem>("ImagePopUndo")},
      redoItems_{&window.Get<ui::TMenuItem>("MenuRedo"),
                 &window.Get<ui::TMenuItem>("ImagePopRedo")} {
    history_.OnChange = [this] { HistoryChanged(); };
}

void PictureCommands::Edit(const std::function<void()>& edit,
                           const std::function<void()>& inverse) {
    if (picture_.Empty()) {
        edit();
        return;
    }
    if (inverse && picture_.View().bytesPerPixel == 3) {
        edit();
        history_.Reversible(inverse, edit);
    } else {
        history_.KeepBefore(edit);
    }
}

void PictureCommands::Grayscale() {
    Edit([this] { GrayscalePicture(picture_); });
}

void PictureCommands::Brighten() {
    Edit([this] { StepPictureBrightness(picture_, glimra::kBrightenStep); });
}

void PictureCommands::Darken() {
    Edit([this] { StepPictureBrightness(picture_, glimra::kDarkenStep); });
}

void PictureCommands::Invert() {
    const auto invert = [this] { InvertPicture(picture_); };
    Edit(invert, invert);
}

void PictureCommands::RotateOrFlip(void (PictureCommands::*command)(), const std::string& caption,
                                   int imageIndex, bool relabelOnError,
                                   const std::function<void()>& edit) {
    const auto relabel = [&] {
        SetRepeatCommand(repeatButton_, caption, imageIndex,
                         [this, command](ui::TObject*) { (this->*command)(); });
    };
    try {
        edit();
    } catch (...) {
        if (relabelOnError) relabel();
        throw;
    }
    relabel();
}

void PictureCommands::Rotate90() {
    RotateOrFlip(&PictureCommands::Rotate90, std::string("90") + kDegreeSign, 5, true, [this] {
        Edit([this] { RotatePicture(picture_, 1); }, [this] { RotatePicture(picture_, 3); });
    });
}

void PictureCommands::Rotate180() {
    const auto half = [this] { RotatePicture(picture_, 2); };
    RotateOrFlip(&PictureCommands::Rotate180, std::string("180") + kDegreeSign, 5, true,
                 [this, half] { Edit(half, half); });
}

void PictureCommands::FlipVertical() {
    const auto flip = [this] { FlipPictureOver(picture_, true, false); };
    RotateOrFlip(&PictureCommands::FlipVertical, "Vertical", 6, false,
                 [this, flip] { Edit(flip, flip); });
}

void PictureCommands::FlipHorizontal() {
    const auto flip = [this] { FlipPictureOver(picture_, false, true); };
    RotateOrFlip(&PictureCommands::FlipHorizontal, "Horizontal", 7, false,
                 [this, flip] { Edit(flip, flip); });
}

void PictureCommands::Clear() {
    ui::TBitmap none;
    history_.Replace(none);
    refresh_();
}

void PictureCommands::Undo() {
    Step(&History::Undo);
}

void PictureCommands::Redo() {
    Step(&History::Redo);
}

void PictureCommands::Step(void (History::*step)()) {
    const bool had = picture_.Available();
    (history_.*step)();
    // A step back to no picture, or from none to one, refreshes the commands.
    if (picture_.Available() != had) refresh_();
}

void PictureCommands::HistoryChanged() {
    for (ui::TMenuItem* undo : undoItems_)
        undo->SetEnabled(history_.CanUndo());
    for (ui::TMenuItem* redo : redoItems_)
        redo->SetEnabled(history_.CanRedo());
}
