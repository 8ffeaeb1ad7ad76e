#include "ui/TTrayIcon.h"

#include "ui/HiddenWindow.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "ui/MenuWindow.h"
#include "ui/TApplication.h"
#include "ui/TPopupMenu.h"
#include "win/MessageFilter.h"

namespace ui {

namespace {

// Copies as much of `text` as fits, always ending the field.
template <std::size_t N>
void CopyText(char (&field)[N], const std::string& text) {
    const std::size_t n = std::min(text.size(), N - 1);
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

UINT TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageA("TaskbarCreated");
    return message;
}

}  // namespace

LRESULT CALLBACK TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* icon = reinterpret_cast<TTrayIcon*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!icon) return ::DefWindowProcA(window, message, wParam, lParam);
    try {
        return icon->WndProc(message, wParam, lParam);
    } catch (...) {
        Application->HandleException(std::current_exception());
    }
    return 0;
}

TTrayIcon::TTrayIcon(TComponent* owner) : TComponent(owner) {
    SetIcon("MAINICON");
}

TTrayIcon::~TTrayIcon() {
    if (added_) Notify(NIM_DELETE);
    if (window_) ::SetWindowLongPtrA(window_.Get(), GWLP_USERDATA, 0);
}

HWND TTrayIcon::Handle() {
    if (!window_) {
        // It hears the shell's TaskbarCreated broadcast, to put the icon back.
        window_ = MakeHiddenWindow("GlimraTray", TrayWindowProc, "the tray icon's window");
        ::SetWindowLongPtrA(window_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        // Also when the program runs as administrator and the shell does not.
        win::AllowMessageFromAnyProcess(window_.Get(), TaskbarCreatedMessage());
    }
    return window_.Get();
}

bool TTrayIcon::Notify(DWORD action, UINT parts) {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = Handle();
    data.uID = 1;
    if (action != NIM_DELETE) {
        data.uFlags = parts;
        data.uCallbackMessage = kCallbackMessage;
        data.hIcon = icon_.Get();
        CopyText(data.szTip, hint_);
    }
    return ::Shell_NotifyIconA(action, &data) != FALSE;
}

bool TTrayIcon::Add() {
    // NIM_ADD fails where the shell still has the icon (an earlier add that timed
    // out while the shell was busy, a TaskbarCreated after the icon came back):
    // NIM_MODIFY then succeeds, and the icon is there.
    return Notify(NIM_ADD) || Notify(NIM_MODIFY);
}

void TTrayIcon::SetVisible(bool visible) {
    visible_ = visible;
    if (visible && !added_) {
        added_ = Add();
    } else if (!visible && added_) {
        Notify(NIM_DELETE);
        added_ = false;
    }
}

void TTrayIcon::SetIcon(const std::string& resourceName) {
    HICON icon = static_cast<HICON>(::LoadImageA(Application->Instance(), resourceName.c_str(),
                                                 IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                 ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    if (!icon && resourceName != "MAINICON")
        throw std::runtime_error("the program has no icon " + resourceName);
    icon_.Reset(icon);
    if (added_) Notify(NIM_MODIFY);
}

void TTrayIcon::SetIconHandle(HICON icon) {
    if (!icon) return;
    icon_.Reset(icon);
    if (added_) Notify(NIM_MODIFY);
}

void TTrayIcon::SetHint(const std::string& hint) {
    if (hint == hint_) return;
    hint_ = hint;
    // The tip alone: handing the icon over again costs the shell a copy of its
    // bitmaps, several times what the text does.
    if (added_) Notify(NIM_MODIFY, NIF_TIP);
}

void TTrayIcon::ShowBalloonHint() {
    if (!added_) return;
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = Handle();
    data.uID = 1;
    data.uFlags = NIF_INFO;
    CopyText(data.szInfo, balloonHint_);
    CopyText(data.szInfoTitle, balloonTitle_);
    data.uTimeout = static_cast<UINT>(std::max(0, balloonTimeout_));
    static const DWORD kinds[] = {NIIF_NONE, NIIF_INFO, NIIF_WARNING, NIIF_ERROR};
    data.dwInfoFlags = kinds[static_cast<unsigned>(balloonFlags_) % 4];
    ::Shell_NotifyIconA(NIM_MODIFY, &data);
}

void TTrayIcon::SetPopupMenu(TPopupMenu* menu) {
    if (popupMenu_) RemoveFreeNotification(popupMenu_);
    popupMenu_ = menu;
    if (popupMenu_) FreeNotification(popupMenu_);
}

void TTrayIcon::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

void TTrayIcon::ShowPopupMenu() {
    if (!popupMenu_) return;
    POINT p;
    ::GetCursorPos(&p);
    // A menu of the notification area closes when the user clicks elsewhere only
    // if its owner is the foreground window, and it needs the message after it
    // to close properly the next time.
    HWND owner = MenuWindow();
    ::SetForegroundWindow(owner);
    popupMenu_->Popup(p.x, p.y);
    ::PostMessageA(owner, WM_NULL, 0, 0);
}

LRESULT TTrayIcon::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kCallbackMessage) {
        switch (LOWORD(lParam)) {
            case WM_LBUTTONUP:
                if (OnClick) OnClick(this);
                break;
            case WM_LBUTTONDBLCLK:
                if (OnDblClick) OnDblClick(this);
                break;
            case WM_RBUTTONUP:
                ShowPopupMenu();
                break;
            default:
                break;
        }
        return 0;
    }
    if (message == TaskbarCreatedMessage()) {
        // A new task bar knows no icons: show ours again.
        added_ = visible_ && Add();
        return 0;
    }
    return ::DefWindowProcA(window_.Get(), message, wParam, lParam);
}

const PropertyRegistry& TTrayIcon::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TTrayIcon", &TComponent::ClassProperties());
        Registrar<TTrayIcon>(r)
            .Boolean("Visible", &TTrayIcon::Visible, &TTrayIcon::SetVisible)
            .Picture("Icon", &TTrayIcon::SetIcon)
            .Text("Hint", &TTrayIcon::Hint, &TTrayIcon::SetHint)
            .Text("BalloonTitle", &TTrayIcon::BalloonTitle, &TTrayIcon::SetBalloonTitle)
            .Text("BalloonHint", &TTrayIcon::BalloonHint, &TTrayIcon::SetBalloonHint)
            .Enum("BalloonFlags", {{"bfNone", 0}, {"bfInfo", 1}, {"bfWarning", 2}, {"bfError", 3}},
                  &TTrayIcon::BalloonFlags, &TTrayIcon::SetBalloonFlags)
            .Integer("BalloonTimeout", &TTrayIcon::BalloonTimeout, &TTrayIcon::SetBalloonTimeout)
            .Reference<TPopupMenu>("PopupMenu", &TTrayIcon::SetPopupMenu)
            .Event<TNotifyEvent>("OnClick", [](TTrayIcon& t, TNotifyEvent e) { t.OnClick = e; })
            .Event<TNotifyEvent>("OnDblClick",
                                 [](TTrayIcon& t, TNotifyEvent e) { t.OnDblClick = e; });
        return r;
    }();
    return registry;
}

}  // namespace ui
