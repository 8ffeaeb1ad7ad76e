#include "ui/ToolBarMenus.h"

#include <algorithm>
#include <vector>

#include "ui/MenuWindow.h"
#include "ui/TApplication.h"
#include "ui/TMenuItem.h"
#include "ui/TPopupMenu.h"
#include "ui/TToolBar.h"
#include "ui/TToolButton.h"

namespace ui {

namespace {

// The state of one run of TrackMenuBar or TrackDropdown.
struct Tracking {
    TToolBar* bar;
    TToolButton* current;
    bool menuBar;                 // moves between the bar's menus
    TToolButton* next = nullptr;  // to open when the current menu has closed
    bool nextByKeyboard = false;
    HMENU top = nullptr;         // the current button's submenu
    HMENU selectedIn = nullptr;  // the menu of the selected item
    bool selectedOpens = false;  // the selected item opens a submenu
    POINT lastMouse{-1, -1};
};

Tracking* tracking = nullptr;

bool IsMenuButton(const TToolButton* b) {
    return b->MenuItem() && b->Visible() && b->Enabled();
}

TToolButton* Neighbour(const TToolBar& bar, const TToolButton* from, int step) {
    std::vector<TToolButton*> buttons;
    for (int i = 0; i < bar.ButtonCount(); ++i)
        if (IsMenuButton(bar.Buttons(i))) buttons.push_back(bar.Buttons(i));
    auto it = std::find(buttons.begin(), buttons.end(), from);
    if (it == buttons.end()) return nullptr;
    const int n = static_cast<int>(buttons.size());
    return buttons[static_cast<std::size_t>(((it - buttons.begin()) + step + n) % n)];
}

TToolButton* ButtonAt(TToolBar& bar, POINT screen) {
    if (!bar.HandleAllocated()) return nullptr;
    ::ScreenToClient(bar.Handle(), &screen);
    return bar.ButtonAt(screen);
}

TToolButton* MenuButtonAt(TToolBar& bar, POINT screen) {
    TToolButton* b = ButtonAt(bar, screen);
    return b && IsMenuButton(b) ? b : nullptr;
}

void MoveTo(Tracking& t, TToolButton* next, bool byKeyboard) {
    t.next = next;
    t.nextByKeyboard = byKeyboard;
    ::EndMenu();
}

// A message of the open menu's loop; true when it is ours and the menu must not see it.
bool Filter(Tracking& t, const MSG& msg) {
    switch (msg.message) {
        case WM_MOUSEMOVE: {
            if (!t.menuBar) return false;
            if (msg.pt.x == t.lastMouse.x && msg.pt.y == t.lastMouse.y) return false;
            t.lastMouse = msg.pt;
            TToolButton* b = MenuButtonAt(*t.bar, msg.pt);
            if (b && b != t.current) MoveTo(t, b, false);
            return false;
        }
        case WM_LBUTTONDOWN: {
            if (!t.menuBar) {
                if (ButtonAt(*t.bar, msg.pt) != t.current) return false;
                MoveTo(t, nullptr, false);
                return true;
            }
            TToolButton* b = MenuButtonAt(*t.bar, msg.pt);
            if (!b) return false;
            // The open menu's own button closes it; another button opens its menu.
            MoveTo(t, b == t.current ? nullptr : b, false);
            return true;
        }
        case WM_KEYDOWN:
            if (!t.menuBar) return false;
            if (msg.wParam == VK_LEFT && t.selectedIn == t.top) {
                MoveTo(t, Neighbour(*t.bar, t.current, -1), true);
                return true;
            }
            if (msg.wParam == VK_RIGHT && !t.selectedOpens) {
                MoveTo(t, Neighbour(*t.bar, t.current, +1), true);
                return true;
            }
            return false;
        default:
            return false;
    }
}

LRESULT CALLBACK MenuFilterProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_MENU && tracking) {
        bool swallow = false;
        try {
            swallow = Filter(*tracking, *reinterpret_cast<MSG*>(lParam));
        } catch (...) {
            Application->HandleException(std::current_exception());
        }
        if (swallow) return TRUE;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

std::vector<TToolBar*>& MenuBars() {
    static std::vector<TToolBar*> bars;
    return bars;
}

HHOOK keyHook = nullptr;

// Alt + a letter in a window: the menu button of that letter on a menu bar of the
// window, if there is one. Windows that are disabled take no menu keys.
bool OpenByAccelerator(const MSG& msg) {
    HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
    if (!root || !::IsWindowEnabled(root)) return false;
    const char key = AcceleratorOf(std::string("&") + char(msg.wParam));
    for (TToolBar* bar : MenuBars()) {
        if (!bar->HandleAllocated() || ::GetAncestor(bar->Handle(), GA_ROOT) != root ||
            !::IsWindowVisible(bar->Handle()))
            continue;
        for (int i = 0; i < bar->ButtonCount(); ++i) {
            TToolButton* b = bar->Buttons(i);
            if (IsMenuButton(b) && key && AcceleratorOf(b->Caption()) == key) {
                ::PostMessageA(bar->Handle(), OpenMenuMessage(), static_cast<WPARAM>(i), 0);
                return true;
            }
        }
    }
    return false;
}

LRESULT CALLBACK MenuKeyProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (msg->message == WM_SYSCHAR) {
            try {
                if (OpenByAccelerator(*msg)) msg->message = WM_NULL;
            } catch (...) {
                Application->HandleException(std::current_exception());
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The message filter, for as long as one of the bar's menus is open.
class Session {
  public:
    explicit Session(Tracking& t)
        : hook_(
              ::SetWindowsHookExA(WH_MSGFILTER, MenuFilterProc, nullptr, ::GetCurrentThreadId())) {
        tracking = &t;
    }
    ~Session() {
        tracking = nullptr;
        if (hook_) ::UnhookWindowsHookEx(hook_);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

  private:
    HHOOK hook_;
};

// The button's screen rectangle: the menu opens below it and leaves it uncovered.
RECT ScreenRect(TToolBar& bar, const TToolButton* b) {
    RECT r = b->BoundsRect();
    ::MapWindowPoints(bar.Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Shows the button pressed while its menu is open.
class OpenLook {
  public:
    OpenLook(TToolBar& bar, TToolButton* b) : b_(b) {
        b_->SetMenuOpen(true);
        ::UpdateWindow(bar.Handle());
    }
    ~OpenLook() { b_->SetMenuOpen(false); }
    OpenLook(const OpenLook&) = delete;
    OpenLook& operator=(const OpenLook&) = delete;

  private:
    TToolButton* b_;
};

// The menu had the mouse: the bar learns where it is now, as from a move of its
// own, so that the buttons' enter and leave events and hover looks follow.
void MouseBack(TToolBar& bar) {
    POINT screen;
    ::GetCursorPos(&screen);
    HWND window = bar.Handle();
    POINT p = screen;
    ::ScreenToClient(window, &p);
    if (::WindowFromPoint(screen) == window)
        ::SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    else
        ::SendMessageA(window, WM_MOUSELEAVE, 0, 0);
}

}  // namespace

char AcceleratorOf(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;  // "&&" is an ampersand
            continue;
        }
        // One character, upper-cased in the window's code page.
        auto ch = reinterpret_cast<LPSTR>(
            static_cast<ULONG_PTR>(static_cast<unsigned char>(caption[i + 1])));
        return static_cast<char>(reinterpret_cast<ULONG_PTR>(::CharUpperA(ch)));
    }
    return 0;
}

UINT OpenMenuMessage() {
    static const UINT message = ::RegisterWindowMessageA("GlimraOpenMenu");
    return message;
}

void RegisterMenuBar(TToolBar* bar) {
    auto& bars = MenuBars();
    if (std::find(bars.begin(), bars.end(), bar) == bars.end()) bars.push_back(bar);
    if (!keyHook)
        keyHook = ::SetWindowsHookExA(WH_GETMESSAGE, MenuKeyProc, nullptr, ::GetCurrentThreadId());
}

void UnregisterMenuBar(TToolBar* bar) {
    auto& bars = MenuBars();
    bars.erase(std::remove(bars.begin(), bars.end(), bar), bars.end());
    if (bars.empty() && keyHook) {
        ::UnhookWindowsHookEx(keyHook);
        keyHook = nullptr;
    }
}

void TrackDropdown(TToolBar& bar, TToolButton* button) {
    TPopupMenu* menu = button ? button->DropdownMenu() : nullptr;
    if (tracking || !menu) return;
    Tracking t{&bar, button, false};
    {
        Session session(t);
        const RECT r = ScreenRect(bar, button);
        OpenLook look(bar, button);
        menu->Popup(r.left, r.bottom, &r);
    }
    MouseBack(bar);
}

void TrackMenuBar(TToolBar& bar, TToolButton* button, bool byKeyboard) {
    if (tracking || !button || !button->MenuItem()) return;
    Tracking t{&bar, button, true};
    Session session(t);
    while (t.current) {
        TToolButton* b = t.current;
        TMenuItem* item = b->MenuItem();
        t.next = nullptr;
        if (!item) break;
        if (item->Count() == 0) {
            // A top-level item without a submenu is a command of its own; it runs
            // from the loop, as a command chosen in a menu does.
            ::PostMessageA(MenuWindow(), WM_COMMAND, MAKEWPARAM(item->Command(), 0), 0);
            break;
        }
        const RECT r = ScreenRect(bar, b);
        t.top = item->Handle();
        t.selectedIn = t.top;
        t.selectedOpens = false;
        // A menu opened from the keyboard starts on its first item.
        if (byKeyboard) ::PostMessageA(MenuWindow(), WM_KEYDOWN, VK_DOWN, 0);
        {
            OpenLook look(bar, b);
            TrackPopup(t.top, r.left, r.bottom, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL, &r,
                       [&t](UINT, UINT flags, HMENU menu) {
                           t.selectedIn = menu;
                           t.selectedOpens = flags != 0xFFFF && (flags & MF_POPUP);
                       });
        }
        t.current = t.next;
        byKeyboard = t.nextByKeyboard;
    }
    MouseBack(bar);
}

}  // namespace ui
