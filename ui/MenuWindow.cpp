#include "ui/MenuWindow.h"

#include "ui/HiddenWindow.h"

#include <stdexcept>
#include <utility>

#include "ui/TApplication.h"
#include "ui/TMenuItem.h"
#include "win/handles.h"

namespace ui {

namespace {

MenuSelectListener& SelectListener() {
    static MenuSelectListener listener;
    return listener;
}

LRESULT HandleMenuMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            // A menu's command: no control (lParam 0), notification code 0.
            if (lParam == 0 && HIWORD(wParam) == 0) {
                if (TMenuItem* item = TMenuItem::FromCommand(LOWORD(wParam))) item->Click();
                return 0;
            }
            break;
        case WM_MEASUREITEM: {
            auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (measure->CtlType == ODT_MENU && TMenuItem::MeasureImage(*measure)) return TRUE;
            break;
        }
        case WM_DRAWITEM: {
            auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            if (draw->CtlType == ODT_MENU && TMenuItem::DrawImage(*draw)) return TRUE;
            break;
        }
        case WM_MENUSELECT:
            if (SelectListener())
                SelectListener()(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
            return 0;
        default:
            break;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK MenuWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return HandleMenuMessage(window, message, wParam, lParam);
    } catch (...) {
        Application->HandleException(std::current_exception());
    }
    return 0;
}

}  // namespace

HWND MenuWindow() {
    static win::Window window;
    // Popup menus need an owner that can take the foreground.
    if (!window || !::IsWindow(window.Get()))
        window = MakeHiddenWindow("GlimraMenus", MenuWindowProc, "the menus' window");
    return window.Get();
}

void TrackPopup(HMENU menu, int x, int y, UINT flags, const RECT* exclude,
                MenuSelectListener onSelect) {
    HWND owner = MenuWindow();
    // Menus opened from within a menu's handler restore the outer listener.
    MenuSelectListener outer = std::exchange(SelectListener(), std::move(onSelect));
    TPMPARAMS params{sizeof params, {}};
    if (exclude) params.rcExclude = *exclude;
    ::TrackPopupMenuEx(menu, flags, x, y, owner, exclude ? &params : nullptr);
    SelectListener() = std::move(outer);
}

}  // namespace ui
