// glimra.exe on a desktop of ordinary small windows that paint themselves, driven
// only from this process (keys, mouse, messages a system sends) and checked by
// what it leaves: the clipboard, saved files, the registry and its own windows
// on the screen. Nothing lies under the captures that would hide a repaint still
// on its way to the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/Settings.h"
#include "capture/Magnifier.h"
#include "testing/desktop/Desktop.h"
#include "testing/desktop/MainWindowLayout.h"
#include "testing/desktop/OtherProgram.h"
#include "testing/desktop/Program.h"
#include "testing/desktop/ProgramDriving.h"

namespace {

using namespace glimra::test;

constexpr const char* kCaption = "Norvanta Glimra 1.3";
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kStatusBar = RGB(0xEA, 0xE4, 0xF0);

// The red window's area, and the other program's window with a button on it.
constexpr RECT kRedWindow{100, 300, 300, 420};
constexpr RECT kOtherWindow{700, 300, 1000, 500};
constexpr RECT kOtherButton{30, 40, 150, 80};

class OrdinaryDesktop : public ::testing::Test {
  protected:
    // The program keeps its settings under the user's own key: only in the
    // harness's throw-away prefix may these tests remove them.
    void SetUp() override {
        if (!InThrowAwayPrefix()) GTEST_SKIP() << "outside the test harness's Wine prefix";
        Prepare();
    }
    void Prepare() {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = TestFolder(std::string("desktop-") + test->name());
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
        // Presses of the capture keys that earlier tests left are not for this
        // one. Wine answers a key query from a cache for 50 ms.
        ::Sleep(60);
        for (int key : {VK_F7, VK_F8, VK_F9, VK_F10})
            ::GetAsyncKeyState(key);
        red = other.SolidWindow(kRedWindow, kRed);
        otherWindow = other.PatternWindow(kOtherWindow, WS_POPUP | WS_CAPTION);
        button = other.PatternButton(otherWindow, kOtherButton);
        other.SolidWindow({420, 40, 620, 140}, RGB(0, 0, 160), WS_OVERLAPPEDWINDOW);
    }
    void TearDown() override {
        if (InThrowAwayPrefix()) ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    }

    // Starts the program and waits through its reminder; the main window.
    HWND Start(Program& program, const char* caption = kCaption) {
        HWND main = program.WaitForWindow(caption);
        if (!main) return nullptr;
        PassTheReminder(program, main, "");
        MouseAside();
        return main;
    }

    // A pixel of the status bar 4 from the right and 10 from the bottom of the
    // client area: the status bar's colour when the window's content is laid out
    // to its full width.
    static COLORREF RightEndOfStatusBar(HWND main) {
        RECT client;
        ::GetClientRect(main, &client);
        POINT p{client.right - 4, client.bottom - 10};
        ::ClientToScreen(main, &p);
        return ScreenPixels({p.x, p.y, p.x + 1, p.y + 1}).At(0, 0);
    }

    // Waits until the main window is back after a capture with an overlay.
    static bool BackFromOverlay(HWND overlay, HWND main) {
        if (!WaitFor([&] { return !::IsWindow(overlay); }, 5000)) return false;
        const bool back =
            WaitFor([&] { return ::IsWindowVisible(main) && !::IsIconic(main); }, 5000);
        ::Sleep(400);
        return back;
    }

    std::string folder;
    OtherProgram other;
    HWND red = nullptr, otherWindow = nullptr, button = nullptr;
};

TEST_F(OrdinaryDesktop,
       SelectionsAndPicksHoldOnlyTheScreen_TheWindowComesBackWhole_AndTheSessionEndKeepsTheCounts) {
    Program program(ProgramPath(), folder);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr) << program.DescribeWindows();

    // F7 first, so that the view holds a picture as large as the display.
    ASSERT_TRUE(CaptureWithKey(VK_F7, main)) << program.DescribeWindows();
    EXPECT_EQ(RightEndOfStatusBar(main), kStatusBar);

