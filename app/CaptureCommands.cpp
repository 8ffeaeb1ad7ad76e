#include "app/CaptureCommands.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AfterCapture.h"
#include "app/CaptureOptions.h"
#include "app/Countdown.h"
#include "app/History.h"
#include "app/PictureIntake.h"
#include "app/PinWindow.h"
#include "app/RecordingIcon.h"
#include "app/RecordingPreview.h"
#include "app/RecordingSave.h"
#include "app/RecordingSession.h"
#include "app/ScrollingCapture.h"
#include "app/Shutter.h"
#include "app/Statistics.h"
#include "app/Unit3.h"
#include "capture/Displays.h"
#include "capture/Foreground.h"
#include "capture/Pointer.h"
#include "capture/ScrnCap.h"
#include "capture/capture2.h"
#include "capture/capture3.h"
#include "commandline/command_line.h"
#include "output/windows/clipboard_copy.h"
#include "ui/TApplication.h"
#include "ui/TTimer.h"
#include "ui/TTrayIcon.h"
#include "win/Utf8.h"

void CaptureCommands::Take(ui::TBitmap& picture, POINT origin,
                           std::optional<PointerImage> pointer) {
    ++taken_;
    origin_ = origin;
    if (prepare) prepare(picture, pointer, origin);
    size_ = {picture.Width(), picture.Height()};
    history_.Replace(picture);
    main_.NewCapture(std::move(pointer), origin);
    after_.Run(main_.Picture());
}

std::optional<PointerImage> CaptureCommands::PointerNow() const {
    if (!pointerOverride_.value_or(options_.CapturePointer())) return std::nullopt;
    return PointerImage::Now();
}

std::optional<PointerImage> CaptureCommands::PointerOf(TScreenOverlay& overlay) const {
    if (!pointerOverride_.value_or(options_.CapturePointer())) return std::nullopt;
    return overlay.TakePointer();
}

void CaptureCommands::Pin(const glimra::PixelView& picture) const {
    POINT at = origin_;
    if (picture.width != size_.cx || picture.height != size_.cy) ::GetCursorPos(&at);
    PinPicture(picture, at);
}

void CaptureCommands::Start(Capture capture) {
    // One capture at a time: while a recording runs or waits in its preview, the
    // others are not started, and the tray's balloon says why.
    if (recording_) {
        ui::TTrayIcon& tray = main_.Get<ui::TTrayIcon>("TrayIcon1");
        tray.SetBalloonTitle("Glimra is recording the screen");
        tray.SetBalloonHint("Stop the recording, or close its preview, to take another capture.");
        tray.SetBalloonFlags(ui::TBalloonFlags::bfInfo);
        tray.ShowBalloonHint();
        return;
    }
    const int delay = options_.Delay();
    if (delay > 0) {
        // The poll waits meanwhile, so that the key cancels rather than starts.
        poll_.SetEnabled(false);
        keys_.Drop();
        const bool ran = RunCountdown(delay, [&] { return keys_.PressedAgain(capture); });
        keys_.Drop();
        poll_.SetEnabled(true);
        if (!ran) return;
        // The countdown's window leaves the screen before anything is taken.
        ui::Application->HandleMessagesUntil(nullptr, 100);
    }
    Run(capture);
}

bool CaptureCommands::RunForCommand(Capture capture, std::optional<bool> pointer,
                                    const std::optional<RECT>& rectangle) {
    if (recording_ || capture == Capture::Recording) return false;
    const int before = taken_;
    pointerOverride_ = pointer;
    struct Reset {
        std::optional<bool>& pointer;
        ~Reset() { pointer.reset(); }
    } reset{pointerOverride_};
    if (rectangle) {
        const RECT r = *rectangle;
        Hidden(false, [&](ui::TBitmap& picture) {
            picture.Take(*GrabScreenRect(r));
            return POINT{r.left, r.top};
        });
        options_.SetLastRegion(r);
        main_.StartCommandRefresh();
    } else {
        Run(capture);
    }
    // The window in front may have given an empty picture: nothing taken.
    return taken_ > before && !main_.Picture().Empty();
}

void CaptureCommands::Run(Capture capture) {
    switch (capture) {
        case Capture::Desktop:
            return Desktop();
        case Capture::ActiveWindow:
            return ActiveWindow();
        case Capture::Selection:
            return Selection();
        case Capture::WindowOrControl:
            return WindowOrControl();
        case Capture::AllDisplays:
            return AllDisplays();
        case Capture::LastRegion:
            return LastRegion();
        case Capture::Scrolling:
            return Scrolling();
        case Capture::Recording:
            return Record();
        case Capture::TextFromRegion:
            return TextFromRegion();
    }
}

