#include "testing/ui/ControlsTestForm.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "testing/ui/PropertyAccess.h"
#include "ui/PictureLoader.h"

namespace {

using namespace ui;
using glimra::test::ControlsTest;
using glimra::test::GetIntProperty;
using glimra::test::GetTextProperty;
using glimra::test::Near;

using Layout = ControlsTest;

TEST_F(Layout, MakesEveryControlWithItsProperties) {
    auto& panel = form->Control<TPanel>("Panel1");
    EXPECT_EQ(panel.BevelOuter(), TBevelCut::bvRaised);
    EXPECT_EQ(panel.BevelInner(), TBevelCut::bvLowered);
    EXPECT_EQ(panel.BorderWidth(), 2);
    EXPECT_FALSE(panel.ParentBackground());  // it has a colour of its own
    EXPECT_EQ(panel.Color(), 0xF0E4EAu);
    auto& button = form->Control<TSpeedButton>("SpeedButton2");
    EXPECT_TRUE(button.Flat());
    EXPECT_EQ(button.NumGlyphs(), 2);
    EXPECT_EQ(button.GroupIndex(), 1);
    EXPECT_EQ(button.Glyph().Width(), 32);
    EXPECT_EQ(GetTextProperty(button, "Hint"), "Second button");
    EXPECT_EQ(form->Control<TScrollBox>("Box").VertScrollBar().Increment(), 12);
    EXPECT_TRUE(form->Control<TScrollBox>("Box").HorzScrollBar().Tracking());
    EXPECT_EQ(form->Control<TBevel>("Separator").Shape(), TBevelShape::bsTopLine);
    auto& ok = form->Control<TBitBtn>("OkButton");
    EXPECT_TRUE(ok.Default());
    EXPECT_EQ(ok.ModalResult(), mrOk);
    EXPECT_EQ(GetIntProperty(ok, "ModalResult"), mrOk);
    EXPECT_TRUE(::GetWindowLongA(ok.Handle(), GWL_STYLE) & BS_DEFPUSHBUTTON);
    // Labels take the parent's colour until they get one of their own.
    auto& title = form->Control<TLabel>("Title");
    EXPECT_TRUE(title.ParentColor());
    EXPECT_EQ(title.Color(), form->Color());
    EXPECT_EQ(form->Control<TLabel>("Counter").Color(), 0xF0E4EAu);
}

TEST_F(Layout, TabOrderIsTheOrderOfTheWindowsAndTheTabKeyFollowsIt) {
    auto& ok = form->Control<TBitBtn>("OkButton");
    auto& other = form->Control<TButton>("OtherButton");
    auto& wrapped = form->Control<TStaticText>("Wrapped");
    EXPECT_EQ(ok.TabOrder(), 0);
    EXPECT_EQ(other.TabOrder(), 1);
    EXPECT_LT(wrapped.TabOrder(), form->Control<TStaticText>("OneLine").TabOrder());
    EXPECT_TRUE(ok.TabStop());
    EXPECT_FALSE(wrapped.TabStop());
    EXPECT_EQ(::GetWindow(form->Handle(), GW_CHILD), ok.Handle());
    EXPECT_EQ(::GetWindow(ok.Handle(), GW_HWNDNEXT), other.Handle());
    other.SetTabOrder(0);
    EXPECT_EQ(::GetWindow(form->Handle(), GW_CHILD), other.Handle());
    EXPECT_EQ(ok.TabOrder(), 1);
    other.SetTabOrder(1);

    ShowForm();
    // Activation puts the focus on the first tab stop; Tab goes to the next
    // one and, past the last, back to the first.
    EXPECT_EQ(::GetFocus(), ok.Handle());
    ::PostMessageA(ok.Handle(), WM_KEYDOWN, VK_TAB, 0);
    application.ProcessMessages();
    EXPECT_EQ(::GetFocus(), other.Handle());
    ::PostMessageA(other.Handle(), WM_KEYDOWN, VK_TAB, 0);
    application.ProcessMessages();
    EXPECT_EQ(::GetFocus(), ok.Handle());
}

using Buttons = ControlsTest;

TEST_F(Buttons, AClickIsReportedOnceAndGivesTheFormItsModalResult) {
    ShowForm();
    auto& ok = form->Control<TBitBtn>("OkButton");
    ClickAt(ok.Handle(), 10, 10);
    EXPECT_EQ(form->events, std::vector<std::string>{"click OkButton"});
    EXPECT_EQ(form->ModalResult(), mrOk);
    // Released outside the button: no click.
    form->events.clear();
    MoveTo(ok.Handle(), 10, 10);
    ::SendMessageA(ok.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    ::SendMessageA(ok.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 10));
    ::SendMessageA(ok.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(200, 10));
    application.ProcessMessages();
    EXPECT_TRUE(form->events.empty());
}

TEST_F(Buttons, EnterClicksTheFocusedButtonElseTheDefaultOne) {
    ShowForm();
    auto& other = form->Control<TButton>("OtherButton");
    ::SetFocus(other.Handle());
    ::PostMessageA(other.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    application.ProcessMessages();
    ::SetFocus(form->Control<TStaticText>("Wrapped").Handle());
    ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    application.ProcessMessages();
    EXPECT_EQ(form->events, (std::vector<std::string>{"click OtherButton", "click OkButton"}));
}

using SpeedButtons = ControlsTest;

BOOL CALLBACK FindToolTip(HWND window, LPARAM found) {
    char name[64];
    ::GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, TOOLTIPS_CLASSA) == 0) *reinterpret_cast<HWND*>(found) = window;
    return TRUE;
}