    // Twenty selections of 50 x 30 inside the red window: every pixel red, no
    // trace of the band the overlay drew.
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE("selection " + std::to_string(round));
        PressKey(VK_F9);
        HWND overlay = WaitForOverlay("CaptureForm");
        ASSERT_NE(overlay, nullptr) << program.DescribeWindows();
        const POINT from{120 + round % 7, 320 + round % 5};
        MoveAndRest(from);
        MouseEvent(MOUSEEVENTF_LEFTDOWN);
        ::Sleep(100);
        MoveAndRest({from.x + 25, from.y + 15});
        MoveAndRest({from.x + 50, from.y + 30});
        MouseEvent(MOUSEEVENTF_LEFTUP);
        ASSERT_TRUE(BackFromOverlay(overlay, main)) << program.DescribeWindows();
        if (round == 0) {
            MouseAside();
            EXPECT_EQ(RightEndOfStatusBar(main), kStatusBar) << "after F7 and F9";
            SaveScreenshot(main, "desktop-after-selection");
        }
        ASSERT_TRUE(CopyWithTheButton(main));
        const Pixels copied = ClipboardPixels();
        ASSERT_EQ(copied.width, 50);
        ASSERT_EQ(copied.height, 30);
        ASSERT_EQ(Mismatch(copied, [](int, int) { return kRed; }), "");
    }

    // F7 again, then F10 on the other program's button, pressed while the main
    // window has the focus: exactly the button's pixels.
    ASSERT_TRUE(CaptureWithKey(VK_F7, main)) << program.DescribeWindows();
    RECT b;
    ::GetWindowRect(button, &b);
    PressKey(VK_F10);
    HWND overlay = WaitForOverlay("CaptureControl");
    ASSERT_NE(overlay, nullptr) << program.DescribeWindows();
    ClickAt({(b.left + b.right) / 2, (b.top + b.bottom) / 2});
    ASSERT_TRUE(BackFromOverlay(overlay, main)) << program.DescribeWindows();
    MouseAside();
    EXPECT_EQ(RightEndOfStatusBar(main), kStatusBar) << "after F7 and F10";
    ASSERT_TRUE(CopyWithTheButton(main));
    const Pixels picked = ClipboardPixels();
    EXPECT_EQ(picked.width, kOtherButton.right - kOtherButton.left);
    EXPECT_EQ(picked.height, kOtherButton.bottom - kOtherButton.top);
    EXPECT_EQ(Mismatch(picked, Pattern), "");

    // Minimised by the system, then "Main Window" from the tray menu: back,
    // restored where it was.
    RECT before;
    ::GetWindowRect(main, &before);
    ::ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return ::IsIconic(main) != FALSE; }, 3000));
    HWND menu = OpenTrayMenu(program);
    ASSERT_NE(menu, nullptr) << "no tray menu";
    // "Main Window", fifth from the foot (Exit, Donate, the website, About).
    Keys({VK_UP, VK_UP, VK_UP, VK_UP, VK_UP, VK_RETURN});
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) && !::IsIconic(main); }, 5000));
    RECT after;
    ::GetWindowRect(main, &after);
    EXPECT_TRUE(::EqualRect(&before, &after));

    // The session ends while the program runs: the system asks, tells, and then
    // ends the process without a close.
    DWORD_PTR answer = 0;
    ASSERT_TRUE(::SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                      SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(answer, DWORD_PTR(TRUE));
    ASSERT_TRUE(::SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF,
                                      SMTO_ABORTIFHUNG, 5000, &answer));
    program.Kill();
    EXPECT_EQ(Setting("Capture"), "2");
    EXPECT_EQ(Setting("CaptureA"), "0");
    EXPECT_EQ(Setting("Language"), "");
}

