#include "ui/TToolBar.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "testing/ui/MenuTestForm.h"
#include "ui/TImageList.h"

namespace {

using namespace ui;
using glimra::test::EntryInfo;
using glimra::test::MenuTest;

class ToolBars : public MenuTest {
  protected:
    static POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    // The middle of a button in its bar's client coordinates.
    static POINT Middle(TToolButton* b) {
        return {b->Left() + b->Width() / 2, b->Top() + b->Height() / 2};
    }
    TToolButton* MenuButton(int index) { return form->Bar("ToolBar2")->Buttons(index); }
    // The button whose menu is open, or nullptr.
    TToolButton* OpenButton() {
        TToolBar* bar = form->Bar("ToolBar2");
        for (int i = 0; i < bar->ButtonCount(); ++i)
            if (bar->Buttons(i)->MenuOpen()) return bar->Buttons(i);
        return nullptr;
    }
    // Closes whatever menu is open once the time is up, so that a failing test
    // does not wait for ever inside a menu.
    static bool GiveUpAfter(DWORD start, DWORD milliseconds) {
        if (::GetTickCount() - start < milliseconds) return false;
        ::EndMenu();
        return true;
    }
    // A length of the layout (pixels at 96 dpi) on this screen.
    int S(int pixels) const { return application.Scale(pixels); }
    static RECT Union(const RECT& a, const RECT& b) {
        RECT u;
        ::UnionRect(&u, &a, &b);
        return u;
    }
};

TEST_F(ToolBars, AMenuBarHasAButtonPerTopLevelItemAndIsRebuiltFromTheItems) {
    TToolBar* bar = form->Bar("ToolBar2");
    ASSERT_EQ(bar->ButtonCount(), 5);
    const char* captions[] = {"&File", "&Capture", "&View", "C&onfig", "&Help"};
    int x = bar->Indent();
    EXPECT_EQ(x, S(5));
    for (int i = 0; i < 5; ++i) {
        TToolButton* b = bar->Buttons(i);
        EXPECT_EQ(b->Caption(), captions[i]);
        EXPECT_EQ(b->MenuItem(), form->Find<TMainMenu>("MainMenu1")->Items()->Items(i));
        // Side by side from the indent, each as wide as its caption needs.
        EXPECT_EQ(b->Left(), x);
        EXPECT_EQ(b->Top(), 0);
        EXPECT_EQ(b->Height(), S(21));
        EXPECT_GT(b->Width(), S(20));
        x += b->Width();
    }
    EXPECT_GT(bar->Buttons(3)->Width(), bar->Buttons(2)->Width());  // "Config" > "View"

    // Captions changed (by a language, say) show after the menu is set anew.
    form->Item("MenuFile")->SetCaption("&Datei");
    form->Item("MenuView")->SetVisible(false);
    EXPECT_EQ(bar->Buttons(0)->Caption(), "&File");
    bar->SetMenu(nullptr);
    EXPECT_EQ(bar->ButtonCount(), 0);
    bar->SetMenu(form->Find<TMainMenu>("MainMenu1"));
    ASSERT_EQ(bar->ButtonCount(), 5);
    EXPECT_EQ(bar->Buttons(0)->Caption(), "&Datei");
    EXPECT_FALSE(bar->Buttons(2)->Visible());
    EXPECT_EQ(bar->Buttons(3)->Left(), bar->Buttons(1)->Left() + bar->Buttons(1)->Width());
    // A menu that goes away takes its buttons with it.
    delete form->Find<TMainMenu>("MainMenu1");
    EXPECT_EQ(bar->ButtonCount(), 0);
    EXPECT_EQ(bar->Menu(), nullptr);
}

TEST_F(ToolBars, ButtonsStandInARowOfTheBarsButtonSize) {
    TToolBar* bar = form->Bar("ToolBar1");
    ASSERT_EQ(bar->ButtonCount(), 4);
    TToolButton* copy = form->Button("ButtonCopy");
    TToolButton* rotate = form->Button("ButtonRotate");
    EXPECT_EQ(copy->BoundsRect().left, 0);
    EXPECT_EQ(copy->Width(), S(60));
    EXPECT_EQ(copy->Height(), S(44));
    EXPECT_EQ(form->Button("ButtonBrighten")->Left(), S(60));
    EXPECT_EQ(form->Button("Separator1")->Left(), 2 * S(60));
    EXPECT_EQ(form->Button("Separator1")->Width(), S(8));
    EXPECT_EQ(rotate->Left(), 2 * S(60) + S(8));
    // A drop-down button is wider by its arrow, at its right.
    EXPECT_GT(rotate->Width(), S(60));
    EXPECT_EQ(rotate->ArrowRect().left, S(60));
    EXPECT_EQ(rotate->ArrowRect().right, rotate->Width());
    // Hidden buttons leave no gap; the bar's settings lay them out again.
    form->Button("ButtonBrighten")->Hide();
    EXPECT_EQ(form->Button("Separator1")->Left(), S(60));
    bar->SetButtonWidth(50);
    bar->SetIndent(4);
    EXPECT_EQ(copy->Left(), 4);
    EXPECT_EQ(copy->Width(), 50);
    EXPECT_EQ(rotate->Left(), 4 + 50 + S(8));
}

TEST_F(ToolBars, EachButtonGetsItsOwnEnterAndLeaveEvents) {
    TToolBar* bar = form->Bar("ToolBar1");
    HWND window = bar->Handle();
    const POINT copy = Middle(form->Button("ButtonCopy"));
    const POINT brighten = Middle(form->Button("ButtonBrighten"));
    const POINT rotate = Middle(form->Button("ButtonRotate"));
    Mouse(window, WM_MOUSEMOVE, copy.x, copy.y);
    Mouse(window, WM_MOUSEMOVE, copy.x + 3, copy.y);
    Mouse(window, WM_MOUSEMOVE, rotate.x, rotate.y);
    Mouse(window, WM_MOUSEMOVE, brighten.x, brighten.y);  // disabled, and still told
    Mouse(window, WM_MOUSEMOVE, bar->Width() - 5, 10);    // the bar's empty end
    EXPECT_EQ(form->events,
              (std::vector<std::string>{"enter:ButtonCopy", "leave:ButtonCopy",
                                        "enter:ButtonRotate", "leave:ButtonRotate",
                                        "enter:ButtonBrighten", "leave:ButtonBrighten"}));
}

TEST_F(ToolBars, TheArrowOfADropDownButtonOpensItsMenuAndTheRestClicks) {
    TToolBar* bar = form->Bar("ToolBar1");
    HWND window = bar->Handle();
    TToolButton* rotate = form->Button("ButtonRotate");
    const POINT face = Middle(rotate);
    const RECT arrow = rotate->ArrowRect();
    const POINT onArrow{rotate->Left() + (arrow.left + arrow.right) / 2, face.y};

    Mouse(window, WM_MOUSEMOVE, face.x - 10, face.y);
    form->events.clear();
    Mouse(window, WM_LBUTTONDOWN, face.x - 10, face.y, MK_LBUTTON);
    Mouse(window, WM_LBUTTONUP, face.x - 10, face.y);
    EXPECT_EQ(form->events, std::vector<std::string>{"button:ButtonRotate"});

    // The mouse rests on the button when its arrow is pressed.
    Mouse(window, WM_MOUSEMOVE, onArrow.x, onArrow.y);
    form->events.clear();
    bool wasOpen = false;
    WhenMenuOpen([&] {
        wasOpen = rotate->MenuOpen();
        const RECT menu = ScreenRectOf(OpenMenuWindow());
        SaveScreenshot(Union(ScreenRectOf(window), menu), "dropdown");
        // The mouse goes into the menu, and the menu closes without a choice.
        MoveMouseTo(Centre(menu));
        ::EndMenu();
        return true;
    });
    Mouse(window, WM_LBUTTONDOWN, onArrow.x, onArrow.y, MK_LBUTTON);
    ASSERT_TRUE(MenuStepDone());
    EXPECT_TRUE(wasOpen);
    EXPECT_FALSE(rotate->MenuOpen());
    // The release after the arrow's menu is no click of the button.
    Mouse(window, WM_LBUTTONUP, onArrow.x, onArrow.y);
    Settle();
    // The mouse left the button while the menu had it: the button is told.
    EXPECT_EQ(form->events, (std::vector<std::string>{"popup:PopupMenu2", "leave:ButtonRotate"}));
}

TEST_F(ToolBars, AnOpenMenuFollowsTheMouseAndTheArrowKeysAlongTheBar) {
    TToolBar* bar = form->Bar("ToolBar2");
    std::vector<std::string> seen;  // the menus in the order they were open
    int stage = 0;
    const DWORD start = ::GetTickCount();
    WhenMenuOpen([&] {
        TToolButton* open = OpenButton();
        if (GiveUpAfter(start, 8000)) return true;
        if (!open || (!seen.empty() && seen.back() == open->Caption() && stage != 3)) return false;
        seen.push_back(open->Caption());
        switch (stage++) {
            case 0:  // File, opened by the mouse; point at Capture
                SaveScreenshot(Union(ScreenRectOf(form->Handle()), ScreenRectOf(OpenMenuWindow())),
                               "menu-bar");
                MoveMouseTo(Centre(ScreenRectOf(MenuButton(1))));
                return false;
            case 1:  // Capture: Right goes on to View
                ::PostMessageA(OpenMenuWindow(), WM_KEYDOWN, VK_RIGHT, 0);
                return false;
            case 2:  // View: Left goes back to Capture
                ::PostMessageA(OpenMenuWindow(), WM_KEYDOWN, VK_LEFT, 0);
                return false;
            default:  // Capture again: a click on its button closes it
                MoveMouseTo(Centre(ScreenRectOf(MenuButton(1))));
                INPUT click[2] = {};
                click[0].type = click[1].type = INPUT_MOUSE;
                click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
                click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
                ::SendInput(2, click, sizeof click[0]);
                return true;
        }
    });
    const POINT file = Middle(MenuButton(0));
    Mouse(bar->Handle(), WM_LBUTTONDOWN, file.x, file.y, MK_LBUTTON);
    EXPECT_TRUE(MenuStepDone());
    EXPECT_EQ(seen, (std::vector<std::string>{"&File", "&Capture", "&View", "&Capture"}));
    EXPECT_EQ(OpenButton(), nullptr);
    EXPECT_EQ(OpenMenuWindow(), nullptr);
    Settle();
    EXPECT_TRUE(form->events.empty());
}

TEST_F(ToolBars, AltAndAnAcceleratorLetterOpenThatMenuAtItsFirstItem) {
    bool firstSelected = false;
    TToolButton* opened = nullptr;
    const DWORD start = ::GetTickCount();
    WhenMenuOpen([&] {
        if (GiveUpAfter(start, 5000)) return true;
        HMENU capture = form->Item("MenuCapture")->Handle();
        if (!(EntryInfo(capture, 0).fState & MFS_HILITE)) return false;
        firstSelected = true;
        opened = OpenButton();
        ::PostMessageA(OpenMenuWindow(), WM_KEYDOWN, VK_RETURN, 0);
        return true;
    });
    ::PostMessageA(form->Handle(), WM_SYSCHAR, 'c', 1 << 29);
    ASSERT_TRUE(RunUntil([&] { return !form->events.empty(); }));
    EXPECT_TRUE(firstSelected);
    EXPECT_EQ(opened, MenuButton(1));
    EXPECT_EQ(form->events, std::vector<std::string>{"click:MenuDesktop"});

    // An item without a submenu is a command of the bar: it runs at once.
    form->events.clear();
    ::PostMessageA(form->Handle(), WM_SYSCHAR, 'h', 1 << 29);
    ASSERT_TRUE(RunUntil([&] { return !form->events.empty(); }));
    EXPECT_EQ(form->events, std::vector<std::string>{"click:MenuHelp"});
    EXPECT_EQ(OpenMenuWindow(), nullptr);

    // Letters of no menu, and a disabled window, open nothing.
    form->events.clear();
    WhenMenuOpen([] {
        ::EndMenu();
        return true;
    });
    ::PostMessageA(form->Handle(), WM_SYSCHAR, 'q', 1 << 29);
    Settle();
    form->SetEnabled(false);
    ::PostMessageA(form->Handle(), WM_SYSCHAR, 'f', 1 << 29);
    Settle();
    EXPECT_FALSE(MenuStepDone());
}

TEST_F(ToolBars, GradientsAndDisabledButtonsAreDrawnAsTheyShouldLook) {
    TToolBar* bar = form->Bar("ToolBar1");
    TToolButton* brighten = form->Button("ButtonBrighten");
    Settle();
    SaveScreenshot(ScreenRectOf(form->Handle()), "tool-bars");

    // The bars' empty right ends: the gradients from top to bottom.
    auto colourAt = [](HWND window, int x, int y) {
        POINT p{x, y};
        ::ClientToScreen(window, &p);
        auto pixel = GrabScreen({p.x, p.y, p.x + 1, p.y + 1});
        const std::uint8_t* b = pixel->ScanLine(0);
        return RGB(b[2], b[1], b[0]);
    };
    // Row y of h rows lies y/h of the way from the start colour to the end colour.
    auto gradientRow = [&](HWND window, int y, int h, COLORREF from, COLORREF to) {
        const COLORREF c = colourAt(window, bar->Width() - 3, y);
        auto part = [&](int a, int b, int got) { return std::abs(a + (b - a) * y / h - got); };
        return std::max({part(GetRValue(from), GetRValue(to), GetRValue(c)),
                         part(GetGValue(from), GetGValue(to), GetGValue(c)),
                         part(GetBValue(from), GetBValue(to), GetBValue(c))});
    };
    const COLORREF light = RGB(0xEA, 0xE4, 0xF0);
    HWND menuBar = form->Bar("ToolBar2")->Handle();
    const int menuHeight = form->Bar("ToolBar2")->Height(), height = bar->Height();
    for (int y : {0, menuHeight / 2, menuHeight - 1})
        EXPECT_LE(gradientRow(menuBar, y, menuHeight, light, RGB(0x49, 0x89, 0x9E)), 2);
    for (int y : {0, height / 2, height - 1})
        EXPECT_LE(gradientRow(bar->Handle(), y, height, light, RGB(0x96, 0xBB, 0xCD)), 2);

    // The disabled button's image is grey where the enabled one is coloured,
    // and its caption has no dark text colour.
    auto saturation = [&](bool enabled) {
        brighten->SetEnabled(enabled);
        Settle();
        auto shot = GrabScreen(ScreenRectOf(brighten));
        int most = 0, darkest = 255;
        for (int y = 0; y < shot->Height(); ++y)
            for (int x = 0; x < shot->Width(); ++x) {
                const std::uint8_t* p = shot->ScanLine(y) + 3 * x;
                const int hi = std::max({p[0], p[1], p[2]}), lo = std::min({p[0], p[1], p[2]});
                if (y < 24) most = std::max(most, hi - lo);    // the image
                if (y >= 24) darkest = std::min(darkest, lo);  // the caption
            }
        return std::pair{most, darkest};
    };
    const auto [disabledColour, disabledText] = saturation(false);
    const auto [enabledColour, enabledText] = saturation(true);
    EXPECT_GT(enabledColour, 100);
    EXPECT_LT(disabledColour, 40);
    EXPECT_LT(enabledText, 40);
    EXPECT_GT(disabledText, 90);
}

}  // namespace
