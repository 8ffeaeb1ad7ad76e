// The captures of the main window: each becomes the current picture as one
// step of the history, the picture commands are refreshed, the full-screen and
// active-window captures are counted in their status labels, and each is saved
// and copied by itself where the user has set that up. A delay, where one is
// set, counts down before any of them, however it was started.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/HotKeys.h"
#include "capture/Pointer.h"
#include "commandline/command_message.h"
#include "imaging/pixel_view.h"

class AfterCapture;
class CaptureOptions;
class History;
class TCaptureForm;
class TScreenOverlay;
class TMAIN;
namespace ui {
class TBitmap;
class TControl;
class TTimer;
}  // namespace ui

// What a recording asked for by a command sets: its length, rate and pointer,
// and where it is saved (without one, the preview opens as after Stop).
struct RecordingRequest {
    std::optional<int> seconds, rate;
    std::optional<bool> pointer;
    std::optional<std::string> file;  // UTF-8: a GIF, or with `mp4` an MP4
    bool mp4 = false, copy = false;
};
// How it ended: 0 kept, 1 cancelled or dropped, 3 failed; and what to say.
struct RecordingResult {
    int code = 1;
    std::string said;
};

class CaptureCommands {
  public:
    struct Counters {
        ui::TControl& fullScreen;
        ui::TControl& activeWindow;
    };
    // `poll` is the timer of the hot-key poll.
    CaptureCommands(TMAIN& main, History& history, ui::TTimer& poll, Counters counters,
                    CaptureOptions& options, HotKeys& keys, AfterCapture& after)
        : main_(main),
          history_(history),
          poll_(poll),
          counters_(counters),
          options_(options),
          keys_(keys),
          after_(after) {}

    // Runs a capture after the delay; the same capture's key pressed during the
    // countdown cancels it.
    void Start(Capture capture);
    // One tick of the hot-key poll: the capture of a key pressed since the last.
    void Poll();
    // Pins the current picture to the screen where it was taken from, while it
    // has the size it was taken in, or else by the pointer.
    void Pin(const glimra::PixelView& picture) const;
    // A capture asked for by a command, without its delay: `pointer` in place
    // of the setting where given, and for the selection a rectangle of screen
    // pixels in place of the overlay. True when it took a picture (nothing is
    // taken when the user cancels an overlay, or no window is in front). A
    // recording is not run here.
    bool RunForCommand(Capture capture, std::optional<bool> pointer,
                       const std::optional<RECT>& rectangle);
    // A picture file opened by a command becomes the current picture, one step
    // of the history, as a capture does (but counted as none, and neither saved
    // nor copied by itself). False, with the reason, when it cannot be read.
    bool Open(const std::wstring& path, std::string& failure);
    // A picture opened, dropped or pasted becomes the current picture in the same
    // way: one step of the history, counted as no capture.
    void TakeOpened(ui::TBitmap& picture);
    // A recording asked for by a command: of `area` (screen pixels), or of what
    // the recorder's overlay picks.
    RecordingResult RecordForCommand(const std::optional<RECT>& area,
                                     const RecordingRequest& request);
    // Runs on each new capture before it becomes the current picture, within the
    // capture's step: the effects chosen for every capture. The pointer, where
    // the capture has it, stands at `origin` of the screen; where the effects
    // move the capture's pixels, it draws it into them and leaves none.
    std::function<void(ui::TBitmap& picture, std::optional<PointerImage>& pointer, POINT origin)>
        prepare;
    // Reads the text of the area that "Text from Region" took (its place on the
    // screen given).
    std::function<void(const glimra::PixelView& area, RECT place)> readText;
    // The same for a command: the text, or why there is none, as its answer.
    std::function<glimra::CommandAnswer(const glimra::PixelView& area, RECT place)>
        readTextForCommand;
    // The text of `area` (screen pixels), or of the area dragged on F9's overlay
    // when none is given, read for a command.
    glimra::CommandAnswer TextForCommand(const std::optional<RECT>& area);

  private:
    void Run(Capture capture);
    void Desktop();
    void ActiveWindow();
    void AllDisplays();
    // The overlay on the frozen screen: a dragged rectangle, or the window or
    // control pointed at.
    void Selection();
    void WindowOrControl();
    // The last selection's rectangle again, from the screen as it is now.
    void LastRegion();
    // The window pointed at in the picker's overlay, scrolled through to its end.
    void Scrolling();
    // The screen recorded: the area dragged in the selection overlay (or the
    // window or display its keys pick), recorded live until it is stopped, then
    // previewed, trimmed and saved.
    void Record();
    // F9's overlay; the dragged area's text is read (readText), and the
    // current picture stays as it was.
    void TextFromRegion();
    // The recorder's overlay: its pick keys, and the adjustable band where set.
    void PrepareRecordingOverlay(TCaptureForm& overlay) const;
    // Records `area` until it is stopped, cancelled or its time is up; then
    // saves it where the request says, or opens the preview.
    RecordingResult RecordAndKeep(RECT area, const RecordingRequest& request);
    // Hides the main window, runs `grab` and brings the window back. With the
    // shutter, its sound comes first; without, the windows that the main window
    // covered paint themselves first.
    template <class Grab>
    void Hidden(bool shutter, Grab grab);
    // While one stands, the main window is minimised and the hot keys' poll is
    // off; afterwards both come back.
    class OutOfTheWay {
      public:
        explicit OutOfTheWay(CaptureCommands& commands);
        ~OutOfTheWay();
        OutOfTheWay(const OutOfTheWay&) = delete;
        OutOfTheWay& operator=(const OutOfTheWay&) = delete;

      private:
        CaptureCommands& commands_;
    };
    // Runs an overlay form modally with the hot keys off and the main window
    // minimised; `prepare` sets it up before it is shown, `picked` then takes
    // the picture.
    template <class Overlay, class Picked, class Prepare = void (*)(Overlay&)>
    void RunOverlay(
        Picked picked, Prepare prepare = [](Overlay&) {});
    // The area dragged on F9's overlay for its text, and its place on the screen;
    // nothing when none was dragged.
    std::unique_ptr<ui::TBitmap> PickTextArea(RECT& place);
    // The capture, taken from `origin` of the screen, becomes the current picture,
    // with the pointer over it where it has one.
    void Take(ui::TBitmap& picture, POINT origin,
              std::optional<PointerImage> pointer = std::nullopt);
    // The pointer where the option or the command wants it: as it stands now, or
    // as it stood when the overlay froze the screen.
    std::optional<PointerImage> PointerNow() const;
    std::optional<PointerImage> PointerOf(TScreenOverlay& overlay) const;

    TMAIN& main_;
    History& history_;
    ui::TTimer& poll_;
    Counters counters_;
    CaptureOptions& options_;
    HotKeys& keys_;
    AfterCapture& after_;
    POINT origin_{};
    SIZE size_{};
    bool recording_ = false;
    int taken_ = 0;                        // pictures taken so far
    std::optional<bool> pointerOverride_;  // a command's choice over the setting
};