TEST_F(OrdinaryDesktop, TheSessionEndKeepsTheLanguage) {
    ::CreateDirectoryA((folder + "\\Lang").c_str(), nullptr);
    std::FILE* file = std::fopen((folder + "\\Lang\\Svenska.lng").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs(
        "[General]\r\nLanguageName=Svenska\r\n\r\n[MAIN]\r\n"
        "MAIN.Caption=Glimra p\xE5 svenska\r\n",
        file);
    std::fclose(file);
    // Stored in other letter case: the language file is still found, and its own
    // name is what the session's end writes.
    ASSERT_TRUE(StoreSetting("Capture", "5"));
    ASSERT_TRUE(StoreSetting("Language", "svenska"));

    Program program(ProgramPath(), folder);
    HWND main = Start(program, "Glimra p\xE5 svenska");
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    ASSERT_TRUE(CaptureWithKey(VK_F7, main)) << program.DescribeWindows();
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    ::SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    program.Kill();
    EXPECT_EQ(Setting("Capture"), "6");
    EXPECT_EQ(Setting("Language"), "Svenska");
}

// Waits for a further copy of the program to end, watching that it makes no
// window of its own meanwhile (no reminder, no main window, no tray icon, whose
// messages go to a window); what it showed, or "" when it made none or still runs.
std::string EndsWithoutWindows(Program& copy, DWORD milliseconds) {
    std::string seen;
    const DWORD start = ::GetTickCount();
    while (!copy.WaitForExit(10)) {
        if (::GetTickCount() - start > milliseconds) return "still running after the time";
        // Each window is listed as "[visible] class ..." or "[hidden] class ...".
        if (const std::string now = copy.DescribeWindows(); now.find('[') != std::string::npos)
            seen = now;
    }
    return seen;
}

TEST_F(OrdinaryDesktop, ASecondStartShowsTheRunningCopyAndEnds) {
    Program first(ProgramPath(), folder);
    HWND main = first.WaitForWindow(kCaption);
    ASSERT_NE(main, nullptr) << first.DescribeWindows();

    // While the reminder still counts: the main window stays disabled.
    {
        Program second(ProgramPath(), folder);
        EXPECT_EQ(EndsWithoutWindows(second, 2000), "");
        EXPECT_EQ(second.ExitCode(), 0u);
    }
    EXPECT_TRUE(::IsWindowVisible(main));
    EXPECT_FALSE(::IsWindowEnabled(main));

    PassTheReminder(first, main, "");
    ASSERT_TRUE(CaptureWithKey(VK_F7, main));
    // Sent to the notification area, then started again from outside.
    ::SendMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(main); }, 3000));
    {
        Program third(ProgramPath(), folder);
        EXPECT_EQ(EndsWithoutWindows(third, 2000), "");
    }
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) && !::IsIconic(main); }, 3000));
    EXPECT_TRUE(::IsWindowEnabled(main));
    EXPECT_EQ(::GetForegroundWindow(), main);
    // The copies that ended wrote nothing: the running copy's count is stored
    // when it ends.
    EXPECT_EQ(Setting("Capture"), std::nullopt);
    ExitWithTheMenu(first, main, 'F', 'X');
    EXPECT_EQ(Setting("Capture"), "1");
}

TEST_F(OrdinaryDesktop,
       F7WhileTheSaveDialogIsOpenCapturesNothing_AndTheFileHoldsThePictureItWasOpenedFor) {
    Program program(ProgramPath(), folder);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    ASSERT_TRUE(CaptureWithKey(VK_F7, main)) << program.DescribeWindows();

    // The desktop changes after the capture: a green window right of the main one.
    const RECT green{880, 20, 1000, 100};
    other.SolidWindow(green, RGB(0, 255, 0));
    HWND dialog = OpenSaveDialog(program, main);
    ASSERT_NE(dialog, nullptr) << program.DescribeWindows();
    PressKey(VK_F7);
    ::Sleep(1500);
    EXPECT_TRUE(::IsWindow(dialog));
    EXPECT_TRUE(::IsWindowVisible(main)) << "F7 hid the main window behind its dialog";
    const std::string path = folder + "\\opened-for.bmp";
    SaveInDialog(dialog, 1, path);
    // The dropped press starts nothing once the dialog has gone either.
    ::Sleep(1000);
    EXPECT_TRUE(::IsWindowVisible(main));

    const Pixels saved = PixelsOf(glimra::test::DecodeBmp(glimra::test::ReadFile(path)));
    ASSERT_EQ(saved.width, 1024);
    ASSERT_EQ(saved.height, 768);
    EXPECT_EQ(saved.At(150, 350), kRed);
    EXPECT_NE(saved.At(940, 60), RGB(0, 255, 0)) << "the file holds a later capture";
    ExitWithTheMenu(program, main, 'F', 'X');
    EXPECT_EQ(Setting("Capture"), "1");
}