template <class Grab>
void CaptureCommands::Hidden(bool shutter, Grab grab) {
    auto temporary = std::make_unique<ui::TBitmap>();
    const DWORD hiddenAt = ::GetTickCount();
    main_.Hide();
    // The window comes back whatever happens in between: shown, which also
    // brings it to the front where the system lets the program take the
    // foreground, and taken to the front where it does not.
    struct Back {
        TMAIN& main;
        ~Back() {
            main.Show();
            TakeForeground(main.Handle());
        }
    } back{main_};
    if (shutter)
        PlayShutter(hiddenAt);
    else
        ui::Application->HandleMessagesUntil(nullptr, 250);
    const POINT origin = grab(*temporary);
    Take(*temporary, origin, PointerNow());
}

void CaptureCommands::Desktop() {
    Hidden(true, [](ui::TBitmap& picture) {
        GrabScreen(0, picture);
        return POINT{0, 0};
    });
    main_.StartCommandRefresh();
    counters_.fullScreen.SetCaption(NextCount(counters_.fullScreen.Caption()));
}

void CaptureCommands::AllDisplays() {
    Hidden(true, [](ui::TBitmap& picture) {
        GrabAllDisplays(picture);
        const RECT screen = VirtualScreen();
        return POINT{screen.left, screen.top};
    });
    main_.StartCommandRefresh();
    counters_.fullScreen.SetCaption(NextCount(counters_.fullScreen.Caption()));
}

void CaptureCommands::ActiveWindow() {
    // Shown and in front first, so that hiding it hands the foreground to the
    // window that was under it: that one is grabbed.
    main_.Show();
    main_.BringToFront();
    Hidden(true, [](ui::TBitmap& picture) {
        const RECT area = WindowArea(::GetForegroundWindow());
        GrabScreen(-1, picture);
        return POINT{area.left, area.top};
    });
    main_.StartCommandRefresh();
    counters_.activeWindow.SetCaption(NextCount(counters_.activeWindow.Caption()));
}

void CaptureCommands::LastRegion() {
    const std::optional<RECT> region = options_.LastRegion();
    if (!region) return Selection();
    Hidden(false, [&](ui::TBitmap& picture) {
        picture.Take(*GrabScreenRect(*region));
        return POINT{region->left, region->top};
    });
    main_.StartCommandRefresh();
}

CaptureCommands::OutOfTheWay::OutOfTheWay(CaptureCommands& commands) : commands_(commands) {
    commands_.poll_.SetEnabled(false);
    ui::Application->Minimize();
    ::Sleep(300);
}

CaptureCommands::OutOfTheWay::~OutOfTheWay() {
    // On every path: the window comes back, the commands are refreshed and the
    // hot keys work again. A hot key pressed meanwhile is dropped: it must not
    // start a capture of its own once this one has ended.
    ui::Application->Restore();
    commands_.main_.StartCommandRefresh();
    commands_.keys_.Drop();
    commands_.poll_.SetEnabled(true);
}

template <class Overlay, class Picked, class Prepare>
void CaptureCommands::RunOverlay(Picked picked, Prepare prepare) {
    // The overlay goes first, then the window comes back.
    OutOfTheWay aside(*this);
    std::unique_ptr<Overlay, ui::FreeComponent> overlay(ui::TForm::Make<Overlay>(ui::Application));
    prepare(*overlay);
    if (overlay->ShowModal() == ui::mrOk) picked(*overlay);
}

