// glimra.exe as a user starts it: the main window appears, and closing it ends
// the program.
#include <gtest/gtest.h>

#include "testing/desktop/Program.h"

namespace {

using glimra::test::Program;

TEST(Program, MainWindowAppearsCentredAndDisabled_AndCloseEndsTheProgram) {
    Program program(glimra::test::ProgramPath(), glimra::test::TestFolder("program-start"));
    HWND main = program.WaitForWindow("Norvanta Glimra 1.3");
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    RECT r;
    ::GetWindowRect(main, &r);
    EXPECT_EQ(r.right - r.left, 680);
    EXPECT_EQ(r.bottom - r.top, 559);
    EXPECT_EQ(r.left, (1024 - 680) / 2);
    EXPECT_EQ(r.top, (768 - 559) / 2);
    EXPECT_FALSE(::IsWindowEnabled(main));
    // Its own task-bar button: an unowned window that asks for one.
    EXPECT_EQ(::GetWindow(main, GW_OWNER), nullptr);
    EXPECT_TRUE(::GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_APPWINDOW);

    ::PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(5000)) << "still running 5 s after WM_CLOSE";
    EXPECT_EQ(program.ExitCode(), 0u);
}

}  // namespace
