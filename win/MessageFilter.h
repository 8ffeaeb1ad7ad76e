// Messages that a window takes from programs of lower rights: a copy run as
// administrator otherwise never hears the shell's TaskbarCreated broadcast or
// another start's request (User Interface Privilege Isolation).
#pragma once

#include <windows.h>

namespace win {

// Lets `message` reach `window` from any process (ChangeWindowMessageFilterEx
// with MSGFLT_ALLOW, Windows 7 and later, looked up at run time:
// https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-changewindowmessagefilterex).
// False where the system has no such function or refuses.
inline bool AllowMessageFromAnyProcess(HWND window, UINT message) {
    using Filter = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    const auto filter = reinterpret_cast<Filter>(reinterpret_cast<void*>(
        user32 ? ::GetProcAddress(user32, "ChangeWindowMessageFilterEx") : nullptr));
    constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW
    return filter && filter(window, message, kAllow, nullptr) != FALSE;
}

}  // namespace win