TEST_F(SpeedButtons, ClicksHoverAndGroupsFollowTheMouse) {
    ShowForm();
    HWND panel = form->Control<TPanel>("Panel1").Handle();
    auto& first = form->Control<TSpeedButton>("SpeedButton1");
    auto& second = form->Control<TSpeedButton>("SpeedButton2");
    MoveTo(panel, 50, 15);
    EXPECT_TRUE(first.MouseInControl());
    // x = 71 is on both buttons; the one declared later is on top.
    MoveTo(panel, 71, 15);
    EXPECT_FALSE(first.MouseInControl());
    EXPECT_TRUE(second.MouseInControl());
    EXPECT_EQ(form->events, (std::vector<std::string>{"enter SpeedButton1", "leave SpeedButton1",
                                                      "enter SpeedButton2"}));
    form->events.clear();

    // A group button stays down; another of the group takes over; one that may
    // leave the whole group up comes up again at the next click.
    ClickAt(panel, 50, 15);
    EXPECT_TRUE(first.Down());
    ClickAt(panel, 80, 15);
    EXPECT_TRUE(second.Down());
    EXPECT_FALSE(first.Down());
    ClickAt(panel, 80, 15);
    EXPECT_TRUE(second.Down()) << "without AllowAllUp a group keeps one button down";
    ClickAt(panel, 50, 15);
    ClickAt(panel, 50, 15);
    EXPECT_FALSE(first.Down());
    EXPECT_FALSE(second.Down());
    // A disabled button neither clicks nor goes down.
    ClickAt(panel, 110, 15);
    int clicks = 0;
    for (const auto& e : form->events)
        if (e.rfind("click", 0) == 0) ++clicks;
    EXPECT_EQ(clicks, 5);
    EXPECT_EQ(form->events.back(), "leave SpeedButton1");
    // Pressed only while the mouse stays on it.
    MoveTo(panel, 50, 15);
    ::SendMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 15));
    EXPECT_TRUE(first.Pressed());
    ::SendMessageA(panel, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 15));
    EXPECT_FALSE(first.Pressed());
    ::SendMessageA(panel, WM_LBUTTONUP, 0, MAKELPARAM(300, 15));
    EXPECT_FALSE(first.Down());
}

