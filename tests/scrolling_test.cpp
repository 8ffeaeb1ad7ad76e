// The scrolling capture on glimra.exe, driven by keys and the mouse: Ctrl+Alt+Shift+F10,
// a click on another program's window that scrolls a 300 x 5,000 picture in a
// 300 x 300 client area, and the picture read back from the clipboard after
// Copy; and Wine's Notepad with a numbered text of 400 lines.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "app/Settings.h"
#include "testing/desktop/Desktop.h"
#include "testing/desktop/OtherProgram.h"
#include "testing/desktop/Program.h"
#include "testing/desktop/ProgramDriving.h"
#include "testing/desktop/ScrollingWindow.h"

namespace {

using namespace glimra::test;
using Scrolls = ScrollingWindow::Scrolls;

constexpr const char* kCaption = "Norvanta Glimra 1.3";
constexpr POINT kWindowAt{80, 120};

class Scrolling : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InThrowAwayPrefix()) GTEST_SKIP() << "outside the test harness's Wine prefix";
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
        program = std::make_unique<Program>(ProgramPath(), TestFolder("scrolling"));
        main = program->WaitForWindow(kCaption);
        ASSERT_NE(main, nullptr) << program->DescribeWindows();
        PassTheReminder(*program, main, "");
        MouseAside();
        keyboard = other.SolidWindow({880, 660, 1000, 740}, RGB(0, 128, 0));
    }
    void TearDown() override {
        program.reset();
        if (InThrowAwayPrefix()) ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    }

    // Ctrl+Alt+Shift+F10, a click at `p`, and the wait until the main window is back;
    // `meanwhile` runs while the capture goes on.
    bool CaptureAt(
        HWND window, const std::function<void()>& meanwhile = [] {}) {
        const POINT p = Centre(window);
        // The keys go to a plain window of the test's: in a window with a
        // context menu, Shift+F10 opens it, and Wine then takes the keyboard's
        // state from the X server, which lets go of the keys sent. The focus
        // has settled before they are sent, for the same reason.
        ::SetForegroundWindow(keyboard);
        WaitFor([&] { return ::GetForegroundWindow() == keyboard; }, 3000);
        ::Sleep(500);
        // The modifiers first, as a person presses them; the program looks at
        // them when its key poll sees the key.
        KeyEvents({{VK_CONTROL, true}, {VK_MENU, true}, {VK_SHIFT, true}});
        ::Sleep(200);
        // Shift repeats while it is held, as a keyboard repeats it.
        KeyEvents({{VK_SHIFT, true}, {VK_F10, true}});
        ::Sleep(150);
        KeyEvents({{VK_F10, false}});
        KeyEvents({{VK_SHIFT, false}, {VK_MENU, false}, {VK_CONTROL, false}});
        HWND overlay = WaitForOverlay("CaptureControl");
        if (!overlay) return false;
        ClickAt(p);
        const DWORD clicked = ::GetTickCount();
        if (!WaitFor([&] { return !::IsWindowVisible(overlay); }, 5000)) return false;
        meanwhile();
        const bool back = WaitFor(
            [&] {
                return ::IsWindowVisible(main) && !::IsIconic(main) &&
                       !::FindWindowA("GlimraScrollingProgress", nullptr) &&
                       !ShownWindowOfClass(*program, "#32770");
            },
            60000);
        took = ::GetTickCount() - clicked;
        return back;
    }
    Pixels Copied() {
        ::SetForegroundWindow(main);
        WaitFor([&] { return ::GetForegroundWindow() == main; }, 3000);
        ::Sleep(300);
        MouseAside();
        if (!CopyWithTheButton(main)) return {};
        return ClipboardPixels();
    }
    static POINT Centre(HWND window) {
        RECT r;
        ::GetWindowRect(window, &r);
        return {(r.left + r.right) / 2 - 10, (r.top + r.bottom) / 2};
    }

    std::unique_ptr<Program> program;
    HWND main = nullptr;
    OtherProgram other;
    HWND keyboard = nullptr;
    DWORD took = 0;  // from the click to the main window back, in milliseconds
};

