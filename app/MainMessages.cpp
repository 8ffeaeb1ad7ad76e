#include "app/MainMessages.h"

#include "app/Settings.h"
#include "app/SingleInstance.h"
#include "app/Unit3.h"
#include "capture/Foreground.h"
#include "lang/windows/TMultiLanguage.h"
#include "ui/TTrayIcon.h"

namespace {

// Minimising sends the window to the notification area, with a balloon there.
void HideToTray(TMAIN& main) {
    ui::TTrayIcon& tray = main.Get<ui::TTrayIcon>("TrayIcon1");
    tray.SetBalloonTitle("Glimra");
    tray.SetBalloonHint("I am here");
    tray.ShowBalloonHint();
    main.Hide();
}

}  // namespace

bool HandleMainWindowMessage(TMAIN& main, UINT message, WPARAM wParam, LPARAM lParam,
                             LRESULT& result) {
    result = 0;
    switch (message) {
        // The end of the Windows session: the program may be ended any moment
        // after this, without a close, so the settings are written now. Nothing
        // can be shown at this point, so a failure is not reported.
        case WM_QUERYENDSESSION:
            result = TRUE;
            return true;
        case WM_ENDSESSION:
            if (wParam) {
                try {
                    SaveSettings(main.Get<ui::TControl>("Label2"), main.Get<ui::TControl>("Label3"),
                                 main.Get<lang::TMultiLanguage>("MultiLanguage1"));
                } catch (...) {
                }
            }
            return true;
        // Files dropped on the window from Explorer (DragAcceptFiles).
        case WM_DROPFILES:
            main.DropFiles(reinterpret_cast<HDROP>(wParam));
            return true;
        case WM_SYSCOMMAND:
            // F10 is a capture key: released while this window has the focus, it
            // must not also open the window's menu, whose loop would hold the mouse
            // while the picker is up. The system asks for that menu with the key's
            // release, as for Alt pressed alone (which the window has no use for
            // either); Alt with a letter names it and still opens the menu bar's menus.
            if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == 0) return true;
            // Minimising sends the window to the notification area. The value is
            // compared whole: a system command with any of its four low bits set is
            // passed on.
            if (wParam != SC_MINIMIZE) return false;
            HideToTray(main);
            return true;
    }
    // Another start of the program asks this one to show itself.
    if (message != ShowRunningCopyMessage()) return false;
    main.ShowMainWindow();
    return true;
}

void TMAIN::ShowMainWindow() {
    if (!Visible() || !::IsWindowVisible(Handle())) Show();
    // Minimised by the system (the task bar, "show the desktop"): restored where
    // it was.
    if (::IsIconic(Handle())) ::ShowWindow(Handle(), SW_RESTORE);
    // The window comes back on top and active, also when another program has the
    // last input (the capture keys are polled, so the program never receives
    // them); after a capture the restore has done both already.
    TakeForeground(Handle());
}
