// At 144 dpi the program's windows are laid out 1.5 times as large as at 96 dpi.
#include <gtest/gtest.h>

#include "testing/desktop/Program.h"

namespace {

using glimra::test::Program;

// The main window's client area at 96 dpi: the outer 680 x 559 less the frame
// that the system draws at 96 dpi.
SIZE ClientAt96Dpi() {
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    auto adjust = reinterpret_cast<AdjustForDpi>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("user32.dll"), "AdjustWindowRectExForDpi")));
    if (!adjust) return {0, 0};
    RECT frame{0, 0, 0, 0};
    adjust(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_APPWINDOW, 96);
    return {680 - (frame.right - frame.left), 559 - (frame.bottom - frame.top)};
}

TEST(ProgramAt144Dpi, MainWindowClientAreaIsOneAndAHalfTimesAsLarge) {
    HDC screen = ::GetDC(nullptr);
    ASSERT_EQ(::GetDeviceCaps(screen, LOGPIXELSY), 144);
    ::ReleaseDC(nullptr, screen);
    Program program(glimra::test::ProgramPath(), glimra::test::TestFolder("program-dpi"));
    HWND main = program.WaitForWindow("Norvanta Glimra 1.3");
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    RECT client;
    ::GetClientRect(main, &client);
    const SIZE at96 = ClientAt96Dpi();
    ASSERT_GT(at96.cx, 0) << "the system cannot tell its frame at 96 dpi";
    EXPECT_EQ(client.right, at96.cx * 3 / 2);
    EXPECT_EQ(client.bottom, at96.cy * 3 / 2);
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program.WaitForExit(5000));
}

}  // namespace
