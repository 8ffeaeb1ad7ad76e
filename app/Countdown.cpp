#include "app/Countdown.h"

#include <windows.h>

#include <string>

#include "ui/TApplication.h"
#include "win/handles.h"

namespace {

constexpr const char* kClass = "GlimraCountdown";

LRESULT CALLBACK CountdownProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return ::DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window, &paint);
    RECT client;
    ::GetClientRect(window, &client);
    win::Brush background(::CreateSolidBrush(RGB(40, 44, 52)));
    ::FillRect(dc, &client, background.Get());
    char text[16] = {};
    ::GetWindowTextA(window, text, sizeof text);
    win::Font font(::CreateFontA(-(client.bottom * 2 / 3), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                 DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 ANTIALIASED_QUALITY, DEFAULT_PITCH, "Tahoma"));
    const HGDIOBJ old = ::SelectObject(dc, font.Get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(255, 255, 255));
    ::DrawTextA(dc, text, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SelectObject(dc, old);
    ::EndPaint(window, &paint);
    return 0;
}

}  // namespace

bool RunCountdown(int seconds, const std::function<bool()>& cancelled) {
    HINSTANCE instance = ui::Application->Instance();
    WNDCLASSA cls{};
    cls.lpfnWndProc = CountdownProc;
    cls.hInstance = instance;
    cls.lpszClassName = kClass;
    cls.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    ::RegisterClassA(&cls);  // a second registration fails harmlessly
    POINT p;
    ::GetCursorPos(&p);
    const int size = ui::Application->Scale(44);
    win::Window window(::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                                         kClass, "", WS_POPUP | WS_BORDER, p.x + 16, p.y + 16, size,
                                         size, nullptr, nullptr, instance, nullptr));
    ::ShowWindow(window.Get(), SW_SHOWNOACTIVATE);
    const DWORD start = ::GetTickCount();
    for (;;) {
        const DWORD passed = ::GetTickCount() - start;
        if (passed >= DWORD(seconds) * 1000) break;
        const std::string left = std::to_string(seconds - int(passed / 1000));
        char shown[16] = {};
        ::GetWindowTextA(window.Get(), shown, sizeof shown);
        if (left != shown) {
            ::SetWindowTextA(window.Get(), left.c_str());
            ::InvalidateRect(window.Get(), nullptr, TRUE);
        }
        ui::Application->HandleMessagesUntil(nullptr, 40);
        if (cancelled()) return false;
    }
    return true;
}
