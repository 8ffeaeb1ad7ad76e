// Which tool the mouse on the picture works with, as the buttons and menus show
// it: the brush and Pixelate (buttons of one group), the editor's tools (radio
// items of the Edit menu, the picture's menu and the tools' drop-down), or
// panning when none is chosen. Also the tools' colour, width and font items.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "app/editor/BrushTool.h"
#include "app/editor/EditorTools.h"
#include "app/NamedHandlers.h"

class PictureTools;
namespace ui {
class TForm;
}

class ToolChoice {
  public:
    ToolChoice(ui::TForm& window, PictureTools& tools, const BrushSettings& brush,
               EditorState& editor)
        : window_(window), tools_(tools), brush_(brush), editor_(editor) {}

    // The handlers of the editor tools' items and of the colour, width and font
    // items, for the layout's bindings; they reach the choice through `choice`
    // when they run, so that they can be registered before it exists.
    static NamedHandlers Handlers(const std::unique_ptr<ToolChoice>& choice);
    // The check marks of the colour and width items as the settings are.
    void ShowSettings();

    // The brush's or Pixelate's button was clicked: its tool while it is down.
    void BrushClicked();
    void PixelateClicked();
    // ButtonTools: the last editor tool chosen again (Rectangle at first).
    void RepeatClicked();
    // A key for the tools while the main window is active and no text is being
    // typed: a tool's letter, B and P, or Escape back to panning. True when used.
    bool Key(const MSG& msg);

  private:
    void Choose(const EditorTool& tool);
    // The objects selected take a changed colour, width or font, as one step.
    void Restyle(const std::function<void(MarkObject&)>& change);
    void SetColour(glimra::Colour colour);
    void ChooseCustomColour();
    void SetWidth(int width);
    void ChooseToolFont();
    void Pan();
    // The editor tools' items checked for `chosen` only (none: nullptr).
    void Check(const EditorTool* chosen);
    void SetButton(const char* name, bool down);

    ui::TForm& window_;
    PictureTools& tools_;
    const BrushSettings& brush_;
    EditorState& editor_;
    const EditorTool* last_ = &kEditorTools[1];
    bool panning_ = true;
};