TEST_F(SpeedButtons, TheGlyphIsBlendedAndTheHoverAndTheDisabledStateShow) {
    ShowForm();
    auto& panel = form->Control<TPanel>("Panel1");
    HWND window = panel.Handle();
    MoveTo(form->Handle(), 5, 300);  // away from every button
    Settle();
    auto& first = form->Control<TSpeedButton>("SpeedButton1");
    // The glyph's navy square in the middle; its transparent border shows the
    // picture under the button.
    const int cx = first.Left() + first.Width() / 2, cy = first.Top() + first.Height() / 2;
    EXPECT_TRUE(Near(PixelAt(window, cx, cy), RGB(0, 0, 128), 2));
    const COLORREF under = PixelAt(window, first.Left() + 3, first.Top() + 3);
    // Hovered: lighter there.
    MoveTo(window, cx, cy);
    Settle();
    const COLORREF hot = PixelAt(window, first.Left() + 3, first.Top() + 3);
    EXPECT_GT(GetRValue(hot) + GetGValue(hot) + GetBValue(hot),
              GetRValue(under) + GetGValue(under) + GetBValue(under) + 30);
    SaveScreenshot(form->Handle(), "controls-hover");
    // A disabled button shows the strip's disabled image, or, when the strip has
    // none, a grey copy of its glyph.
    auto& third = form->Control<TSpeedButton>("SpeedButton3");
    const int middle = third.Top() + third.Height() / 2;
    EXPECT_TRUE(  // ImageMagick's grey
        Near(PixelAt(window, third.Left() + third.Width() / 2, middle), RGB(126, 126, 126), 2));
    third.SetNumGlyphs(1);  // the whole strip is one glyph now, its navy square at 4 .. 11
    Settle();
    const COLORREF grey = PixelAt(window, third.Left() + 8, middle);
    EXPECT_EQ(GetRValue(grey), GetBValue(grey));
    EXPECT_EQ(GetRValue(grey), GetGValue(grey));
    EXPECT_GT(GetRValue(grey), 128);
}

TEST_F(SpeedButtons, TheHintOfTheButtonUnderTheMouseIsTheToolTip) {
    ShowForm();
    HWND panel = form->Control<TPanel>("Panel1").Handle();
    MoveTo(panel, 50, 15);
    MoveTo(panel, 80, 15);
    // The panel's tooltip has a tool for each button visited, with its hint.
    HWND tip = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindToolTip, reinterpret_cast<LPARAM>(&tip));
    ASSERT_NE(tip, nullptr);
    ASSERT_EQ(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
    auto& second = form->Control<TSpeedButton>("SpeedButton2");
    second.SetHint("Changed");
    MoveTo(panel, 50, 15);
    MoveTo(panel, 80, 15);
    char text[80] = {};
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = panel;
    tool.uId = reinterpret_cast<UINT_PTR>(&second);
    tool.lpszText = text;
    ::SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "Changed");
    // Resting on the button brings the tip up, with that text.
    EXPECT_TRUE(RunUntil([&] { return ::IsWindowVisible(tip) != FALSE; }, 3000));
    ::GetWindowTextA(tip, text, sizeof text);
    EXPECT_STREQ(text, "Changed");
    RECT r;
    ::GetWindowRect(tip, &r);
    EXPECT_GT(r.right - r.left, 20);
    Settle();
    SaveScreenshot(form->Handle(), "controls-tooltip");
}

using Texts = ControlsTest;

