// Test helper: another program that holds the clipboard. It opens the
// clipboard for a window of its own, signals the event named by its first argument, and closes the
// clipboard once the event named by its second argument is signalled (or after
// 30 seconds).
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    HANDLE held = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[1]);
    HANDLE release = ::OpenEventA(SYNCHRONIZE, FALSE, argv[2]);
    HWND window =
        ::CreateWindowA("STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!held || !release || !window || !::OpenClipboard(window)) return 1;
    ::SetEvent(held);
    ::WaitForSingleObject(release, 30000);
    ::CloseClipboard();
    ::DestroyWindow(window);
    return 0;
}
