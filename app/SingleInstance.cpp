#include "app/SingleInstance.h"

namespace {

// Named after the settings key, whose version is part of the program's identity.
constexpr const char* kInstanceName = "Local\\Norvanta Glimra 1.3";

}  // namespace

UINT ShowRunningCopyMessage() {
    static const UINT message = ::RegisterWindowMessageA("Norvanta Glimra 1.3: show yourself");
    return message;
}

bool ClaimSingleInstance() {
    // Held, never closed: the system releases it when the process ends, however.
    HANDLE claim = ::CreateMutexA(nullptr, FALSE, kInstanceName);
    if (claim && ::GetLastError() != ERROR_ALREADY_EXISTS) return true;
    if (claim) ::CloseHandle(claim);
    // This start came from the user, so it may hand the foreground on.
    ::AllowSetForegroundWindow(ASFW_ANY);
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(HWND_BROADCAST, ShowRunningCopyMessage(), 0, 0, SMTO_ABORTIFHUNG, 1000,
                          &answer);
    return false;
}
