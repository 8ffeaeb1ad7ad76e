#include "ui/HintWindow.h"

#include <commctrl.h>

#include "ui/TApplication.h"
#include "ui/TControl.h"

namespace ui {

namespace {

TOOLINFOA ToolOf(HWND parent, TControl* control) {
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = parent;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    return tool;
}

}  // namespace

THintWindow::THintWindow(HWND parent)
    : parent_(parent),
      tooltip_(::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                                 Application->Instance(), nullptr)) {}

void THintWindow::Track(TControl* control, POINT origin) {
    if (!tooltip_ || !control) return;
    TOOLINFOA tool = ToolOf(parent_, control);
    const bool known = tools_.count(control) != 0;
    if (!control->ShowHint() || control->Hint().empty()) {
        if (known) ::SendMessageA(tooltip_.Get(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        tools_.erase(control);
        return;
    }
    // The hint as it is now: a language change since the last visit shows.
    std::string text = control->Hint();
    tool.lpszText = text.data();
    tool.rect = {origin.x, origin.y, origin.x + control->Width(), origin.y + control->Height()};
    if (known) {
        ::SendMessageA(tooltip_.Get(), TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
        ::SendMessageA(tooltip_.Get(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    } else if (::SendMessageA(tooltip_.Get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) {
        tools_.insert(control);
    }
}

void THintWindow::Forget(TControl* control) {
    if (!tools_.erase(control) || !tooltip_) return;
    TOOLINFOA tool = ToolOf(parent_, control);
    ::SendMessageA(tooltip_.Get(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void THintWindow::Relay(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!tooltip_ || tools_.empty()) return;
    MSG msg{parent_, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
    const DWORD pos = ::GetMessagePos();
    msg.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    ::SendMessageA(tooltip_.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

}  // namespace ui
