// The editor's tools on glimra.exe, driven only by keys and the mouse: a white
// picture taken with F10 from a white window (with a black line near its foot),
// each tool used on it, and every result read back from the clipboard after
// Copy, then undone and redone by key.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "testing/desktop/Desktop.h"
#include "testing/desktop/MainWindowLayout.h"
#include "testing/desktop/OtherProgram.h"
#include "testing/desktop/Program.h"
#include "testing/desktop/ProgramDriving.h"

namespace {

using namespace glimra::test;

constexpr const char* kCaption = "Norvanta Glimra 1.3";
constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0), kRed = RGB(255, 0, 0);
// The white window, and the black line over it: rows 140 and 141 of the picture.
constexpr RECT kWhiteWindow{700, 400, 900, 550};
constexpr RECT kBlackLine{700, 540, 900, 542};

class Editor : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InThrowAwayPrefix()) GTEST_SKIP() << "outside the test harness's Wine prefix";
        folder = TestFolder("editor");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
        ::Sleep(60);
        for (int key : {VK_F7, VK_F8, VK_F9, VK_F10})
            ::GetAsyncKeyState(key);
        white = other.SolidWindow(kWhiteWindow, kWhite);
        other.SolidWindow(kBlackLine, kBlack);
    }
    void TearDown() override {
        if (InThrowAwayPrefix()) ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    }

    HWND Start(Program& program) {
        HWND main = program.WaitForWindow(kCaption);
        if (!main) return nullptr;
        PassTheReminder(program, main, "");
        MouseAside();
        return main;
    }
    // F10 on the white window, away from the line: the 200 x 150 picture.
    bool TakeWhitePicture(HWND main) {
        PressKey(VK_F10);
        HWND overlay = WaitForOverlay("CaptureControl");
        if (!overlay) return false;
        ClickAt({800, 450});
        if (!WaitFor([&] { return !::IsWindow(overlay); }, 5000)) return false;
        WaitFor([&] { return ::IsWindowVisible(main) && !::IsIconic(main); }, 5000);
        ::Sleep(400);
        Activate(main);
        return Copy(main).width == 200;
    }
    static void Activate(HWND main) {
        ::SetForegroundWindow(main);
        WaitFor([&] { return ::GetForegroundWindow() == main; }, 3000);
        ::Sleep(150);
    }
    static Pixels Copy(HWND main) {
        MouseAside();
        if (!CopyWithTheButton(main)) return {};
        return ClipboardPixels();
    }
    static void CtrlAnd(WORD letter) {
        KeyEvents({{VK_CONTROL, true}, {letter, true}, {letter, false}, {VK_CONTROL, false}});
        ::Sleep(300);
    }
    static void ClickPicture(HWND main, POINT p) {
        MoveAndRest(PicturePoint(main, p.x, p.y));
        MouseEvent(MOUSEEVENTF_LEFTDOWN);
        MouseEvent(MOUSEEVENTF_LEFTUP);
        ::Sleep(300);
    }
    // Runs a use of a tool and checks its result; then Ctrl+Z gives back the
    // picture before exactly, and Ctrl+Y the one after.
    void Use(HWND main, const char* what, const std::function<void()>& use,
             const std::function<void(const Pixels& before, const Pixels& after)>& check) {
        SCOPED_TRACE(what);
        const Pixels before = Copy(main);
        Activate(main);
        use();
        const Pixels after = Copy(main);
        check(before, after);
        Activate(main);
        CtrlAnd('Z');
        EXPECT_TRUE(Copy(main) == before) << "undone";
        Activate(main);
        CtrlAnd('Y');
        EXPECT_TRUE(Copy(main) == after) << "redone";
        SaveScreenshot(main, std::string("editor-") + what);
    }

    std::string folder;
    OtherProgram other;
    HWND white = nullptr;
};

