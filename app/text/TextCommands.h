// The text recognition commands: "Text from Region" (F9's overlay, then the
// dragged area read) and "Copy Text" (the current picture, or the area the
// "Text Area" tool marks on it). A reading runs on a thread of its own while
// the program goes on; a small window says so and Escape cancels it. The text
// goes to the clipboard as Unicode, lines in reading order, and into the
// result window, where it can be corrected and copied again; the status bar
// says how many lines were read. Nothing found says so and leaves the
// clipboard alone.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "app/NamedHandlers.h"
#include "app/text/TextEngines.h"
#include "imaging/pixel_view.h"

namespace ui {
class TControl;
class TForm;
}  // namespace ui

class TextCommands {
  public:
    // `language` gives the name of Glimra's language when a reading starts.
    TextCommands(ui::TForm& main, ui::TControl& status, std::function<std::string()> language);
    ~TextCommands();

    // Reads `picture`; the waiting window stands beside `place` (screen pixels).
    void Read(const glimra::PixelView& picture, RECT place);
    // The items of "Text Recognition" in the "Config" menu; they reach the
    // commands through `commands` when they run, so that they can be registered
    // before the commands exist.
    static NamedHandlers Handlers(const std::unique_ptr<TextCommands>& commands);
    void ShowChoice();
    void Choose(TextEngineChoice choice);

  private:
    ui::TForm& main_;
    ui::TControl& status_;
    std::function<std::string()> language_;
    TextEngines engines_;
    TextEngineChoice choice_;
    bool reading_ = false;
};
