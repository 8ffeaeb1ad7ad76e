#include "app/BalloonTip.h"

#include <commctrl.h>

#include "ui/TApplication.h"

void ShowBalloonTip(ui::TWinControl& control, int icon, const std::string& title,
                    const std::wstring& text, COLORREF backColour, COLORREF textColour) {
    HWND owner = control.Handle();
    // WS_POPUP with the balloon, no-prefix and always-tip styles: 0x80000043.
    HWND tip = ::CreateWindowExA(0, "tooltips_class32", nullptr,
                                 WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                 owner, nullptr, ui::Application->Instance(), nullptr);
    if (!tip) return;
    ::SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);

    // The tool record in its wide form up to and including lParam: 44 bytes in
    // the 32-bit program.
    TOOLINFOW info{};
    constexpr UINT kToolSize = offsetof(TOOLINFOW, lParam) + sizeof(LPARAM);
    static_assert(sizeof(void*) != 4 || kToolSize == 44);
    info.cbSize = kToolSize;
    info.uFlags = TTF_SUBCLASS | TTF_TRANSPARENT | TTF_CENTERTIP;
    info.hwnd = owner;
    ::GetClientRect(owner, &info.rect);
    info.lpszText = const_cast<wchar_t*>(text.c_str());

    ::SendMessageA(tip, TTM_SETTIPBKCOLOR, backColour, 0);
    ::SendMessageA(tip, TTM_SETTIPTEXTCOLOR, textColour, 0);
    ::SendMessageA(tip, TTM_ADDTOOLW, 1, reinterpret_cast<LPARAM>(&info));
    ::SendMessageA(tip, TTM_SETTITLEA, static_cast<WPARAM>(((icon % 4) + 4) % 4),
                   reinterpret_cast<LPARAM>(title.c_str()));
    // The tooltip belongs to its owner window from here on and goes with it.
}

void ShowStatisticsBalloon(ui::TWinControl& panel) {
    ShowBalloonTip(
        panel, 0, "Statistics",
        L"Full screen: 00\r\nActive window: 00\r\nSelection: 00\r\nWindow or Control: 00",
        RGB(255, 251, 240), RGB(0, 0, 0));
}
