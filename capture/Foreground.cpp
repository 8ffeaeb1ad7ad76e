#include "capture/Foreground.h"

bool TakeForeground(HWND window) {
    if (!window || !::IsWindow(window)) return false;
    if (InFront(window)) return true;
    const DWORD self = ::GetCurrentThreadId();
    HWND front = ::GetForegroundWindow();
    const DWORD frontThread = front ? ::GetWindowThreadProcessId(front, nullptr) : 0;
    // Sharing the front thread's input state lets this thread change the
    // foreground and the focus as if it had received the last input.
    const bool attached =
        frontThread != 0 && frontThread != self && ::AttachThreadInput(self, frontThread, TRUE);
    struct Detach {
        bool attached;
        DWORD self, other;
        ~Detach() {
            if (attached) ::AttachThreadInput(self, other, FALSE);
        }
    } detach{attached, self, frontThread};
    ::BringWindowToTop(window);
    ::SetForegroundWindow(window);
    if (::GetForegroundWindow() == window) ::SetFocus(window);
    return ::GetForegroundWindow() == window;
}

bool InFront(HWND window) {
    if (!window || ::GetForegroundWindow() != window) return false;
    for (HWND above = ::GetWindow(window, GW_HWNDPREV); above;
         above = ::GetWindow(above, GW_HWNDPREV))
        if (::IsWindowVisible(above) && !(::GetWindowLongA(above, GWL_EXSTYLE) & WS_EX_TOPMOST))
            return false;
    return true;
}
