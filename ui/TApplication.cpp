#include "ui/TApplication.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "ui/TForm.h"
#include "ui/TTimer.h"

namespace ui {

TApplication* Application = nullptr;

namespace {

LRESULT CALLBACK UtilityWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        Guarded([wParam] { TTimer::Tick(wParam); });
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void Guarded(const std::function<void()>& step) {
    try {
        step();
    } catch (...) {
        Application->HandleException(std::current_exception());
    }
}

TApplication::TApplication() : TComponent(nullptr), instance_(::GetModuleHandleA(nullptr)) {
    Application = this;
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
    if (utility_) ::DestroyWindow(utility_);
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
    RegisterWindowClasses(instance_);
}

HWND TApplication::UtilityWindow() {
    if (!utility_) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = UtilityWindowProc;
        wc.hInstance = instance_;
        wc.lpszClassName = "GlimraUtility";
        ::RegisterClassA(&wc);
        utility_ = ::CreateWindowExA(0, "GlimraUtility", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     instance_, nullptr);
        if (!utility_) throw std::runtime_error("cannot create the application's window");
    }
    return utility_;
}

void TApplication::AddForm(TForm* form) {
    forms_.push_back(form);
    if (!mainForm_) mainForm_ = form;
}

void TApplication::RemoveForm(TForm* form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
    if (mainForm_ == form) mainForm_ = nullptr;
}

void TApplication::Run() {
    if (mainForm_) mainForm_->Show();
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
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
        // Keys of a form with tab stops move between its controls as in a dialog.
        auto* form =
            dynamic_cast<TForm*>(TWinControl::FromHandle(::GetAncestor(msg.hwnd, GA_ROOT)));
        bool handled = false;
        try {
            handled = form && form->DialogMessage(msg);
        } catch (...) {
            // A button's handler failed: reported, and the key is used up.
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
    if (mainForm_ && mainForm_->HandleAllocated()) ::ShowWindow(mainForm_->Handle(), SW_MINIMIZE);
}

void TApplication::Restore() {
    if (mainForm_ && mainForm_->HandleAllocated() && ::IsIconic(mainForm_->Handle()))
        ::ShowWindow(mainForm_->Handle(), SW_RESTORE);
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