TEST_F(OrdinaryDesktop, TheMagnifierShowsTheScreenUnderThePointer_AndNeverEntersTheSelection) {
    const RECT patterned{300, 150, 700, 550};
    other.PatternWindow(patterned);
    Program program(ProgramPath(), folder);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr) << program.DescribeWindows();

    PressKey(VK_F9);
    HWND overlay = WaitForOverlay("CaptureForm");
    ASSERT_NE(overlay, nullptr) << program.DescribeWindows();
    const POINT pointer{480, 300};
    MoveAndRest(pointer);
    // Each screen pixel near the pointer is a block of the enlargement; its middle
    // shows the pixel (the mark of the pointer's own pixel runs along the edges).
    const RECT box = magnifier::Place(pointer, {{0, 0, 1024, 768}, 96});
    const Pixels shown = ScreenPixels(box);
    SaveScreenshot(overlay, "desktop-magnifier");
    for (int dy = -magnifier::kReach; dy <= magnifier::kReach; ++dy)
        for (int dx = -magnifier::kReach; dx <= magnifier::kReach; ++dx) {
            const int x = 1 + (dx + magnifier::kReach) * magnifier::kZoom + magnifier::kZoom / 2;
            const int y = 1 + (dy + magnifier::kReach) * magnifier::kZoom + magnifier::kZoom / 2;
            ASSERT_EQ(shown.At(x, y),
                      Pattern(pointer.x + dx - patterned.left, pointer.y + dy - patterned.top))
                << "screen pixel " << pointer.x + dx << "," << pointer.y + dy;
        }

    // A drag through where the magnifier stood: the selection is the pattern alone.
    MouseEvent(MOUSEEVENTF_LEFTDOWN);
    ::Sleep(100);
    for (POINT p : {POINT{560, 380}, POINT{640, 470}})
        MoveAndRest(p);
    MouseEvent(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(BackFromOverlay(overlay, main)) << program.DescribeWindows();
    ASSERT_TRUE(CopyWithTheButton(main));
    const Pixels copied = ClipboardPixels();
    ASSERT_EQ(copied.width, 160);
    ASSERT_EQ(copied.height, 170);
    EXPECT_EQ(Mismatch(copied,
                       [&](int x, int y) {
                           return Pattern(pointer.x + x - patterned.left,
                                          pointer.y + y - patterned.top);
                       }),
              "");
}

// Ctrl with a letter, as one SendInput: the main window sees the letter with Ctrl down.
void CtrlAnd(WORD letter, bool shift = false) {
    std::vector<std::pair<WORD, bool>> keys{{VK_CONTROL, true}};
    if (shift) keys.push_back({VK_SHIFT, true});
    keys.insert(keys.end(), {{letter, true}, {letter, false}});
    if (shift) keys.push_back({VK_SHIFT, false});
    keys.push_back({VK_CONTROL, false});
    KeyEvents(keys);
}

