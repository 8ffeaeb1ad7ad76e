// The picture commands: enabled while there is a picture, by a refresh that the
// captures and Clear start (the timer isjunkt runs it once at its next tick).
#pragma once

#include <vector>

namespace ui {
class TControl;
class TForm;
class TMenuItem;
}  // namespace ui

class CommandAvailability {
  public:
    // The controls and menu items that need a picture: the picture commands, and
    // Pixelate and the editor's tools, which need one as the brush does.
    static constexpr const char* kPictureCommands[] = {
        "ButtonBrush",      "ButtonSave",          "ButtonClear",
        "ButtonPrint",      "MenuSaveAs",          "MenuPrint",
        "MenuCopy",         "MenuGrayscale",       "MenuBrighten",
        "MenuDarken",       "MenuInvert",          "MenuRotate",
        "ButtonEditCopy",   "ButtonEditGrayscale", "ButtonEditBrighten",
        "ButtonEditDarken", "ButtonEditInvert",    "ButtonEditRotate",
        "ButtonPixelate",   "MenuPixelate",        "ButtonTools",
        "MenuCrop",         "MenuRectangle",       "MenuEllipse",
        "MenuLine",         "MenuArrow",           "MenuHighlighter",
        "MenuText",         "MenuStepNumber",      "MenuPin",
        "MenuCopyText",     "MenuTextArea",
    };

    explicit CommandAvailability(ui::TForm& window);
    void Refresh(bool havePicture);

  private:
    std::vector<ui::TControl*> controls_;
    std::vector<ui::TMenuItem*> items_;
};