TEST_F(Editor, EveryToolOnAWhitePicture_UndoneAndRedone_AndItsColourAndWidthKeptAcrossAStart) {
    Program program(ProgramPath(), folder);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    ASSERT_TRUE(TakeWhitePicture(main)) << program.DescribeWindows();

    Use(
        main, "rectangle",
        [&] {
            PressKey('R');
            DragInView(main, {10, 10}, {60, 40});
        },
        [](const Pixels& before, const Pixels& after) {
            ASSERT_EQ(after.width, 200);
            for (int y = 0; y < 150; ++y)
                for (int x = 0; x < 200; ++x) {
                    const bool inside = x >= 10 && x < 60 && y >= 10 && y < 40;
                    const bool frame = inside && (x < 13 || x >= 57 || y < 13 || y >= 37);
                    ASSERT_EQ(after.At(x, y), frame ? kRed : before.At(x, y)) << x << "," << y;
                }
        });

    Use(
        main, "crop",
        [&] {
            PressKey('C');
            DragInView(main, {20, 20}, {120, 80});
        },
        [](const Pixels& before, const Pixels& after) {
            EXPECT_TRUE(after == Part(before, {20, 20, 120, 80}));
            EXPECT_EQ(after.width, 100);
            EXPECT_EQ(after.height, 60);
        });

    ASSERT_TRUE(TakeWhitePicture(main));
    Use(
        main, "arrow",
        [&] {
            PressKey('A');
            DragInView(main, {20, 100}, {150, 100});
        },
        [](const Pixels& before, const Pixels& after) {
            for (int x = 24; x <= 130; ++x)
                ASSERT_EQ(after.At(x, 100), kRed) << x;
            bool above = false, below = false;
            for (int x = 130; x <= 150; ++x) {
                above = above || after.At(x, 100 - 9) != kWhite;
                below = below || after.At(x, 100 + 9) != kWhite;
            }
            EXPECT_TRUE(above && below) << "the head reaches three widths across";
            for (int y = 0; y < 150; ++y)
                for (int x = 151; x < 200; ++x)
                    ASSERT_EQ(after.At(x, y), before.At(x, y)) << x << "," << y;
        });

    Use(
        main, "highlighter",
        [&] {
            PressKey('H');
            DragInView(main, {5, 130}, {150, 148});
        },
        [](const Pixels& before, const Pixels& after) {
            for (int y = 0; y < 150; ++y)
                for (int x = 0; x < 200; ++x) {
                    const bool inside = x >= 5 && x < 150 && y >= 130 && y < 148;
                    const COLORREF was = before.At(x, y);
                    const COLORREF expected = !inside         ? was
                                              : was == kWhite ? RGB(255, 255, 0)
                                                              : was;
                    ASSERT_EQ(after.At(x, y), expected) << x << "," << y;
                }
            EXPECT_EQ(after.At(50, 140), kBlack);
        });

    // Text: the ink lies right of and below the click, within the text's own box.
    HDC screen = ::GetDC(nullptr);
    HFONT font = ::CreateFontA(-::MulDiv(20, 96, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               ANTIALIASED_QUALITY, DEFAULT_PITCH, "Tahoma");
    HGDIOBJ old = ::SelectObject(screen, font);
    SIZE text{};
    ::GetTextExtentPoint32A(screen, "Glimra", 6, &text);
    ::SelectObject(screen, old);
    ::DeleteObject(font);
    ::ReleaseDC(nullptr, screen);
    const auto typeGlimra = [] {
        KeyEvents({{VK_SHIFT, true}, {'G', true}, {'G', false}, {VK_SHIFT, false}});
        Keys({'L', 'I', 'M', 'R', 'A'});
        ::Sleep(200);
    };
    for (int lines = 1; lines <= 2; ++lines) {
        ASSERT_TRUE(TakeWhitePicture(main));
        Use(
            main, lines == 1 ? "text" : "two-lines",
            [&] {
                PressKey('T');
                ClickPicture(main, {30, 30});
                typeGlimra();
                if (lines == 2) {
                    PressKey(VK_RETURN);
                    typeGlimra();
                }
                KeyEvents({{VK_CONTROL, true},
                           {VK_RETURN, true},
                           {VK_RETURN, false},
                           {VK_CONTROL, false}});
                ::Sleep(300);
            },
            [&](const Pixels& before, const Pixels& after) {
                RECT ink{200, 150, 0, 0};
                bool exact = false;
                for (int y = 0; y < 150; ++y)
                    for (int x = 0; x < 200; ++x) {
                        const COLORREF c = after.At(x, y);
                        if (c == before.At(x, y)) continue;
                        ink = {std::min(ink.left, LONG(x)), std::min(ink.top, LONG(y)),
                               std::max(ink.right, LONG(x + 1)), std::max(ink.bottom, LONG(y + 1))};
                        exact = exact || c == kRed;
                        ASSERT_GE(GetRValue(c), GetGValue(c)) << "ink in the tool colour";
                    }
                EXPECT_TRUE(exact);
                EXPECT_GE(ink.left, 30);
                EXPECT_GE(ink.top, 30);
                EXPECT_LE(ink.right, 30 + text.cx);
                EXPECT_LE(ink.bottom, 30 + lines * text.cy);
                // Two lines reach below one line's height.
                if (lines == 2) {
                    EXPECT_GT(ink.bottom, 30 + text.cy);
                }
            });
    }

    // Step numbers: circles of the tool colour centred on the clicks, white inside.
    const POINT clicks[] = {{40, 50}, {100, 50}, {160, 50}};
    Pixels firstSteps;
    ASSERT_TRUE(TakeWhitePicture(main));
    // Each click is a step of its own: the third is undone and redone.
    Activate(main);
    PressKey('N');
    ClickPicture(main, clicks[0]);
    ClickPicture(main, clicks[1]);
    Use(
        main, "step-numbers", [&] { ClickPicture(main, clicks[2]); },
        [&](const Pixels&, const Pixels& after) {
            firstSteps = after;
            for (POINT p : clicks) {
                int left = 200, right = -1, whites = 0;
                for (int x = p.x - 29; x < p.x + 29 && x < 200; ++x)
                    if (after.At(x, p.y + 16) == kRed) left = std::min(left, x), right = x;
                for (int y = p.y - 10; y <= p.y + 10; ++y)
                    for (int x = p.x - 10; x <= p.x + 10; ++x)
                        whites += after.At(x, y) == kWhite;
                // The row 16 below the centre crosses the circle symmetrically.
                EXPECT_NEAR((left + right) / 2.0, p.x, 1.0) << p.x;
                EXPECT_GT(right - left, 4);
                EXPECT_GT(whites, 5) << "the number in white at " << p.x;
                EXPECT_EQ(after.At(p.x - 15, p.y), kRed);
            }
        });
    // After a new capture, the next is number 1 again: the same pixels as the
    // first circle.
    ASSERT_TRUE(TakeWhitePicture(main));
    ClickPicture(main, clicks[0]);
    const Pixels again = Copy(main);
    EXPECT_TRUE(Part(again, {10, 20, 70, 80}) == Part(firstSteps, {10, 20, 70, 80}));

    // A capture of a patterned window marked up with several tools, for the
    // README.
    other.PatternWindow({0, 0, 420, 330});
    ASSERT_TRUE(CaptureWithKey(VK_F7, main));
    Activate(main);
    PressKey('R');
    DragInView(main, {40, 40}, {200, 140});
    PressKey('A');
    DragInView(main, {330, 250}, {210, 150});
    PressKey('H');
    DragInView(main, {40, 200}, {300, 224});
    PressKey('N');
    ClickPicture(main, {40, 40});
    ClickPicture(main, {330, 250});
    PressKey('T');
    ClickPicture(main, {230, 60});
    KeyEvents({{VK_SHIFT, true}, {'H', true}, {'H', false}, {VK_SHIFT, false}});
    Keys({'E', 'R', 'E'});
    KeyEvents({{VK_CONTROL, true}, {VK_RETURN, true}, {VK_RETURN, false}, {VK_CONTROL, false}});
    ::Sleep(300);
    MouseAside();
    SaveScreenshot(main, "editor-marked-up");
    // The rectangle picked with the Select tool, its handles shown.
    PressKey('V');
    ClickPicture(main, {120, 40});
    MouseAside();
    SaveScreenshot(main, "editor-marked-up-selected");
    PressKey(VK_ESCAPE);
    PressKey(VK_ESCAPE);

    // Blue and a width of 5 from the Edit menu, kept in the registry at once and
    // after a new start.
    Activate(main);
    AltAnd('E');
    ASSERT_NE(WaitForMenu(program), nullptr);
    Keys({'L', 'B'});
    ASSERT_TRUE(MenusClosed(program));
    AltAnd('E');
    ASSERT_NE(WaitForMenu(program), nullptr);
    Keys({'W', '5'});
    ASSERT_TRUE(MenusClosed(program));
    EXPECT_EQ(Setting("ToolColour"), "0000FF");
    EXPECT_EQ(Setting("ToolWidth"), "5");
    ExitWithTheMenu(program, main, 'F', 'X');

    Program second(ProgramPath(), folder);
    main = Start(second);
    ASSERT_NE(main, nullptr) << second.DescribeWindows();
    ASSERT_TRUE(TakeWhitePicture(main));
    PressKey('R');
    DragInView(main, {10, 10}, {60, 40});
    const Pixels frame = Copy(main);
    for (int x = 10; x < 60; ++x)
        for (int y = 10; y < 15; ++y)
            ASSERT_EQ(frame.At(x, y), RGB(0, 0, 255)) << x << "," << y;
    EXPECT_EQ(frame.At(30, 15), kWhite);
    ExitWithTheMenu(second, main, 'F', 'X');
}

}  // namespace