TEST_F(OrdinaryDesktop,
       ShortcutsActOnlyInTheActiveMainWindow_PixelateHidesAnAreaInBlocks_UndoAndRedoByKey) {
    other.PatternWindow({0, 0, 200, 150});
    Program program(ProgramPath(), folder);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    ASSERT_TRUE(CaptureWithKey(VK_F7, main)) << program.DescribeWindows();

    // Ctrl+C copies while the main window is active; in another program's
    // window it is that program's key.
    ::SetForegroundWindow(otherWindow);
    ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == otherWindow; }, 3000));
    DWORD before = ::GetClipboardSequenceNumber();
    CtrlAnd('C');
    ::Sleep(800);
    EXPECT_EQ(::GetClipboardSequenceNumber(), before);
    ::SetForegroundWindow(main);
    ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == main; }, 3000));
    ::Sleep(200);
    before = ::GetClipboardSequenceNumber();
    CtrlAnd('C');
    EXPECT_TRUE(WaitFor(
        [&] {
            const ClipboardState now = Clipboard();
            return now.sequence != before && now.owner == main && now.bitmap;
        },
        3000));

    // Ctrl+S: the save dialog; the picture as captured.
    const std::string original = folder + "\\original.png", hidden = folder + "\\hidden.png";
    CtrlAnd('S');
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = ShownWindowOfClass(program, "#32770")); }, 8000));
    ::Sleep(300);
    SaveInDialog(dialog, 4, original);

    // Pixelate, and a drag on the picture from (13, 10) to (61, 37): the blocks of
    // eight from (8, 8) to (64, 40).
    ClickAt(CentreOfSpeedButton(main, 497));
    ::Sleep(300);
    MoveAndRest(PicturePoint(main, 13, 10));
    MouseEvent(MOUSEEVENTF_LEFTDOWN);
    ::Sleep(100);
    MoveAndRest(PicturePoint(main, 40, 25));
    MoveAndRest(PicturePoint(main, 61, 37));
    MouseEvent(MOUSEEVENTF_LEFTUP);
    ::Sleep(300);
    MouseAside();
    SaveScreenshot(main, "desktop-pixelated");
    ::SetForegroundWindow(main);
    ::Sleep(200);
    CtrlAnd('S');
    ASSERT_TRUE(WaitFor([&] { return (dialog = ShownWindowOfClass(program, "#32770")); }, 8000));
    ::Sleep(300);
    SaveInDialog(dialog, 4, hidden);

    const Pixels was = PixelsOf(glimra::test::DecodePng(glimra::test::ReadFile(original)));
    const Pixels is = PixelsOf(glimra::test::DecodePng(glimra::test::ReadFile(hidden)));
    ASSERT_EQ(is.width, was.width);
    ASSERT_EQ(is.height, was.height);
    std::set<COLORREF> originals, now;
    for (int y = 0; y < was.height; ++y)
        for (int x = 0; x < was.width; ++x) {
            const bool inside = x >= 8 && x < 64 && y >= 8 && y < 40;
            if (!inside) {
                ASSERT_EQ(is.At(x, y), was.At(x, y)) << x << "," << y;
                continue;
            }
            // The exact mean of the block, each channel rounded.
            const int bx = x / 8 * 8, by = y / 8 * 8;
            int sum[3] = {};
            for (int v = by; v < by + 8; ++v)
                for (int u = bx; u < bx + 8; ++u) {
                    sum[0] += GetRValue(was.At(u, v));
                    sum[1] += GetGValue(was.At(u, v));
                    sum[2] += GetBValue(was.At(u, v));
                }
            ASSERT_EQ(is.At(x, y), RGB((sum[0] + 32) / 64, (sum[1] + 32) / 64, (sum[2] + 32) / 64))
                << x << "," << y;
            originals.insert(was.At(x, y));
            now.insert(is.At(x, y));
        }
    for (COLORREF c : now)
        EXPECT_EQ(originals.count(c), 0u) << "an original colour is left: " << c;

    // Ctrl+Z: the area as captured on the screen again; Ctrl+Y, and Ctrl+Shift+Z
    // after another Ctrl+Z: pixelated again.
    const Pixels shownBefore = ViewShows(main, 80, 50);
    CtrlAnd('Z');
    EXPECT_TRUE(WaitFor(
        [&] {
            return ViewShows(main, 80, 50) == Part(was, {0, 0, 80, 50});
        },
        3000));
    CtrlAnd('Y');
    EXPECT_TRUE(WaitFor([&] { return ViewShows(main, 80, 50) == shownBefore; }, 3000));
    CtrlAnd('Z');
    EXPECT_TRUE(WaitFor(
        [&] {
            return ViewShows(main, 80, 50) == Part(was, {0, 0, 80, 50});
        },
        3000));
    CtrlAnd('Z', true);
    EXPECT_TRUE(WaitFor([&] { return ViewShows(main, 80, 50) == shownBefore; }, 3000));
    EXPECT_EQ(shownBefore, Part(is, {0, 0, 80, 50}));
}

}  // namespace
