// glimra.exe through a day of full-screen captures, seen from outside: 250
// presses of F7, each capture told apart by a window on the desktop whose colour
// changes before every press. The undo history packs its steps while the program
// waits, so the process's working set stays small while the captures kept reach
// far back: at the end, 85 presses of Ctrl+Z bring back the 85th capture before
// the last, exactly as it was copied to the clipboard when it was new.
#include <windows.h>

#include <gtest/gtest.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "app/Settings.h"
#include "testing/desktop/Desktop.h"
#include "testing/desktop/OtherProgram.h"
#include "testing/desktop/Program.h"
#include "testing/desktop/ProgramDriving.h"

namespace {

using namespace glimra::test;

constexpr const char* kCaption = "Norvanta Glimra 1.3";
constexpr int kCaptures = 250;
constexpr int kUndos = 85;
constexpr int kSampleEvery = 25;
// The most working set allowed after the captures.
constexpr std::size_t kMostWorkingSet = std::size_t(120) * 1000 * 1000;

// The counter window: top left on the desktop, where the view shows it too (the
// view shows the picture's top-left corner at 100 %).
constexpr RECT kCounter{20, 20, 140, 90};
constexpr POINT kCounterMiddle{80, 55};

// The counter's colour at capture `n`, a different one for each.
COLORREF Colour(int n) {
    return RGB(n % 256, (n * 37 + 11) % 256, 255 - n % 256);
}

struct Memory {
    std::size_t workingSet = 0, privateBytes = 0;
};

Memory MemoryOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                sizeof counters))
        return {};
    return {counters.WorkingSetSize, counters.PagefileUsage};
}

double Megabytes(std::size_t bytes) {
    return double(bytes) / 1e6;
}

TEST(CaptureDay, TwoHundredFiftyCapturesKeepTheWorkingSetSmall_AndEightyFiveUndosReachBack) {
    if (!InThrowAwayPrefix()) GTEST_SKIP() << "outside the test harness's Wine prefix";
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    OtherProgram other;
    HWND counter = other.SolidWindow(kCounter, Colour(0));
    const auto show = [&](int n) {
        other.Run([&] {
            ::SetWindowLongPtrA(counter, GWLP_USERDATA, LONG_PTR(Colour(n)));
            ::InvalidateRect(counter, nullptr, TRUE);
            ::UpdateWindow(counter);
        });
    };
    // The colour of the counter in the picture that the view shows.
    const auto shown = [](HWND main) {
        return ViewShows(main, kCounter.right, kCounter.bottom)
            .At(kCounterMiddle.x, kCounterMiddle.y);
    };

    Program program(ProgramPath(), TestFolder("history-soak"));
    HWND main = program.WaitForWindow(kCaption);
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    PassTheReminder(program, main, "");
    MouseAside();
    HANDLE process =
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program.Id());
    ASSERT_NE(process, nullptr);
    const Memory started = MemoryOf(process);
    std::printf("started: working set %.1f MB, private %.1f MB\n", Megabytes(started.workingSet),
                Megabytes(started.privateBytes));

    // One capture after another. CaptureWithKey rests 300 ms once the window is
    // back: the history starts packing the new step a quarter of a second after
    // it was taken (while the window was hidden), and a 1024 x 768 step packs in
    // a few milliseconds, so no more waiting is needed between the presses.
    const DWORD began = ::GetTickCount();
    const int kept = kCaptures - kUndos;
    Pixels keptPicture;
    Memory last;
    for (int n = 1; n <= kCaptures; ++n) {
        SCOPED_TRACE("capture " + std::to_string(n));
        show(n);
        ASSERT_TRUE(CaptureWithKey(VK_F7, main)) << program.DescribeWindows();
        ASSERT_TRUE(WaitFor([&] { return shown(main) == Colour(n); }, 3000))
            << "the view shows " << shown(main);
        if (n == kept) {
            ASSERT_TRUE(CopyWithTheButton(main));
            keptPicture = ClipboardPixels();
            ASSERT_EQ(keptPicture.width, 1024);
            ASSERT_EQ(keptPicture.height, 768);
            ASSERT_EQ(keptPicture.At(kCounterMiddle.x, kCounterMiddle.y), Colour(n));
        }
        if (n % kSampleEvery == 0) {
            last = MemoryOf(process);
            std::printf("after %3d captures (%5.1f s): working set %.1f MB, private %.1f MB\n", n,
                        (::GetTickCount() - began) / 1000.0, Megabytes(last.workingSet),
                        Megabytes(last.privateBytes));
            std::fflush(stdout);
        }
    }
    EXPECT_LE(last.workingSet, kMostWorkingSet);

    // Back through the captures, one Ctrl+Z at a time, each seen in the view; a
    // rest after each lets the history pack the step it has just exchanged.
    for (int u = 1; u <= kUndos; ++u) {
        SCOPED_TRACE("undo " + std::to_string(u));
        KeyEvents({{VK_CONTROL, true}, {'Z', true}, {'Z', false}, {VK_CONTROL, false}});
        ASSERT_TRUE(WaitFor([&] { return shown(main) == Colour(kCaptures - u); }, 3000))
            << "the view shows " << shown(main);
        ::Sleep(300);
    }
    const Memory undone = MemoryOf(process);
    std::printf("after %d undos (%5.1f s): working set %.1f MB, private %.1f MB\n", kUndos,
                (::GetTickCount() - began) / 1000.0, Megabytes(undone.workingSet),
                Megabytes(undone.privateBytes));
    ASSERT_TRUE(CopyWithTheButton(main));
    const Pixels back = ClipboardPixels();
    EXPECT_TRUE(back == keptPicture) << "the picture after the undos is not capture " << kept;
    ::CloseHandle(process);

    ExitWithTheMenu(program, main, 'F', 'X');
    EXPECT_TRUE(program.WaitForExit(10000));
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
}

}  // namespace
