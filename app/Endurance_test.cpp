// A long day in one run: hundreds of captures, edits, copies and saves in turn
// on the main window, through the same handlers that its buttons and menus call,
// while the window's messages are handled as the program's loop handles them.
// The process's GDI and USER objects and its memory must stay flat, apart from
// the pictures the undo history keeps within its bound, and the window must
// still answer at the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "testing/app/MainWindowInternals.h"
#include "testing/app/MainWindowTest.h"
#include "output/windows/picture_save.h"
#include "testing/desktop/ProcessObjects.h"
#include "testing/desktop/Program.h"

namespace {

using glimra::test::CountProcessObjects;
using glimra::test::MainWindow;
using glimra::test::ProcessObjects;

class Endurance : public MainWindow {
  protected:
    ui::TImage& View() { return MAIN->Get<ui::TImage>("Image1"); }
};

// The counts answer to what the process makes and frees.
TEST_F(Endurance, TheObjectCountsSeeObjectsComeAndGo) {
    const ProcessObjects before = CountProcessObjects();
    ASSERT_GT(before.gdi, 0) << "no GDI handle table";
    std::vector<HBRUSH> brushes;
    for (int i = 0; i < 10; ++i)
        brushes.push_back(::CreateSolidBrush(RGB(i, 2, 3)));
    std::vector<HMENU> menus;
    for (int i = 0; i < 3; ++i)
        menus.push_back(::CreatePopupMenu());
    HWND child = ::CreateWindowA("STATIC", "", WS_CHILD, 0, 0, 5, 5, MAIN->Handle(), nullptr,
                                 nullptr, nullptr);
    const ProcessObjects during = CountProcessObjects();
    EXPECT_EQ(during.gdi - before.gdi, 10);
    EXPECT_EQ(during.menus - before.menus, 3);
    EXPECT_EQ(during.windows - before.windows, 1);
    for (HBRUSH b : brushes)
        ::DeleteObject(b);
    for (HMENU m : menus)
        ::DestroyMenu(m);
    ::DestroyWindow(child);
    const ProcessObjects after = CountProcessObjects();
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.User(), before.User());
}

TEST_F(Endurance, FiveHundredCapturesEditsCopiesAndSavesLeaveTheCountsFlat) {
    const std::string folder = glimra::test::TestFolder("endurance");
    int saves = 0;
    auto save = [&] {
        // What "Save &As..." does once its dialog has a name and a type: each type
        // in turn (BMP, JPEG, GIF, PNG), over the file of the last round.
        const int type = saves++ % 4 + 1;
        const char* extension[] = {"bmp", "jpg", "gif", "png"};
        glimra::SavePicture(folder + "\\endurance." + extension[type - 1], glimra::SaveTypeAt(type),
                            MAIN->Picture().View24());
    };
    // One round of ten operations; the captures take turns between the whole
    // display and the window in front.
    int captures = 0;
    const std::vector<std::function<void()>> round = {
        [&] {
            if (captures++ % 2)
                MAIN->ButtonCaptureActiveClick(nullptr);
            else
                MAIN->ButtonCaptureClick(nullptr);
        },
        [&] { MAIN->ImagePopGrayscaleClick(nullptr); },
        [&] { MAIN->ImagePopCopyClick(nullptr); },
        save,
        [&] { MAIN->ImagePopBrightenClick(nullptr); },
        [&] { MAIN->ImagePopRotate90Click(nullptr); },
        [&] { MAIN->ImagePopDarkenClick(nullptr); },
        [&] { MAIN->ImagePopInvertClick(nullptr); },
        [&] { MAIN->ImagePopFlipHorizontalClick(nullptr); },
        [&] { MAIN->ImagePopCopyClick(nullptr); },
    };
    auto run = [&](int operations) {
        for (int i = 0; i < operations; ++i) {
            ui::Guarded(round[std::size_t(i) % round.size()]);
            Pump(5);
        }
    };
    // The first four rounds (each kind of capture, each file type) make what
    // lives for the whole run: the libraries' tables, the clipboard's bitmap,
    // and three GDI objects that the first rotations leave (measured: after the
    // first and the third Rotate 90, never after). Not a leak.
    const int warmUp = 4;
    run(warmUp * int(round.size()));
    // What the process holds less the pictures that the undo history keeps on
    // purpose, within its own bound: those are not leaks.
    const auto counted = [] {
        ProcessObjects now = CountProcessObjects();
        const History& history = glimra::test::MainWindowInternals::PictureHistory(*MAIN);
        EXPECT_LE(history.Bytes(), History::kDefaultLimit);
        now.gdi -= int(history.Pictures());
        now.privateBytes -= history.Bytes();
        return now;
    };
    const ProcessObjects start = counted();
    const DWORD began = ::GetTickCount();
    const int operations = 500;
    ProcessObjects highest = start;
    for (int done = 0; done < operations; done += 50) {
        run(50);
        const ProcessObjects now = counted();
        std::printf("after %3d: %s\n", done + 50, now.Describe().c_str());
        highest.gdi = std::max(highest.gdi, now.gdi);
        highest.windows = std::max(highest.windows, now.windows);
        highest.menus = std::max(highest.menus, now.menus);
        highest.privateBytes = std::max(highest.privateBytes, now.privateBytes);
    }
    const DWORD took = ::GetTickCount() - began;
    const ProcessObjects end = counted();
    std::printf("%d operations (%d captures, %d saves) in %.1f s\n", operations, captures - warmUp,
                saves - warmUp, took / 1000.0);
    std::printf("start:   %s\n", start.Describe().c_str());
    std::printf("end:     %s\n", end.Describe().c_str());
    std::printf("highest: %s\n", highest.Describe().c_str());
    EXPECT_TRUE(reports.empty()) << reports.front();
    EXPECT_LE(end.gdi - start.gdi, 2);
    EXPECT_LE(highest.gdi - start.gdi, 8);
    // One window more or less, as a tooltip comes and goes.
    EXPECT_LE(end.User(), start.User() + 1);
    EXPECT_LE(highest.User(), start.User() + 1);
    // A picture of the display is 3 MiB; the memory may breathe by a few of them,
    // but a leak of one picture per round would be 150 MiB.
    EXPECT_LT(end.privateBytes, start.privateBytes + 24u * 1024 * 1024);

    // The window still answers messages from another thread, and a capture
    // still comes through.
    std::atomic<bool> answered{false};
    std::thread asker([&] {
        DWORD_PTR result = 0;
        answered = ::SendMessageTimeoutA(MAIN->Handle(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000,
                                         &result) != 0;
    });
    const DWORD asked = ::GetTickCount();
    while (!answered && ::GetTickCount() - asked < 6000)
        Pump(10);
    asker.join();
    EXPECT_TRUE(answered);
    MAIN->ButtonCaptureClick(nullptr);
    EXPECT_EQ(View().Bitmap().Width(), 1024);
    EXPECT_EQ(View().Bitmap().Height(), 768);
}

}  // namespace