TEST_F(Texts, LabelsSizeThemselvesToTheirText) {
    auto& title = form->Control<TLabel>("Title");
    const int width = title.Width();
    EXPECT_GT(width, 20);
    EXPECT_GT(title.Height(), 8);
    title.SetCaption("Glimra Glimra");
    EXPECT_GT(title.Width(), width * 3 / 2);
    // Bold text is wider than regular text.
    TFontData font = title.Font();
    const int bold = title.Width();
    font.style = 0;
    title.SetFont(font);
    EXPECT_LT(title.Width(), bold);
    // Wrapped: the width stays, the height grows.
    title.SetWordWrap(true);
    title.SetWidth(40);
    title.SetCaption("one two three four five");
    EXPECT_EQ(title.Width(), 40);
    EXPECT_GT(title.Height(), 3 * 11);
    // Not AutoSize: the box stays.
    auto& info = form->Control<TLabel>("Info");
    info.SetCaption("A much longer text than the label can hold in its width");
    EXPECT_EQ(info.Width(), 120);
    // A right-aligned label grows to the left.
    title.SetWordWrap(false);
    title.SetAlignment(TAlignment::taRightJustify);
    const int right = title.Left() + title.Width();
    title.SetCaption("x");
    EXPECT_EQ(title.Left() + title.Width(), right);
}

// Changes under a hold are marked for repainting only when the last hold ends, and
// then every changed area is.
TEST_F(Texts, ARepaintHoldMarksTheChangedAreasWhenTheLastHoldEnds) {
    ShowForm();
    auto& title = form->Control<TLabel>("Title");
    auto& info = form->Control<TLabel>("Info");
    HWND main = form->Handle(), status = form->Control<TPanel>("StatusPanel").Handle();
    auto pending = [](HWND window, RECT& r) { return ::GetUpdateRect(window, &r, FALSE) != 0; };
    auto covers = [](const RECT& outer, const RECT& inner) {
        return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
               outer.bottom >= inner.bottom;
    };
    // Other programs' windows coming and going on the display also mark areas of
    // ours at any moment: a round that saw such a mark is done again.
    RECT r;
    bool markedEarly = true;
    for (int round = 0; round < 5 && markedEarly; ++round) {
        const RepaintHold outer;
        {
            const RepaintHold inner;
            ::ValidateRect(main, nullptr);
            ::ValidateRect(status, nullptr);
            title.SetCaption("A title that is held " + std::string(round + 1, '+'));
            info.SetCaption("Held " + std::to_string(round));
        }
        markedEarly = pending(main, r) || pending(status, r);
    }
    EXPECT_FALSE(markedEarly);
    ASSERT_TRUE(pending(main, r));
    EXPECT_TRUE(covers(r, title.BoundsRect()));
    ASSERT_TRUE(pending(status, r));
    EXPECT_TRUE(covers(r, info.BoundsRect()));
    // Without a hold a change is marked at once.
    Settle();
    ::ValidateRect(main, nullptr);
    title.SetCaption("Free");
    ASSERT_TRUE(pending(main, r));
    EXPECT_TRUE(covers(r, title.BoundsRect()));
}

TEST_F(Texts, ALabelOfLayoutCenterHasItsTextInTheMiddleOfItsHeight) {
    ShowForm();
    auto& info = form->Control<TLabel>("Info");
    HWND status = form->Control<TPanel>("StatusPanel").Handle();
    int first = -1, last = -1;
    for (int y = 0; y < info.Height(); ++y)
        for (int x = info.Left(); x < info.Left() + 40; ++x)
            if (GetRValue(PixelAt(status, x, info.Top() + y)) < 100) {
                if (first < 0) first = y;
                last = y;
            }
    ASSERT_GE(first, 0) << "no text drawn";
    EXPECT_LE(std::abs(first - (info.Height() - 1 - last)), 3) << first << " " << last;
}

