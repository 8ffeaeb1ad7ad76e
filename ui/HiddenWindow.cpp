#include "ui/HiddenWindow.h"

#include <stdexcept>
#include <string>

namespace ui {

win::Window MakeHiddenWindow(const char* className, WNDPROC procedure, const char* purpose,
                             HWND parent) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.lpszClassName = className;
    ::RegisterClassA(&wc);
    win::Window window(::CreateWindowExA(WS_EX_TOOLWINDOW, className, "", WS_POPUP, 0, 0, 0, 0,
                                         parent, nullptr, instance, nullptr));
    if (!window) throw std::runtime_error(std::string("cannot create ") + purpose);
    return window;
}

}  // namespace ui
