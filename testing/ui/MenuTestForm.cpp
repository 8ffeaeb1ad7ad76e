#include "testing/ui/MenuTestForm.h"

#include <cstdio>
#include <stdexcept>

#include "testing/desktop/Desktop.h"

namespace glimra::test {

namespace {

struct MenuStep {
    std::function<bool()> step;
    bool done = false;
    bool running = false;  // a step that lets messages through must not run itself again
    UINT_PTR timer = 0;
};

MenuStep menuStep;

void CALLBACK MenuStepTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (menuStep.done || menuStep.running || !MenuTest::OpenMenuWindow() || !menuStep.step) return;
    menuStep.running = true;
    const bool done = menuStep.step();
    menuStep.running = false;
    if (done) {
        menuStep.done = true;
        ::KillTimer(nullptr, menuStep.timer);
        menuStep.timer = 0;
    }
}

}  // namespace

MenuTest::MenuTest() {
    form = ui::TForm::Make<TMenuTestForm>(&application);
    form->Show();
    ::SetForegroundWindow(form->Handle());
    Settle();
}

MenuTest::~MenuTest() {
    if (menuStep.timer) ::KillTimer(nullptr, menuStep.timer);
    menuStep = {};
    delete form;
}

void MenuTest::WhenMenuOpen(std::function<bool()> step) {
    if (menuStep.timer) ::KillTimer(nullptr, menuStep.timer);
    menuStep.step = std::move(step);
    menuStep.done = false;
    // A thread timer: the menu's own loop dispatches it while the menu is open.
    menuStep.timer = ::SetTimer(nullptr, 0, 50, MenuStepTimer);
}

bool MenuTest::MenuStepDone() const {
    return menuStep.done;
}

HWND MenuTest::OpenMenuWindow() {
    HWND menu = ::FindWindowA("#32768", nullptr);
    return menu && ::IsWindowVisible(menu) ? menu : nullptr;
}

void MenuTest::Settle() {
    for (int i = 0; i < 5; ++i) {
        application.ProcessMessages();
        ::Sleep(20);
    }
}

std::unique_ptr<ui::TBitmap> MenuTest::GrabScreen(const RECT& area) {
    auto bitmap = std::make_unique<ui::TBitmap>();
    bitmap->SetPixelFormat(ui::TPixelFormat::pf24bit);
    bitmap->SetSize(area.right - area.left, area.bottom - area.top);
    win::WindowDC screen = win::WindowDC::Of(nullptr);
    ::BitBlt(bitmap->Canvas().Handle(), 0, 0, bitmap->Width(), bitmap->Height(), screen.Get(),
             area.left, area.top, SRCCOPY);
    ::GdiFlush();
    return bitmap;
}

void MenuTest::SaveScreenshot(const RECT& area, const std::string& name) {
    glimra::test::SaveScreenshot(area, "menus-" + name);
}

RECT MenuTest::ScreenRectOf(HWND window) {
    RECT r;
    ::GetWindowRect(window, &r);
    return r;
}

RECT MenuTest::ScreenRectOf(ui::TToolButton* button) {
    RECT r = button->BoundsRect();
    ::MapWindowPoints(button->Parent()->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void MenuTest::MoveMouseTo(POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = ::MulDiv(screen.x, 65536, ::GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = ::MulDiv(screen.y, 65536, ::GetSystemMetrics(SM_CYSCREEN)) + 1;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof input);
    for (int i = 0; i < 100; ++i) {
        POINT p;
        ::GetCursorPos(&p);
        if (p.x == screen.x && p.y == screen.y) return;
        ::Sleep(10);
    }
}

void MenuTest::Mouse(HWND window, UINT message, int x, int y, WPARAM keys) {
    ::SendMessageA(window, message, keys, MAKELPARAM(x, y));
}

std::string EntryText(HMENU menu, int position) {
    char text[256] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

MENUITEMINFOA EntryInfo(HMENU menu, int position) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_BITMAP | MIIM_DATA;
    ::GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
    return info;
}

}  // namespace glimra::test