TEST_F(Texts, StaticTextsWrapInAFixedBoxAndFitTheirTextOtherwise) {
    auto& wrapped = form->Control<TStaticText>("Wrapped");
    EXPECT_EQ(wrapped.Width(), 150);
    EXPECT_EQ(wrapped.Height(), 41);
    EXPECT_EQ(::GetWindowLongA(wrapped.Handle(), GWL_STYLE) & SS_TYPEMASK, DWORD(SS_LEFT));
    auto& line = form->Control<TStaticText>("OneLine");
    EXPECT_EQ(::GetWindowLongA(line.Handle(), GWL_STYLE) & SS_TYPEMASK, DWORD(SS_LEFTNOWORDWRAP));
    const int width = line.Width();
    line.SetCaption("One line, and more");
    EXPECT_GT(line.Width(), width + 20);
    ShowForm();
    // The text stands on the colour of its parent, and is drawn.
    RECT r;
    ::GetClientRect(wrapped.Handle(), &r);
    int ink = 0, background = 0;
    for (int y = 0; y < r.bottom; y += 2)
        for (int x = 0; x < r.right; x += 2) {
            const COLORREF c = PixelAt(wrapped.Handle(), x, y);
            if (c == ColorToRGB(form->Color())) ++background;
            if (GetRValue(c) < 80) ++ink;
        }
    EXPECT_GT(ink, 20);
    EXPECT_GT(background, ink);
    // The third line of the wrapped text has ink.
    int thirdLine = 0;
    for (int x = 0; x < r.right; ++x)
        for (int y = 28; y < 40; ++y)
            if (GetRValue(PixelAt(wrapped.Handle(), x, y)) < 80) ++thirdLine;
    EXPECT_GT(thirdLine, 0);
    SaveScreenshot(form->Handle(), "controls");
    // A transparent one stands on the picture under it (the red half of the
    // banner), its white text on top.
    auto& over = form->Control<TStaticText>("OverPicture");
    int red = 0, white = 0;
    ::GetClientRect(over.Handle(), &r);
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < std::min(20, int(r.right)); ++x) {
            const COLORREF c = PixelAt(over.Handle(), x, y);
            if (c == RGB(255, 0, 0)) ++red;
            if (c == RGB(255, 255, 255)) ++white;
        }
    EXPECT_GT(red, 100);
    EXPECT_GT(white, 5);
}

using Panels = ControlsTest;

