#include "tests/support/ProgramWindows.h"

#include <gtest/gtest.h>

namespace glimra::testing {

namespace {

struct Search {
    DWORD process;
    const char* cls;
    HWND found;
};

BOOL CALLBACK FindByClass(HWND window, LPARAM data) {
    auto* s = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    char cls[32] = {};
    ::GetClassNameA(window, cls, sizeof cls);
    if (owner != s->process || !::IsWindowVisible(window) || std::string(cls) != s->cls)
        return TRUE;
    s->found = window;
    return FALSE;
}

}  // namespace

std::string TextOf(HWND window) {
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

// A visible top-level window of the program of that class ("#32768" for an open
// menu, "#32770" for a dialog), or null.
HWND ShownWindowOfClass(const Program& program, const char* cls) {
    Search s{program.Id(), cls, nullptr};
    ::EnumWindows(FindByClass, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND WaitForMenu(const Program& program) {
    HWND menu = nullptr;
    WaitFor([&] { return (menu = ShownWindowOfClass(program, "#32768")) != nullptr; }, 5000);
    return menu;
}

bool MenusClosed(const Program& program) {
    return WaitFor([&] { return !ShownWindowOfClass(program, "#32768"); }, 5000);
}

void Keys(std::initializer_list<WORD> keys) {
    for (WORD key : keys) {
        PressKey(key);
        ::Sleep(80);
    }
}

void AltAnd(WORD letter) {
    KeyEvents({{VK_MENU, true}, {letter, true}, {letter, false}, {VK_MENU, false}});
}

// Waits through the donation reminder's countdown and clicks its "Ok".
void PassTheReminder(const Program& program, HWND main, const std::string& screenshot) {
    HWND reminder = program.WaitForWindow("Glimra", 5000);
    ASSERT_NE(reminder, nullptr) << program.DescribeWindows();
    HWND ok = ::FindWindowExA(reminder, nullptr, "Button", nullptr);
    ASSERT_TRUE(WaitFor([&] { return TextOf(ok) == "Ok" && ::IsWindowEnabled(ok); }, 9000));
    EXPECT_FALSE(::IsWindowEnabled(main));
    SaveScreenshot(reminder, screenshot);
    RECT r;
    ::GetWindowRect(ok, &r);
    ASSERT_TRUE(ClickUntil({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, [&] {
        return ::IsWindowEnabled(main) && !::IsWindowVisible(reminder);
    }));
    ::SetForegroundWindow(main);
    ::Sleep(300);
}

// Presses a capture key and waits until the main window has gone and come back.
bool CaptureWithKey(WORD key, HWND main) {
    PressKey(key);
    if (!WaitFor([&] { return !::IsWindowVisible(main); }, 5000)) return false;
    const bool back = WaitFor([&] { return ::IsWindowVisible(main); }, 5000);
    ::Sleep(300);
    return back;
}

// The overlay of a selection or window capture, once it is up and in front.
HWND WaitForOverlay(const char* caption) {
    HWND overlay = nullptr;
    WaitFor(
        [&] {
            overlay = ::FindWindowA(nullptr, caption);
            return overlay && ::IsWindowVisible(overlay) && ::GetForegroundWindow() == overlay;
        },
        8000);
    ::Sleep(200);
    return overlay;
}

// Ends the program with the exit entry of its File menu, both chosen by their
// accelerator letters (which a language may change).
void ExitWithTheMenu(Program& program, HWND main, WORD fileLetter, WORD exitLetter) {
    ::SetForegroundWindow(main);
    ::Sleep(200);
    AltAnd(fileLetter);
    ASSERT_NE(WaitForMenu(program), nullptr) << "no File menu";
    Keys({exitLetter});
    ASSERT_TRUE(program.WaitForExit(8000)) << program.DescribeWindows();
    EXPECT_EQ(program.ExitCode(), 0u);
}

}  // namespace glimra::testing
