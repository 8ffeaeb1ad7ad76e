// An icon in the notification area of the task bar: its tip, a balloon with a
// title and a text, a popup menu on the usual right click, and click events.
// Its notifications come to a hidden window of its own, which also puts the
// icon back when the shell (and with it the task bar) restarts.
#pragma once

#include <windows.h>

#include <shellapi.h>  // needs windows.h first

#include <string>

#include "ui/Graphics.h"
#include "ui/TComponent.h"
#include "win/handles.h"

namespace ui {

class TPopupMenu;

enum class TBalloonFlags { bfNone, bfInfo, bfWarning, bfError };

class TTrayIcon : public TComponent {
  public:
    explicit TTrayIcon(TComponent* owner);
    ~TTrayIcon() override;

    // Shown in the notification area.
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // The icon resource of that name, in the size of small icons; the program's
    // icon 'MAINICON' until another is set.
    void SetIcon(const std::string& resourceName);
    // An icon made by the program, which the tray icon then owns.
    void SetIconHandle(HICON icon);
    HICON IconHandle() const { return icon_.Get(); }
    // The tip shown when the mouse rests on the icon (up to 127 characters).
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);

    const std::string& BalloonTitle() const { return balloonTitle_; }
    void SetBalloonTitle(const std::string& title) { balloonTitle_ = title; }
    const std::string& BalloonHint() const { return balloonHint_; }
    void SetBalloonHint(const std::string& text) { balloonHint_ = text; }
    TBalloonFlags BalloonFlags() const { return balloonFlags_; }
    void SetBalloonFlags(TBalloonFlags flags) { balloonFlags_ = flags; }
    // Milliseconds the balloon stays.
    int BalloonTimeout() const { return balloonTimeout_; }
    void SetBalloonTimeout(int milliseconds) { balloonTimeout_ = milliseconds; }
    // Shows the balloon with the current title, text and icon (when the icon is shown).
    void ShowBalloonHint();

    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);

    TNotifyEvent OnClick, OnDblClick;

    // The window that the notification area reports to.
    HWND Handle();
    // The message the notification area sends it; lParam is the mouse message.
    static constexpr UINT kCallbackMessage = WM_APP + 1;

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  protected:
    void Notification(TComponent* component, TOperation operation) override;

  private:
    friend LRESULT CALLBACK TrayWindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Shell_NotifyIcon with these parts (all of them: the icon, the tip and the
    // callback); false when the notification area refused (there may be none at
    // the moment).
    bool Notify(DWORD action, UINT parts = NIF_MESSAGE | NIF_ICON | NIF_TIP);
    // Puts the icon into the notification area: NIM_ADD, else NIM_MODIFY.
    bool Add();
    void ShowPopupMenu();

    bool visible_ = false;
    bool added_ = false;
    win::Icon icon_;
    std::string hint_, balloonTitle_, balloonHint_;
    TBalloonFlags balloonFlags_ = TBalloonFlags::bfNone;
    int balloonTimeout_ = 3000;
    TPopupMenu* popupMenu_ = nullptr;
    win::Window window_;
};

}  // namespace ui
