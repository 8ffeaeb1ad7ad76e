#include "ui/TTrayIcon.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include "testing/ui/MenuTestForm.h"
#include "ui/MenuWindow.h"

namespace {

using namespace ui;
using glimra::test::MenuTest;

using TrayIcons = MenuTest;

// Whether the notification area holds the tray icon's icon: only a shown icon
// can be changed.
bool IconShown(TTrayIcon& tray) {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = tray.Handle();
    data.uID = 1;
    data.uFlags = NIF_TIP;
    lstrcpyA(data.szTip, tray.Hint().c_str());
    return ::Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

TEST_F(TrayIcons, TheIconShowsAndComesBackWhenTheTaskBarRestarts) {
    auto* tray = form->Find<TTrayIcon>("TrayIcon1");
    ASSERT_NE(tray, nullptr);
    EXPECT_NE(tray->IconHandle(), nullptr);  // the program's icon
    EXPECT_FALSE(IconShown(*tray));
    tray->SetVisible(true);
    ASSERT_TRUE(IconShown(*tray));

    // Under the virtual desktop the notification area is in the desktop's corner.
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    tray->SetBalloonTitle("Glimra");
    tray->SetBalloonHint("I am here");
    tray->ShowBalloonHint();
    RunUntil([] { return false; }, 3000);
    SaveScreenshot({w / 2, h / 2, w, h}, "tray");

    // A new task bar knows no icons: the tray icon shows its icon again.
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = tray->Handle();
    data.uID = 1;
    ::Shell_NotifyIconA(NIM_DELETE, &data);
    ASSERT_FALSE(IconShown(*tray));
    ::SendMessageA(tray->Handle(), ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(IconShown(*tray));

    tray->SetVisible(false);
    EXPECT_FALSE(IconShown(*tray));
    // A hidden icon is not put back.
    ::SendMessageA(tray->Handle(), ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_FALSE(IconShown(*tray));
}

TEST_F(TrayIcons, ClicksOnTheIconReachItsEventsAndItsMenu) {
    auto* tray = form->Find<TTrayIcon>("TrayIcon1");
    tray->SetVisible(true);
    ::SendMessageA(tray->Handle(), TTrayIcon::kCallbackMessage, 1, WM_LBUTTONDBLCLK);
    EXPECT_EQ(form->events, std::vector<std::string>{"dblclick:TrayIcon1"});

    // The right button opens the menu at the mouse, which a choice closes.
    form->events.clear();
    MoveMouseTo({300, 200});
    RECT menu{};
    HWND foreground = nullptr;
    WhenMenuOpen([&] {
        ::GetWindowRect(OpenMenuWindow(), &menu);
        foreground = ::GetForegroundWindow();
        ::PostMessageA(OpenMenuWindow(), WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageA(OpenMenuWindow(), WM_KEYDOWN, VK_RETURN, 0);
        return true;
    });
    ::SendMessageA(tray->Handle(), TTrayIcon::kCallbackMessage, 1, WM_RBUTTONUP);
    ASSERT_TRUE(MenuStepDone());
    EXPECT_EQ(menu.left, 300);
    EXPECT_EQ(menu.top, 200);
    EXPECT_EQ(foreground, MenuWindow());
    ASSERT_TRUE(RunUntil([&] { return form->events.size() >= 2; }));
    EXPECT_EQ(form->events, (std::vector<std::string>{"popup:PopupMenu1", "click:TrayCapture"}));

    // Without a menu, the right button does nothing.
    tray->SetPopupMenu(nullptr);
    ::SendMessageA(tray->Handle(), TTrayIcon::kCallbackMessage, 1, WM_RBUTTONUP);
    EXPECT_EQ(form->events.size(), 2u);
}

}  // namespace
