#include "app/text/TextResultWindow.h"

#include <stdexcept>

#include "output/windows/clipboard_copy.h"

namespace {

constexpr const char* kClass = "GlimraTextResult";
constexpr int kEditId = 100, kCopyId = 101, kCloseId = 102, kHeadingId = 103;
constexpr int kMargin = 8, kButtonWidth = 88, kButtonHeight = 25, kHeadingHeight = 18;

HWND shown = nullptr;
WNDPROC editProc = nullptr;

std::wstring EditText(HWND window) {
    HWND edit = ::GetDlgItem(window, kEditId);
    std::wstring text(std::size_t(::GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(std::size_t(::GetWindowTextW(edit, text.data(), int(text.size()))));
    return text;
}

void Copy(HWND window) {
    try {
        glimra::CopyTextToClipboard(window, EditText(window));
    } catch (const std::exception& e) {
        ::MessageBoxA(window, e.what(), "Copy Text", MB_OK | MB_ICONWARNING);
    }
}

void Arrange(HWND window) {
    RECT r;
    ::GetClientRect(window, &r);
    const int buttonsTop = r.bottom - kMargin - kButtonHeight;
    ::MoveWindow(::GetDlgItem(window, kHeadingId), kMargin, kMargin, r.right - 2 * kMargin,
                 kHeadingHeight, TRUE);
    const int editTop = kMargin + kHeadingHeight + 4;
    ::MoveWindow(::GetDlgItem(window, kEditId), kMargin, editTop, r.right - 2 * kMargin,
                 buttonsTop - kMargin - editTop, TRUE);
    ::MoveWindow(::GetDlgItem(window, kCloseId), r.right - kMargin - kButtonWidth, buttonsTop,
                 kButtonWidth, kButtonHeight, TRUE);
    ::MoveWindow(::GetDlgItem(window, kCopyId), r.right - 2 * (kMargin + kButtonWidth), buttonsTop,
                 kButtonWidth, kButtonHeight, TRUE);
}

// The edit box passes Escape to its window (which closes), and Ctrl+A selects
// all of its text, which an edit box of this age does not do by itself.
LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        ::PostMessageA(::GetParent(edit), WM_CLOSE, 0, 0);
        return 0;
    }
    if (message == WM_KEYDOWN && wParam == 'A' && ::GetKeyState(VK_CONTROL) < 0) {
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        return 0;
    }
    if (message == WM_CHAR && wParam == 1) return 0;  // the Ctrl+A character
    return ::CallWindowProcW(editProc, edit, message, wParam, lParam);
}

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            const HINSTANCE instance = ::GetModuleHandleA(nullptr);
            const auto font = WPARAM(::GetStockObject(DEFAULT_GUI_FONT));
            const auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
                HWND made = ::CreateWindowExW(
                    id == kEditId ? WS_EX_CLIENTEDGE : 0, cls, text, WS_CHILD | WS_VISIBLE | style,
                    0, 0, 0, 0, window, reinterpret_cast<HMENU>(INT_PTR(id)), instance, nullptr);
                ::SendMessageW(made, WM_SETFONT, font, FALSE);
                return made;
            };
            child(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, kHeadingId);
            HWND edit = child(L"EDIT", L"",
                              WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                  ES_AUTOHSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                              kEditId);
            editProc = reinterpret_cast<WNDPROC>(
                ::SetWindowLongPtrW(edit, GWLP_WNDPROC, LONG_PTR(EditProc)));
            child(L"BUTTON", L"&Copy", WS_TABSTOP | BS_PUSHBUTTON, kCopyId);
            child(L"BUTTON", L"C&lose", WS_TABSTOP | BS_PUSHBUTTON, kCloseId);
            return 0;
        }
        case WM_SIZE:
            Arrange(window);
            return 0;
        case WM_GETMINMAXINFO:
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {260, 160};
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kCopyId) Copy(window);
            if (LOWORD(wParam) == kCloseId) ::DestroyWindow(window);
            return 0;
        case WM_CLOSE:
            ::DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            shown = nullptr;
            return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

HWND TextResultWindow() {
    return shown;
}

void ShowTextResult(const std::wstring& text, const std::string& heading) {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        wc.hIcon = ::LoadIconA(wc.hInstance, "MAINICON");
        wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = kClass;
        return ::RegisterClassA(&wc) != 0;
    }();
    (void)registered;
    if (!shown)
        shown = ::CreateWindowExA(0, kClass, "Glimra - Text", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 520, 340, nullptr, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    if (!shown) return;
    ::SetDlgItemTextA(shown, kHeadingId, heading.c_str());
    ::SetDlgItemTextW(shown, kEditId, text.c_str());
    ::ShowWindow(shown, SW_SHOWNORMAL);
    ::SetForegroundWindow(shown);
    ::SetFocus(::GetDlgItem(shown, kEditId));
}