TEST_F(Panels, AlignedChildrenStayInsideBevelsBorderAndPadding) {
    auto& panel = form->Control<TPanel>("Panel1");
    auto& image = form->Control<TImage>("PanelImage");
    // Outer and inner bevel of one pixel each and a border of two: 4, then the
    // padding of 10 at the left and right.
    EXPECT_EQ(image.Left(), 14);
    EXPECT_EQ(image.Top(), 4);
    EXPECT_EQ(image.Width(), panel.ClientWidth() - 28);
    EXPECT_EQ(image.Height(), panel.ClientHeight() - 8);
    auto& status = form->Control<TPanel>("StatusPanel");
    auto& counter = form->Control<TLabel>("Counter");
    auto& corner = form->Control<TPanel>("Corner");
    EXPECT_EQ(corner.Left() + corner.Width(), status.ClientWidth() - 10);
    EXPECT_EQ(counter.Left() + counter.Width() + 3, corner.Left());
    // An AutoSize panel whose children are hidden keeps its size; a visible
    // child sizes it.
    EXPECT_EQ(corner.Width(), 24);
    auto& hidden = form->Control<TImage>("CornerImage");
    hidden.Show();
    EXPECT_EQ(corner.Width(), 16);
    EXPECT_EQ(corner.Left() + corner.Width(), status.ClientWidth() - 10);

    ShowForm();
    // The raised outer bevel: light at the top left, dark at the bottom right.
    HWND window = panel.Handle();
    EXPECT_EQ(PixelAt(window, 5, 0), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(PixelAt(window, 5, panel.ClientHeight() - 1), ::GetSysColor(COLOR_BTNSHADOW));
    // The lowered inner bevel inside the border: the other way round.
    EXPECT_EQ(PixelAt(window, 5, 3), ::GetSysColor(COLOR_BTNSHADOW));
    // The panel's own colour in the border.
    EXPECT_EQ(PixelAt(window, 5, 1), RGB(0xEA, 0xE4, 0xF0));
    // A panel without a colour of its own shows its parent's.
    EXPECT_TRUE(corner.ParentBackground());
    EXPECT_EQ(PixelAt(corner.Handle(), 10, 10), RGB(0xEA, 0xE4, 0xF0));
}

using Pictures = ControlsTest;

TEST_F(Pictures, TheResourcePicturesShowAsTheyAre) {
    ShowForm();
    HWND window = form->Handle();
    // The JPEG of four squares stretched over the panel's client.
    auto& image = form->Control<TImage>("PanelImage");
    HWND panel = form->Control<TPanel>("Panel1").Handle();
    const int x = image.Left(), y = image.Top(), w = image.Width(), h = image.Height();
    EXPECT_TRUE(Near(PixelAt(panel, x + w / 4, y + h / 4), RGB(255, 0, 0), 40));
    EXPECT_TRUE(Near(PixelAt(panel, x + 3 * w / 4, y + h / 4), RGB(0, 255, 0), 40));
    EXPECT_TRUE(Near(PixelAt(panel, x + w / 4, y + 3 * h / 4), RGB(0, 0, 255), 40));
    EXPECT_TRUE(Near(PixelAt(panel, x + 3 * w / 4, y + 3 * h / 4), RGB(255, 255, 255), 40));
    // The 32-bit BMP, stretched: red half, transparent half over the form.
    auto& banner = form->Control<TImage>("Banner");
    EXPECT_EQ(PixelAt(window, banner.Left() + 8, banner.Top() + 16), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(window, banner.Left() + 56, banner.Top() + 16), ColorToRGB(form->Color()));
    // The GIF sized to its picture: red, then its transparent colour.
    auto& donate = form->Control<TImage>("Donate");
    EXPECT_EQ(donate.Width(), 8);
    EXPECT_EQ(donate.Height(), 8);
    EXPECT_EQ(PixelAt(window, donate.Left() + 1, donate.Top() + 4), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(window, donate.Left() + 6, donate.Top() + 4), ColorToRGB(form->Color()));
    // A click on it.
    ClickAt(window, donate.Left() + 2, donate.Top() + 2);
    EXPECT_EQ(form->events, std::vector<std::string>{"click Donate"});
    // The same picture drawn without transparency shows its stored colour.
    banner.SetTransparent(false);
    Settle();
    EXPECT_EQ(PixelAt(window, banner.Left() + 56, banner.Top() + 16), RGB(0, 0, 255));
    // Unscaled and centred: the 16 x 8 picture in the middle of the 64 x 32 box.
    banner.SetStretch(false);
    banner.SetCenter(true);
    Settle();
    EXPECT_EQ(PixelAt(window, banner.Left() + 24 + 2, banner.Top() + 12 + 2), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(window, banner.Left() + 24 + 12, banner.Top() + 12 + 2), RGB(0, 0, 255));
    EXPECT_EQ(PixelAt(window, banner.Left() + 20, banner.Top() + 14), ColorToRGB(form->Color()));
    // The transparent text on the banner follows: where the red was, the
    // form's colour shows now.
    auto& over = form->Control<TStaticText>("OverPicture");
    EXPECT_EQ(PixelAt(over.Handle(), 0, 1), ColorToRGB(form->Color()));
}

TEST_F(Pictures, AnAutoSizeImageTakesItsBitmapsSizeAndKeepsItWhenCleared) {
    auto& view = form->Control<TImage>("View");
    TBitmap picture;
    picture.SetPixelFormat(TPixelFormat::pf24bit);
    picture.SetSize(123, 45);
    view.SetBitmap(picture);
    EXPECT_EQ(view.Width(), 123);
    EXPECT_EQ(view.Height(), 45);
    EXPECT_EQ(view.Bitmap().Width(), 123);
    view.Clear();
    EXPECT_TRUE(view.Picture().Empty());
    EXPECT_EQ(view.Height(), 45);
    view.SetBounds(0, 0, 0, 0);
    EXPECT_EQ(view.Height(), 0);
    // A missing resource is an error, and the picture stays as it was.
    view.SetBitmap(picture);
    EXPECT_THROW(view.LoadPicture("no_such_picture"), EInvalidGraphic);
    EXPECT_EQ(view.Bitmap().Width(), 123);
}

}  // namespace
