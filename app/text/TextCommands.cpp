#include "app/text/TextCommands.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <vector>

#include "app/ScrollingProgress.h"
#include "app/text/TextResultWindow.h"
#include "commandline/command_line.h"
#include "ocr/recognise.h"
#include "output/windows/clipboard_copy.h"
#include "ui/TApplication.h"
#include "ui/TForm.h"
#include "ui/TMenuItem.h"
#include "win/Utf8.h"

namespace {

// The picture's pixels, copied: the picture may change while it is read.
struct PixelCopy {
    std::vector<std::uint8_t> bytes;
    glimra::PixelView view;

    explicit PixelCopy(const glimra::PixelView& from) {
        const std::size_t row = std::size_t(from.width) * from.bytesPerPixel;
        bytes.resize(row * std::size_t(from.height));
        for (int y = 0; y < from.height; ++y)
            std::memcpy(bytes.data() + row * std::size_t(y), from.Row(y), row);
        view = {bytes.data(), from.width, from.height, std::ptrdiff_t(row), from.bytesPerPixel};
    }
};

// The engines' reasons are UTF-8.
void Tell(const std::string& text, UINT icon) {
    ::MessageBoxW(nullptr, win::WideFrom(CP_UTF8, text).c_str(), L"Text Recognition",
                  MB_OK | icon | MB_SETFOREGROUND);
}

const struct {
    const char* item;
    TextEngineChoice choice;
} kChoiceItems[] = {
    {"MenuTextAutomatic", TextEngineChoice::Automatic},
    {"MenuTextWindows", TextEngineChoice::Windows},
    {"MenuTextBuiltIn", TextEngineChoice::BuiltIn},
};

}  // namespace

TextCommands::TextCommands(ui::TForm& main, ui::TControl& status,
                           std::function<std::string()> language)
    : main_(main), status_(status), language_(std::move(language)), choice_(StoredTextEngine()) {}

TextCommands::~TextCommands() = default;

NamedHandlers TextCommands::Handlers(const std::unique_ptr<TextCommands>& commands) {
    NamedHandlers handlers;
    for (const auto& c : kChoiceItems)
        handlers.push_back(
            {std::string(c.item) + "Click", [&commands, choice = c.choice](ui::TObject*) {
                 if (commands) commands->Choose(choice);
             }});
    return handlers;
}

void TextCommands::Choose(TextEngineChoice choice) {
    choice_ = choice;
    StoreTextEngine(choice);
    ShowChoice();
}

void TextCommands::ShowChoice() {
    for (const auto& c : kChoiceItems)
        main_.Get<ui::TMenuItem>(c.item).SetChecked(c.choice == choice_);
}

// The reading on a thread of its own while the window goes on; the waiting window
// beside `place` takes Escape. Nothing when a reading runs already.
std::optional<TextCommands::Outcome> TextCommands::ReadNow(const glimra::PixelView& picture,
                                                           RECT place) {
    // One reading at a time: a second command meanwhile is dropped.
    if (reading_ || picture.Empty()) return std::nullopt;
    reading_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{reading_};
    const PixelCopy pixels(picture);
    const std::string language = language_();
    const TextEngineChoice choice = choice_;
    std::atomic<bool> cancel{false}, finished{false};
    Outcome outcome;
    engines_.Hold();
    {
        ScrollingProgress waiting(place);
        waiting.Say("Reading the text... Esc cancels.");
        std::thread reader([&] {
            std::unique_ptr<glimra::ocr::Engine> windows;
            try {
                if (glimra::ocr::Engine* engine =
                        engines_.Open(choice, language, windows, outcome.unavailable))
                    outcome.reading = glimra::ocr::Recognise(pixels.view, *engine, cancel);
            } catch (const std::exception& e) {
                outcome.failed = e.what();
            }
            windows.reset();
            finished = true;
        });
        while (!ui::Application->HandleMessagesUntil(
            [&] {
                if (waiting.Stopped()) cancel = true;
                return finished.load();
            },
            1000)) {
        }
        reader.join();
    }
    engines_.Used();
    if (outcome.failed.empty() && outcome.unavailable.empty() && !outcome.reading.cancelled &&
        !outcome.reading.lines.empty()) {
        for (const std::string& line : outcome.reading.lines)
            outcome.text += (outcome.text.empty() ? "" : "\r\n") + line;
        const int count = int(outcome.reading.lines.size());
        const std::string read =
            std::to_string(count) + (count == 1 ? " line" : " lines") + " read";
        try {
            glimra::CopyTextToClipboard(main_.Handle(), win::WideFrom(CP_UTF8, outcome.text));
            status_.SetCaption(read + " and copied.");
            outcome.said = read;
        } catch (const std::exception& e) {
            status_.SetCaption(read + "; " + e.what());
            outcome.said = read + "; " + e.what();
        }
    }
    return outcome;
}

void TextCommands::Read(const glimra::PixelView& picture, RECT place) {
    const std::optional<Outcome> outcome = ReadNow(picture, place);
    if (!outcome) return;
    if (!outcome->unavailable.empty()) return Tell(outcome->unavailable, MB_ICONWARNING);
    if (!outcome->failed.empty())
        return Tell("The text could not be read: " + outcome->failed, MB_ICONWARNING);
    if (outcome->reading.cancelled) {
        status_.SetCaption("Text recognition cancelled.");
        return;
    }
    if (outcome->reading.lines.empty()) {
        status_.SetCaption("No text found.");
        return Tell("No text was found in this picture. The clipboard is left as it was.",
                    MB_ICONINFORMATION);
    }
    ShowTextResult(win::WideFrom(CP_UTF8, outcome->text),
                   outcome->said + ". Correct the text here and copy it again.");
}

glimra::CommandAnswer TextCommands::ReadForCommand(const glimra::PixelView& picture, RECT place) {
    const std::optional<Outcome> outcome = ReadNow(picture, place);
    if (!outcome) return {glimra::kExitFailed, "--text: a reading runs already"};
    if (!outcome->unavailable.empty()) return {glimra::kExitFailed, outcome->unavailable};
    if (!outcome->failed.empty())
        return {glimra::kExitFailed, "the text could not be read: " + outcome->failed};
    if (outcome->reading.cancelled) return {glimra::kExitCancelled, "cancelled: no text was read"};
    if (outcome->reading.lines.empty())
        return {glimra::kExitFailed, "no text was found; the clipboard is left as it was"};
    return {glimra::kExitDone, outcome->text};
}
