// The start of the program as a user meets it: the donation reminder appears
// about a second after start, counts down to "Ok", and only its button lets the
// user into the main window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/desktop/Desktop.h"
#include "testing/desktop/Program.h"

namespace {

using namespace glimra::test;

std::string TextOf(HWND window) {
    char text[64] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

TEST(Reminder, CountsDownAndOnlyItsButtonEnablesTheMainWindow) {
    const DWORD start = ::GetTickCount();
    Program program(ProgramPath(), TestFolder("reminder"));
    HWND main = program.WaitForWindow("Norvanta Glimra 1.3");
    ASSERT_NE(main, nullptr);
    HWND reminder = program.WaitForWindow("Glimra", 30000);
    ASSERT_NE(reminder, nullptr) << "no reminder";
    // It waits before it shows. How soon it comes, and its "Ok", is timed by
    // bench/wait_times.cpp.
    EXPECT_GE(::GetTickCount() - start, 700u);
    EXPECT_FALSE(::GetWindowLongA(reminder, GWL_STYLE) & WS_SYSMENU)
        << "the reminder has a close box";

    HWND button = ::FindWindowExA(reminder, nullptr, "Button", nullptr);
    ASSERT_NE(button, nullptr);
    // Every caption the button shows, in order, until "Ok", and when "Ok" came.
    std::vector<std::string> seen;
    DWORD okAfter = 0;
    bool enabledEarly = false, mainEnabled = false;
    ASSERT_TRUE(WaitFor(
        [&] {
            const std::string text = TextOf(button);
            if (seen.empty() || seen.back() != text) seen.push_back(text);
            if (text != "Ok" && ::IsWindowEnabled(button)) enabledEarly = true;
            if (::IsWindowEnabled(main)) mainEnabled = true;
            if (text == "Ok") okAfter = ::GetTickCount() - start;
            return text == "Ok";
        },
        30000));
    // The first tick shows the window and then counts, in one go: the layout's "5"
    // can be read from outside in that instant, but is never painted.
    if (!seen.empty() && seen.front() == "5") seen.erase(seen.begin());
    EXPECT_EQ(seen, (std::vector<std::string>{"4", "3", "2", "1", "Ok"}));
    EXPECT_GE(okAfter, 4300u) << "the countdown did not wait its seconds";
    EXPECT_FALSE(enabledEarly);
    EXPECT_FALSE(mainEnabled);
    // The caption turns to "Ok" just before the button is enabled: from outside the
    // program the two can be seen apart.
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(button) != FALSE; }, 10000));
    SaveScreenshot(reminder, "reminder-countdown-96dpi");

    // The main window stays disabled until the button is clicked.
    ::Sleep(1200);
    EXPECT_FALSE(::IsWindowEnabled(main));
    ClickWindow(button);
    auto done = [&] { return ::IsWindowEnabled(main) && !::IsWindowVisible(reminder); };
    // Under Wine a sent click is now and then lost on its way; a person would
    // click once more, and so does the test.
    if (!WaitFor(done, 3000)) ClickWindow(button);
    EXPECT_TRUE(WaitFor(done, 3000));
    SaveScreenshot(main, "main-window-after-reminder-96dpi");
    // A close in the same instant as the click can leave the process hanging at
    // its exit under Wine (seen, not yet understood); a person takes longer.
    ::Sleep(1000);
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(5000)) << program.DescribeWindows();
}

}  // namespace
