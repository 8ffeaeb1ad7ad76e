#include "app/HotKeys.h"

#include <string>

#include "forms/Unit1.h"

namespace {

BOOL CALLBACK FindShownDialog(HWND window, LPARAM found) {
    char cls[8] = {};
    ::GetClassNameA(window, cls, sizeof cls);
    if (!::IsWindowVisible(window) || std::string(cls) != "#32770") return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

}  // namespace

std::optional<Capture> PollHotKeys() {
    for (const HotKey& key : kHotKeys)
        if (::GetAsyncKeyState(key.virtualKey) & 1) return key.capture;
    return std::nullopt;
}

void DropHotKeyPresses() {
    for (const HotKey& key : kHotKeys)
        ::GetAsyncKeyState(key.virtualKey);
}

bool OwnDialogOpen() {
    if (about && about->HandleAllocated() && ::IsWindowVisible(about->Handle())) return true;
    bool open = false;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindShownDialog, reinterpret_cast<LPARAM>(&open));
    return open;
}
