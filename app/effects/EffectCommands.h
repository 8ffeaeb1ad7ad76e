// The Effects submenu of the Edit menu and of the picture's menu: each effect asks
// its values in a dialog of its own (with the background colour and "Apply to
// every capture", which all share), stores them, and changes the current picture
// in one step of the history. The view shows a picture with alpha over the
// background colour.
#pragma once

#include <windows.h>

#include "app/effects/PictureEffects.h"

class CurrentPicture;
class History;
class ToolSettings;
namespace ui {
class TForm;
}

// The dialog of `effect` over `owner`, showing `choices`; true when OK took new
// ones into `choices` (not yet stored).
bool EditEffect(HWND owner, Effect effect, EffectChoices& choices);

class EffectCommands {
  public:
    EffectCommands(ui::TForm& window, CurrentPicture& picture, History& history,
                   const ToolSettings& tools);

    // The effect's dialog, then the effect on the picture where there is one.
    void Run(Effect effect);
    // A new capture before it becomes the current picture: the effects chosen
    // for every capture, so that they are part of the capture's own step.
    void OnCapture(ui::TBitmap& picture) const;
    // Some effect is chosen for every capture.
    bool FramesEveryCapture() const;

  private:
    // The stored choices, the border in the tools' colour and width of now.
    EffectChoices Choices() const;

    ui::TForm& window_;
    CurrentPicture& picture_;
    History& history_;
    const ToolSettings& tools_;
};