void CaptureCommands::Selection() {
    const auto adjustable = [this](TCaptureForm& overlay) {
        overlay.Adjustable = options_.AdjustSelection();
    };
    RunOverlay<TCaptureForm>(
        [this](TCaptureForm& overlay) {
            const RECT r = overlay.SelRect;
            if (r.left > r.right || r.top > r.bottom) {
                ::MessageBoxA(nullptr, "Error selecting rectangle, try again!", "Information",
                              MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
                return;
            }
            // A click without a drag selects nothing: the picture stays as it was.
            if (r.left == r.right || r.top == r.bottom) return;
            options_.SetLastRegion(r);
            Take(*overlay.FrozenPart(r), {r.left, r.top}, PointerOf(overlay));
        },
        adjustable);
}

void CaptureCommands::WindowOrControl() {
    RunOverlay<TCaptureControl>([this](TCaptureControl& overlay) {
        // The overlay goes first, so that the window found is the one below it;
        // its area is cut from the frozen image the user pointed at.
        overlay.Hide();
        POINT p;
        ::GetCursorPos(&p);
        const RECT area = WindowArea(::WindowFromPoint(p));
        Take(*overlay.FrozenPart(area), {area.left, area.top}, PointerOf(overlay));
    });
}

void CaptureCommands::Scrolling() {
    RunOverlay<TCaptureControl>([this](TCaptureControl& overlay) {
        overlay.Hide();
        POINT p;
        ::GetCursorPos(&p);
        ScrollingResult taken = CaptureScrolling(ScrollableAt(p), !options_.ScrollFromCurrent());
        if (!taken.picture) {
            ::MessageBoxA(nullptr, taken.failure.c_str(), "Scrolling Window",
                          MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
            return;
        }
        Take(*taken.picture, taken.origin);
        const std::string said =
            taken.ended + (taken.ended.empty() || taken.place.empty() ? "" : " ") + taken.place;
        if (!said.empty()) main_.Get<ui::TControl>("info").SetCaption(said);
    });
}

namespace {

// What the recorder's overlay picked: the band dragged, the window under the
// pointer (found once the overlay is hidden, as the picker finds it) or the
// display under it; nothing for a click without a drag.
std::optional<RECT> RecordingArea(TCaptureForm& overlay) {
    overlay.Hide();
    switch (overlay.Picked) {
        case TCaptureForm::Pick::Window:
            return WindowArea(::WindowFromPoint(overlay.PickedAt));
        case TCaptureForm::Pick::Display:
            return DisplayAt(overlay.PickedAt).area;
        case TCaptureForm::Pick::Band:
            break;
    }
    const RECT r = overlay.SelRect;
    const RECT area{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                    std::max(r.top, r.bottom)};
    if (area.left == area.right || area.top == area.bottom) return std::nullopt;
    return area;
}

}  // namespace

void CaptureCommands::Record() {
    RunOverlay<TCaptureForm>(
        [this](TCaptureForm& overlay) {
            const std::optional<RECT> area = RecordingArea(overlay);
            if (!area || area->left >= area->right || area->top >= area->bottom) return;
            main_.Get<ui::TControl>("info").SetCaption(RecordAndKeep(*area, {}).said);
        },
        [this](TCaptureForm& overlay) { PrepareRecordingOverlay(overlay); });
}

std::unique_ptr<ui::TBitmap> CaptureCommands::PickTextArea(RECT& place) {
    std::unique_ptr<ui::TBitmap> area;
    RunOverlay<TCaptureForm>(
        [&](TCaptureForm& overlay) {
            const RECT r = overlay.SelRect;
            place = {std::min(r.left, r.right), std::min(r.top, r.bottom),
                     std::max(r.left, r.right), std::max(r.top, r.bottom)};
            if (place.left == place.right || place.top == place.bottom) return;
            area = overlay.FrozenPart(place);
        },
        [this](TCaptureForm& overlay) { overlay.Adjustable = options_.AdjustSelection(); });
    return area;
}

void CaptureCommands::TextFromRegion() {
    RECT place{};
    const std::unique_ptr<ui::TBitmap> area = PickTextArea(place);
    // Read once the main window is back, which the result window then stands before.
    if (area && readText) readText(area->View(), place);
}

glimra::CommandAnswer CaptureCommands::TextForCommand(const std::optional<RECT>& area) {
    RECT place{};
    std::unique_ptr<ui::TBitmap> part;
    if (area) {
        // As for the overlay: the main window out of the way while the screen is read.
        OutOfTheWay aside(*this);
        place = *area;
        part = GrabScreenRect(place);
    } else {
        part = PickTextArea(place);
    }
    if (!part || part->Empty()) return {glimra::kExitCancelled, "cancelled: no area was dragged"};
    if (!readTextForCommand) return {glimra::kExitFailed, "text recognition is not available"};
    return readTextForCommand(part->View(), place);
}

bool CaptureCommands::Open(const std::wstring& path, std::string& failure) {
    std::unique_ptr<ui::TBitmap> picture = ReadPictureFile(path, failure);
    if (!picture) return false;
    TakeOpened(*picture);
    return true;
}

void CaptureCommands::TakeOpened(ui::TBitmap& picture) {
    origin_ = {0, 0};
    size_ = {picture.Width(), picture.Height()};
    history_.Replace(picture);
    main_.NewCapture(std::nullopt, {});
    main_.StartCommandRefresh();
}

void CaptureCommands::PrepareRecordingOverlay(TCaptureForm& overlay) const {
    overlay.PickKeys = true;
    overlay.Adjustable = options_.AdjustSelection();
}

RecordingResult CaptureCommands::RecordForCommand(const std::optional<RECT>& area,
                                                  const RecordingRequest& request) {
    if (recording_) return {3, "a recording runs already"};
    RecordingResult result{1, "cancelled: nothing was recorded"};
    if (!area) {
        RunOverlay<TCaptureForm>(
            [&](TCaptureForm& overlay) {
                const std::optional<RECT> picked = RecordingArea(overlay);
                if (picked && picked->left < picked->right && picked->top < picked->bottom)
                    result = RecordAndKeep(*picked, request);
            },
            [this](TCaptureForm& overlay) { PrepareRecordingOverlay(overlay); });
        return result;
    }
    // As for the overlay: the main window out of the way, the keys' poll off.
    OutOfTheWay aside(*this);
    return RecordAndKeep(*area, request);
}

RecordingResult CaptureCommands::RecordAndKeep(RECT area, const RecordingRequest& request) {
    // Until the preview closes, other captures are refused (Start).
    struct Busy {
        bool& flag;
        ui::TTrayIcon& tray;
        const std::string tip;
        ~Busy() {
            flag = false;
            tray.SetIcon("MAINICON");
            tray.SetHint(tip);
        }
    } busy{recording_, main_.Get<ui::TTrayIcon>("TrayIcon1"),
           main_.Get<ui::TTrayIcon>("TrayIcon1").Hint()};
    recording_ = true;
    try {
        keys_.Drop();
        // The tray's icon and tip say that a recording runs.
        busy.tray.SetIconHandle(RecordingIcon(busy.tray.IconHandle()));
        busy.tray.SetHint("Glimra: recording the screen");
        const ULONGLONG deadline =
            request.seconds ? ::GetTickCount64() + ULONGLONG(*request.seconds) * 1000 : 0;
        Recording recording =
            RecordArea(area, request.rate.value_or(options_.RecordingRate()),
                       request.pointer.value_or(options_.RecordPointer()),
                       {options_.RecordingMinutes(), options_.RecordingFreeMegabytes()}, [&] {
                           return keys_.PressedAgain(Capture::Recording) ||
                                  (deadline && ::GetTickCount64() >= deadline);
                       });
        busy.tray.SetIcon("MAINICON");
        busy.tray.SetHint(busy.tip);
        const ScreenRecorder::Summary& s = recording.summary;
        const std::string ended =
            !s.failure.empty() ? "The recording ended early: " + s.failure : recording.limit;
        // A recording saved by a command goes on without a box to answer.
        if (!ended.empty() && !request.file)
            ::MessageBoxA(nullptr, ended.c_str(), "Record Screen",
                          MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
        if (!recording.frames) return {1, "The recording was cancelled."};
        std::string length = std::to_string(s.frames) + " frames in " +
                             std::to_string(s.milliseconds / 1000) + "." +
                             std::to_string(s.milliseconds % 1000 / 100) + " s";
        if (s.dropped > 0) length += ", " + std::to_string(s.dropped) + " dropped";
        if (!ended.empty()) length += "; " + ended;
        if (!request.file) {
            const PreviewResult kept =
                PreviewRecording(*recording.frames, s.milliseconds, options_.Saving().folder,
                                 options_.Saving().name);
            return {kept.saved ? 0 : 1, kept.said + " " + length + "."};
        }
        RecordingFrames& frames = *recording.frames;
        const std::wstring file = win::WideFrom(CP_UTF8, *request.file);
        if (!WriteRecording(frames, 0, frames.Count() - 1, s.milliseconds, file, request.mp4))
            return {3, "this Windows has no H.264 encoder for MP4; save the recording as a .gif"};
        std::string said = "recording saved to " + *request.file + " (" + length + ")";
        if (request.copy) {
            glimra::CopyFileToClipboard(main_.Handle(), file);
            said += ", copied as a file";
        }
        return {0, said};
    } catch (const std::exception& e) {
        if (!request.file)
            ::MessageBoxA(nullptr, e.what(), "Record Screen",
                          MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
        return {3, e.what()};
    }
}

void CaptureCommands::Poll() {
    // While one of the program's own dialogs or message boxes is open, a command
    // is still waiting on it: presses are taken and dropped.
    if (OwnDialogOpen()) {
        keys_.Drop();
        return;
    }
    const std::optional<Capture> pressed = keys_.Poll();
    if (!pressed) return;
    Start(*pressed);
    // The window captures show the main window again when they end.
    if (*pressed == Capture::ActiveWindow || *pressed == Capture::WindowOrControl)
        main_.ShowMainWindow();
}
