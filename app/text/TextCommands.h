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
#include <optional>
#include <string>

#include "app/NamedHandlers.h"
#include "app/text/TextEngines.h"
#include "commandline/command_message.h"
#include "imaging/pixel_view.h"
#include "ocr/recognise.h"

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
    // The text goes to the clipboard and into a window that shows it; a failure
    // or no text found says so in a message.
    void Read(const glimra::PixelView& picture, RECT place);
    // The same for a command: the text copied and in the answer, without a
    // window or a message.
    glimra::CommandAnswer ReadForCommand(const glimra::PixelView& picture, RECT place);
    // The items of "Text Recognition" in the "Config" menu; they reach the
    // commands through `commands` when they run, so that they can be registered
    // before the commands exist.
    static NamedHandlers Handlers(const std::unique_ptr<TextCommands>& commands);
    void ShowChoice();
    void Choose(TextEngineChoice choice);

  private:
    struct Outcome {
        glimra::ocr::Reading reading;
        std::string unavailable;  // why no engine could read
        std::string failed;       // an error while reading
        std::string text;         // the lines read, joined by CR LF, and copied
        std::string said;         // how many lines were read and copied
    };
    std::optional<Outcome> ReadNow(const glimra::PixelView& picture, RECT place);

    ui::TForm& main_;
    ui::TControl& status_;
    std::function<std::string()> language_;
    TextEngines engines_;
    TextEngineChoice choice_;
    bool reading_ = false;
};
