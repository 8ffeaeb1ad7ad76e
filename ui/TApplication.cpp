#include "ui/TApplication.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "ui/Graphics.h"

namespace ui {

TApplication* Application = nullptr;

void Guarded(const std::function<void()>& step) {
    try {
        step();
    } catch (...) {
        Application->HandleException(std::current_exception());
    }
}

TApplication::TApplication() : TComponent(nullptr), instance_(::GetModuleHandleA(nullptr)) {
    Application = this;
    // The manifest makes the process per-monitor DPI aware, for the capture code,
    // which works in physical pixels. The windows made on this thread stay system
    // aware, as the whole program was before: their layouts are scaled once for
    // the system's dots per inch, and on a display of another scale the system
    // scales them. SetThreadDpiAwarenessContext is there from Windows 10 version
    // 1607 on; before it the manifest's dpiAware makes the process system aware.
    using SetAwareness = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
    if (auto set = reinterpret_cast<SetAwareness>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext"))))
        set(DPI_AWARENESS_CONTEXT_SYSTEM_AWARE);
    const std::pair<int, LPCSTR> system[] = {
        {crDefault, IDC_ARROW},  {crArrow, IDC_ARROW},     {crCross, IDC_CROSS},
        {crIBeam, IDC_IBEAM},    {crSizeAll, IDC_SIZEALL}, {crHourGlass, IDC_WAIT},
        {crHandPoint, IDC_HAND},
    };
    for (const auto& [index, id] : system)
        cursors_[index] = ::LoadCursorA(nullptr, id);
}

TApplication::~TApplication() {
    // Forms go first, last made first, while the application object still stands.
    DestroyComponents();
    if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX icc{
        sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    HDC screen = ::GetDC(nullptr);
    pixelsPerInch_ = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    if (pixelsPerInch_ <= 0) pixelsPerInch_ = 96;
}

void TApplication::AddForm(TForm* form, TFormLink& link) {
    forms_.push_back(form);
    links_.push_back(&link);
    if (!mainForm_) {
        mainForm_ = form;
        mainLink_ = &link;
    }
}

void TApplication::RemoveForm(TForm* form) {
    const auto at = std::find(forms_.begin(), forms_.end(), form);
    if (at == forms_.end()) return;
    links_.erase(links_.begin() + (at - forms_.begin()));
    forms_.erase(at);
    if (mainForm_ == form) {
        mainForm_ = nullptr;
        mainLink_ = nullptr;
    }
}

void TApplication::Run() {
    if (mainLink_) mainLink_->ShowForm();
    while (!terminated_)
        HandleMessage(true);
}

void TApplication::Terminate() {
    if (terminated_) return;
    terminated_ = true;
    ::PostQuitMessage(0);
}

bool TApplication::HandleMessage(bool wait) {
    MSG msg;
    if (wait) {
        if (::GetMessageA(&msg, nullptr, 0, 0) <= 0) {
            terminated_ = true;
            return false;
        }
    } else if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    } else if (msg.message == WM_QUIT) {
        terminated_ = true;
        return false;
    }
    // The form whose window a key is for looks at it first (its shortcuts, and
    // the keys that move between its controls). Other messages, the most of
    // them, go straight on.
    TFormLink* form = nullptr;
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && msg.hwnd)
        if (HWND root = ::GetAncestor(msg.hwnd, GA_ROOT))
            for (TFormLink* link : links_)
                if (link->FormWindow() == root) {
                    form = link;
                    break;
                }
    if (form) {
        bool handled = false;
        try {
            handled = form->PreDispatch(msg);
        } catch (...) {
            // A handler failed: reported, and the message is used up.
            HandleException(std::current_exception());
            handled = true;
        }
        if (handled) return true;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
    return true;
}

bool TApplication::HandleMessagesUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    while (!done || !done()) {
        if (::GetTickCount() - start >= milliseconds) return false;
        if (!HandleMessage(false)) ::Sleep(1);
    }
    return true;
}

void TApplication::ProcessMessages() {
    while (HandleMessage(false)) {
    }
}

void TApplication::HandleException(std::exception_ptr error) {
    std::string text;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        text = e.what();
    } catch (...) {
        text = "An unknown error occurred";
    }
    ShowException(text);
}

void TApplication::ShowException(const std::string& text) {
    if (OnException) {
        OnException(text);
        return;
    }
    HWND owner = ::GetActiveWindow();
    ::MessageBoxA(owner, text.c_str(), title_.c_str(), MB_OK | MB_ICONSTOP);
}

void TApplication::Minimize() {
    if (HWND main = mainLink_ ? mainLink_->FormWindow() : nullptr) ::ShowWindow(main, SW_MINIMIZE);
}

void TApplication::Restore() {
    HWND main = mainLink_ ? mainLink_->FormWindow() : nullptr;
    if (main && ::IsIconic(main)) ::ShowWindow(main, SW_RESTORE);
}

HCURSOR TApplication::Cursors(int index) const {
    auto it = cursors_.find(index);
    return it != cursors_.end() && it->second ? it->second : cursors_.at(crDefault);
}

void TApplication::SetCursors(int index, HCURSOR cursor) {
    cursors_[index] = cursor;
}

void TApplication::SetScreenCursor(int cursor) {
    screenCursor_ = cursor;
    POINT p;
    ::GetCursorPos(&p);
    // Take the new cursor now, not only at the mouse's next move.
    ::SetCursor(Cursors(cursor == crDefault ? crDefault : cursor));
    ::SetCursorPos(p.x, p.y);
}

}  // namespace ui
