#include "testing/desktop/OtherProgram.h"

#include <stdexcept>

#include "testing/desktop/Desktop.h"

namespace glimra::test {

namespace {

// The thread message that carries work for the windows' thread.
constexpr UINT kRunMessage = WM_APP + 1;

LRESULT CALLBACK PatternProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(window, &ps);
            RECT r;
            ::GetClientRect(window, &r);
            PaintPattern(dc, r.right, r.bottom);
            ::EndPaint(window, &ps);
            return 0;
        }
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            PaintPattern(item->hDC, item->rcItem.right, item->rcItem.bottom);
            return TRUE;
        }
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK BlankProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        ::BeginPaint(window, &ps);
        ::EndPaint(window, &ps);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// A window in one colour, kept in its user data, painted on every paint.
LRESULT CALLBACK SolidProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(window, &ps);
        HBRUSH brush = ::CreateSolidBrush(COLORREF(::GetWindowLongPtrA(window, GWLP_USERDATA)));
        ::FillRect(dc, &ps.rcPaint, brush);
        ::DeleteObject(brush);
        ::EndPaint(window, &ps);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// A window that draws the lines of the TextLook its user data points to.
LRESULT CALLBACK TextProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_PAINT) {
        const auto* look =
            reinterpret_cast<const TextLook*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(window, &ps);
        RECT client;
        ::GetClientRect(window, &client);
        HBRUSH paper = ::CreateSolidBrush(look ? look->paper : RGB(255, 255, 255));
        ::FillRect(dc, &client, paper);
        ::DeleteObject(paper);
        if (look) {
            HFONT font = ::CreateFontA(-::MulDiv(look->points, ::GetDeviceCaps(dc, LOGPIXELSY), 72),
                                       0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, look->quality,
                                       DEFAULT_PITCH, look->font.c_str());
            HGDIOBJ old = ::SelectObject(dc, font);
            ::SetTextColor(dc, look->ink);
            ::SetBkMode(dc, TRANSPARENT);
            TEXTMETRICA metrics{};
            ::GetTextMetricsA(dc, &metrics);
            int y = 6;
            for (const std::string& line : look->lines) {
                ::TextOutA(dc, 8, y, line.c_str(), int(line.size()));
                y += metrics.tmHeight + metrics.tmExternalLeading + 2;
            }
            ::SelectObject(dc, old);
            ::DeleteObject(font);
        }
        ::EndPaint(window, &ps);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

void RegisterClasses() {
    WNDCLASSA wc{};
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.lpfnWndProc = PatternProc;
    wc.lpszClassName = "OtherProgramPattern";
    ::RegisterClassA(&wc);
    wc.lpfnWndProc = BlankProc;
    wc.lpszClassName = "OtherProgramBlank";
    ::RegisterClassA(&wc);
    wc.lpfnWndProc = SolidProc;
    wc.lpszClassName = "OtherProgramSolid";
    ::RegisterClassA(&wc);
    wc.lpfnWndProc = TextProc;
    wc.lpszClassName = "OtherProgramText";
    ::RegisterClassA(&wc);
}

}  // namespace

COLORREF Pattern(int x, int y) {
    return RGB(x * 7 & 255, y * 13 & 255, (x + y) * 3 & 255);
}

void PaintPattern(HDC dc, int width, int height) {
    if (width <= 0 || height <= 0) return;
    std::vector<RGBQUAD> pixels(std::size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = Pattern(x, y);
            pixels[std::size_t(y) * width + x] = {GetBValue(c), GetGValue(c), GetRValue(c), 0};
        }
    BITMAPINFO info = TopDownDib(width, height, 32);
    ::SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, pixels.data(), &info,
                        DIB_RGB_COLORS);
}

OtherProgram::OtherProgram() : ready_(::CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    thread_ = std::thread([this] { Loop(); });
    ::WaitForSingleObject(ready_, INFINITE);
}

OtherProgram::~OtherProgram() {
    Run([this] {
        for (HWND w : windows_)
            ::DestroyWindow(w);
    });
    ::PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    ::CloseHandle(ready_);
}

void OtherProgram::Loop() {
    MSG msg;
    // The first peek gives the thread its message queue before anyone posts to it.
    ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    RegisterClasses();
    threadId_ = ::GetCurrentThreadId();
    ::SetEvent(ready_);
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!msg.hwnd && msg.message == kRunMessage) {
            (*reinterpret_cast<const std::function<void()>*>(msg.lParam))();
            ::SetEvent(ready_);
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

void OtherProgram::Run(const std::function<void()>& work) {
    if (!::PostThreadMessageA(threadId_, kRunMessage, 0, reinterpret_cast<LPARAM>(&work)))
        throw std::runtime_error("the other program's thread does not answer");
    ::WaitForSingleObject(ready_, INFINITE);
}

HWND OtherProgram::PatternWindow(RECT r, DWORD style, DWORD exStyle) {
    HWND window = nullptr;
    Run([&] {
        window =
            ::CreateWindowExA(exStyle, "OtherProgramPattern", "Other program", style | WS_VISIBLE,
                              r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                              ::GetModuleHandleA(nullptr), nullptr);
        ::UpdateWindow(window);
        windows_.push_back(window);
    });
    return window;
}

HWND OtherProgram::PatternButton(HWND parent, RECT r) {
    HWND button = nullptr;
    Run([&] {
        button = ::CreateWindowExA(0, "BUTTON", "Press", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW,
                                   r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                                   nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ::UpdateWindow(button);
    });
    return button;
}

HWND OtherProgram::SolidWindow(RECT r, COLORREF colour, DWORD style) {
    HWND window = nullptr;
    Run([&] {
        window = ::CreateWindowExA(0, "OtherProgramSolid", "Solid", style, r.left, r.top,
                                   r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, LONG_PTR(colour));
        ::ShowWindow(window, SW_SHOWNOACTIVATE);
        ::UpdateWindow(window);
        windows_.push_back(window);
    });
    return window;
}

HWND OtherProgram::BlankWindow(RECT r) {
    HWND window = nullptr;
    Run([&] {
        window = ::CreateWindowExA(0, "OtherProgramBlank", "Blank", WS_POPUP | WS_VISIBLE, r.left,
                                   r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
        windows_.push_back(window);
    });
    return window;
}

HWND OtherProgram::TextWindow(RECT r, const TextLook& look) {
    looks_.push_back(std::make_unique<TextLook>(look));
    const TextLook* kept = looks_.back().get();
    HWND window = nullptr;
    Run([&] {
        window = ::CreateWindowExA(0, "OtherProgramText", "Text", WS_POPUP, r.left, r.top,
                                   r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, LONG_PTR(kept));
        ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ::ShowWindow(window, SW_SHOWNOACTIVATE);
        ::UpdateWindow(window);
        windows_.push_back(window);
    });
    return window;
}

}  // namespace glimra::test