// Each window stands at row 1,000 when the capture starts: the picture is still
// the whole content from its top, and the window is back at 1,000 afterwards,
// whether it follows its scroll bar's thumb (lines, the wheel) or only keys.
TEST_F(Scrolling, ByLinesPagesAndTheWheel_ThePictureIsTheWholeContent_AndThePositionComesBack) {
    constexpr int kStart = 1000;
    const struct {
        const char* name;
        ScrollingWindow::Options options;
    } cases[] = {
        {"lines", {Scrolls::ByLines, 0, 0, kStart, 0}},
        {"page keys", {Scrolls::ByPageKeys, 0, 0, kStart, 0}},
        {"wheel", {Scrolls::ByWheel, 0, 0, kStart, 0}},
        {"lines, a header and a footer", {Scrolls::ByLines, 40, 30, kStart, 0}},
        {"page keys, a header and a footer", {Scrolls::ByPageKeys, 40, 30, kStart, 0}},
        {"wheel, a header and a footer", {Scrolls::ByWheel, 40, 30, kStart, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScrollingWindow window(other, kWindowAt, c.options);
        ASSERT_TRUE(CaptureAt(window.Handle())) << program->DescribeWindows();
        EXPECT_EQ(window.Position(), kStart);
        const Pixels p = Copied();
        ASSERT_EQ(p.width, ScrollingWindow::kSide);
        ASSERT_EQ(p.height, c.options.header + ScrollingWindow::kContentHeight + c.options.footer);
        EXPECT_EQ(Mismatch(p, [&](int x, int y) { return window.Whole(x, y); }), "");
        std::printf("%s: %lu ms from the click to the picture\n", c.name, took);
        SaveScreenshot(main, std::string("scrolling-") + c.name);
    }
}

// "Start at the current position", ticked in the Capture menu, is stored, and
// the picture then begins where the window stood; a window that follows only
// keys goes back there by its keys.
TEST_F(Scrolling, StartingAtTheCurrentPosition_TakesTheRowsFromThereOn_AndTheWindowGoesBack) {
    ::SetForegroundWindow(main);
    WaitFor([&] { return ::GetForegroundWindow() == main; }, 3000);
    AltAnd('C');
    HWND menu = WaitForMenu(*program);
    ASSERT_NE(menu, nullptr);
    // From the foot of the menu: "Delay", "Text from Region", "Record the
    // Pointer", "Recording Rate", "Record Screen", then the option.
    Keys({VK_UP, VK_UP, VK_UP, VK_UP, VK_UP, VK_UP});
    ::Sleep(300);
    SaveScreenshot(menu, "scrolling-option-menu");
    Keys({VK_RETURN});
    ASSERT_TRUE(MenusClosed(*program));
    EXPECT_EQ(Setting("ScrollFromCurrent"), "1");

    ScrollingWindow window(other, kWindowAt, {Scrolls::ByPageKeys, 40, 30, 1000, 0});
    ASSERT_TRUE(CaptureAt(window.Handle())) << program->DescribeWindows();
    EXPECT_EQ(window.Position(), 1000);
    const Pixels p = Copied();
    ASSERT_EQ(p.width, ScrollingWindow::kSide);
    ASSERT_EQ(p.height, 40 + ScrollingWindow::kContentHeight - 1000 + 30);
    EXPECT_EQ(Mismatch(p, [&](int x, int y) { return window.Whole(x, y < 40 ? y : y + 1000); }),
              "");
}

TEST_F(Scrolling, AWindowThatDoesNotScroll_GivesAClearMessage_AndThePictureStays) {
    ScrollingWindow window(other, kWindowAt, {Scrolls::Never, 0, 0, 0, 0});
    HWND box = nullptr;
    ASSERT_TRUE(CaptureAt(window.Handle(), [&] {
        box = nullptr;
        WaitFor([&] { return (box = ShownWindowOfClass(*program, "#32770")) != nullptr; }, 15000);
        ASSERT_NE(box, nullptr) << "no message";
        // The message's text: 0xFFFF on Windows, 100 under Wine.
        HWND text = ::GetDlgItem(box, 0xFFFF);
        if (!text) text = ::GetDlgItem(box, 100);
        EXPECT_NE(TextOf(text).find("does not scroll"), std::string::npos) << TextOf(text);
        SaveScreenshot(box, "scrolling-no-scroll-message");
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }));
    // No picture was taken: there is nothing to copy.
    EXPECT_EQ(Copied().width, 0);
    EXPECT_EQ(window.Position(), 0);
}

TEST_F(Scrolling, EscapeAfterAThird_KeepsExactlyTheFirstRows_AndTheWindowGoesBackToWhereItWas) {
    ScrollingWindow window(other, kWindowAt, {Scrolls::ByLines, 0, 0, 1000, 60});
    ASSERT_TRUE(CaptureAt(window.Handle(), [&] {
        WaitFor([&] { return window.Position() > ScrollingWindow::kContentHeight / 3; }, 30000);
        SaveScreenshot(RECT{40, 80, 440, 500}, "scrolling-progress");
        PressKey(VK_ESCAPE);
    }));
    const Pixels p = Copied();
    ASSERT_EQ(p.width, ScrollingWindow::kSide);
    EXPECT_GT(p.height, ScrollingWindow::kContentHeight / 3);
    EXPECT_LT(p.height, ScrollingWindow::kContentHeight - ScrollingWindow::kSide);
    EXPECT_EQ(Mismatch(p, [&](int x, int y) { return ScrollingWindow::Content(x, y); }), "");
    EXPECT_EQ(window.Position(), 1000);
}

// Wine's Notepad with 400 numbered lines. Each screen of it, as the test scrolls
// it line by line afterwards, must stand in the picture where its first line's
// number puts it: every line is there once, in order.
TEST_F(Scrolling, NotepadWithFourHundredNumberedLines_HoldsEveryLineOnceInOrder) {
    const std::string file = TestFolder("scrolling") + "\\lines.txt";
    {
        std::ofstream out(file, std::ios::binary);
        for (int i = 1; i <= 400; ++i)
            out << "Line number " << i << "\r\n";
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string command = "notepad.exe \"" + file + "\"";
    ASSERT_TRUE(::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &process));
    struct Close {
        PROCESS_INFORMATION& p;
        ~Close() {
            ::TerminateProcess(p.hProcess, 0);
            ::WaitForSingleObject(p.hProcess, 5000);
            ::CloseHandle(p.hThread);
            ::CloseHandle(p.hProcess);
        }
    } close{process};
    HWND notepad = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (notepad = ::FindWindowA("Notepad", nullptr)) != nullptr; }, 15000));
    ::SetWindowPos(notepad, nullptr, 60, 60, 420, 400, SWP_NOZORDER);
    HWND edit = ::FindWindowExA(notepad, nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    ::Sleep(500);
    ASSERT_TRUE(CaptureAt(edit)) << program->DescribeWindows();
    // Out of the way of the main window's Copy button meanwhile.
    ::ShowWindow(notepad, SW_SHOWMINNOACTIVE);
    const Pixels p = Copied();
    ::ShowWindow(notepad, SW_SHOWNOACTIVATE);
    ::UpdateWindow(notepad);
    ::Sleep(500);
    ASSERT_EQ(::SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "not scrolled back";

    // Notepad in front without the focus (no caret), each screen compared.
    ::SetWindowPos(notepad, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RECT client;
    ::GetClientRect(edit, &client);
    ::MapWindowPoints(edit, nullptr, reinterpret_cast<POINT*>(&client), 2);
    ASSERT_EQ(p.width, client.right - client.left);
    const auto top = [&](LPARAM line) {
        return short(HIWORD(
            ::SendMessageA(edit, EM_POSFROMCHAR, ::SendMessageA(edit, EM_LINEINDEX, line, 0), 0)));
    };
    const int lineHeight = top(1) - top(0);
    ASSERT_GT(lineHeight, 0);
    // A screen's full lines (the edit draws the part of a line at its foot as
    // the way it was scrolled leaves it) stand in the picture where its first
    // line puts them.
    const auto standsWhereItShould = [&](int first) {
        Pixels screen = ScreenPixels(client);
        screen = Part(screen, {0, 0, screen.width, screen.height - lineHeight});
        const int at = first * lineHeight;
        return at + screen.height <= p.height &&
               Part(p, {0, at, p.width, at + screen.height}) == screen;
    };
    int first = 0;
    for (int line = 0; line < 400; line += 37) {
        ::SendMessageA(edit, EM_LINESCROLL, 0, line - first);
        ::UpdateWindow(edit);
        ::Sleep(150);
        first = int(::SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
        EXPECT_TRUE(standsWhereItShould(first)) << "line " << first;
    }
    // The picture ends with the screen scrolled to the end, and no further.
    ::SendMessageA(edit, WM_VSCROLL, SB_BOTTOM, 0);
    ::UpdateWindow(edit);
    ::Sleep(150);
    first = int(::SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    EXPECT_GT(first, 370);
    EXPECT_TRUE(standsWhereItShould(first)) << "line " << first;
    EXPECT_EQ(p.height, first * lineHeight + (client.bottom - client.top));
    ::SetWindowPos(notepad, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::ShowWindow(notepad, SW_SHOWMINNOACTIVE);

    // The text of the whole picture, with "Copy Te&xt" of the Edit menu: first
    // cancelled with Escape while it is read (nothing changes: the picture stays
    // on the clipboard), then read to its end: every line once, in order.
    const auto copyText = [&] {
        ::SetForegroundWindow(main);
        WaitFor([&] { return ::GetForegroundWindow() == main; }, 3000);
        AltAnd('E');
        ASSERT_TRUE(WaitForMenu(*program));
        Keys({'X'});
    };
    copyText();
    HWND reading = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] { return (reading = ::FindWindowA("GlimraScrollingProgress", nullptr)) != nullptr; },
        10000));
    WaitFor([&] { return ::GetForegroundWindow() == reading; }, 3000);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(reading); }, 30000));
    EXPECT_EQ(::FindWindowA("GlimraTextResult", nullptr), nullptr);
    EXPECT_TRUE(ClipboardPixels() == p) << "the cancelled reading changed the clipboard";

    copyText();
    HWND result = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            result = ::FindWindowA("GlimraTextResult", nullptr);
            return result && ::IsWindowVisible(result);
        },
        120000));
    std::string text;
    ASSERT_TRUE(::OpenClipboard(nullptr));
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(::GlobalLock(data));
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    std::string expected;
    for (int i = 1; i <= 400; ++i)
        expected += (i > 1 ? "\r\n" : "") + std::string("Line number ") + std::to_string(i);
    EXPECT_EQ(text, expected);
    ::PostMessageA(result, WM_CLOSE, 0, 0);
}

}  // namespace
