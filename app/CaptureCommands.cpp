#include "app/CaptureCommands.h"

#include <memory>

#include "app/History.h"
#include "app/Shutter.h"
#include "app/Statistics.h"
#include "app/Unit3.h"
#include "capture/ScrnCap.h"
#include "capture/capture2.h"
#include "capture/capture3.h"
#include "ui/TApplication.h"
#include "ui/TTimer.h"

void CaptureCommands::Grab(int mode) {
    auto temporary = std::make_unique<ui::TBitmap>();
    const DWORD hiddenAt = ::GetTickCount();
    main_.Hide();
    // The window comes back whatever happens in between.
    struct Back {
        TMAIN& main;
        ~Back() {
            ::SetForegroundWindow(main.Handle());
            main.Show();
        }
    } back{main_};
    PlayShutter(hiddenAt);
    GrabScreen(mode, *temporary);
    Take(*temporary);
}

void CaptureCommands::Take(ui::TBitmap& picture) {
    history_.Replace(picture);
    main_.NewCapture();
}

void CaptureCommands::Desktop() {
    Grab(0);
    main_.StartCommandRefresh();
    desktopCount_.SetCaption(NextCount(desktopCount_.Caption()));
}

void CaptureCommands::ActiveWindow() {
    // Shown and in front first, so that hiding it hands the foreground to the
    // window that was under it: that one is grabbed.
    main_.Show();
    main_.BringToFront();
    Grab(-1);
    main_.StartCommandRefresh();
    windowCount_.SetCaption(NextCount(windowCount_.Caption()));
}

template <class Overlay, class Picked>
void CaptureCommands::RunOverlay(Picked picked) {
    poll_.SetEnabled(false);
    ui::Application->Minimize();
    ::Sleep(300);
    // On every path: the overlay goes first, then the window comes back, the
    // commands are refreshed and the hot keys work again. A hot key pressed while
    // the overlay was up is dropped: it must not start a capture of its own once
    // this one has ended.
    struct Finish {
        TMAIN& main;
        ui::TTimer& poll;
        ~Finish() {
            ui::Application->Restore();
            main.StartCommandRefresh();
            DropHotKeyPresses();
            poll.SetEnabled(true);
        }
    } finish{main_, poll_};
    std::unique_ptr<Overlay, ui::FreeComponent> overlay(ui::TForm::Make<Overlay>(ui::Application));
    if (overlay->ShowModal() == ui::mrOk) picked(*overlay);
}

void CaptureCommands::Selection() {
    RunOverlay<TCaptureForm>([this](TCaptureForm& overlay) {
        const RECT r = overlay.SelRect;
        if (r.left > r.right || r.top > r.bottom) {
            ::MessageBoxA(nullptr, "Error selecting rectangle, try again!", "Information",
                          MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
            return;
        }
        // A click without a drag selects nothing: the picture stays as it was.
        if (r.left == r.right || r.top == r.bottom) return;
        Take(*overlay.FrozenPart(r));
    });
}

void CaptureCommands::WindowOrControl() {
    RunOverlay<TCaptureControl>([this](TCaptureControl& overlay) {
        // The overlay goes first, so that the window found is the one below it;
        // its area is cut from the frozen image the user pointed at.
        overlay.Hide();
        POINT p;
        ::GetCursorPos(&p);
        Take(*overlay.FrozenPart(WindowArea(::WindowFromPoint(p))));
    });
}

void CaptureCommands::Poll() {
    // While one of the program's own dialogs or message boxes is open, a command
    // is still waiting on it: presses are taken and dropped.
    if (OwnDialogOpen()) {
        DropHotKeyPresses();
        return;
    }
    const std::optional<Capture> pressed = PollHotKeys();
    if (!pressed) return;
    switch (*pressed) {
        case Capture::Desktop:
            Desktop();
            break;
        case Capture::ActiveWindow:
            ActiveWindow();
            main_.ShowMainWindow();
            break;
        case Capture::Selection:
            Selection();
            break;
        case Capture::WindowOrControl:
            WindowOrControl();
            main_.ShowMainWindow();
            break;
    }
}
