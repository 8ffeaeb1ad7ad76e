// Times the waits that a user of glimra.exe feels, from outside the program: it is
// started as its own process and driven with keys and the mouse (SendInput), as a
// person would, and each wait ends when the screen shows its result:
//  - at each of `runs` starts, from the process's creation until the donation
//    reminder shows, and until its countdown has ended with a button "Ok" that
//    takes a click (both looked for every 20 ms);
//  - F9 pressed, until the overlay shows its magnifier (beside the pointer, the
//    enlarged pixel under it); and the part of that after the fixed pause that
//    follows the minimising of the main window;
//  - the release of a selection of the whole screen, until the view shows the
//    picture's top-left corner;
//  - the click of F10's window pick, until the view shows the window taken;
//  - F7, from the end of the shutter sound (the main window's hiding plus the
//    sound's length: the program plays it whole before it grabs) until the view
//    shows the picture;
//  - the system's read of the whole screen into a bitmap, as the program's grab
//    reads it, and its showing of a window that covers the screen, as the
//    overlay does: the parts of the waits above that are not the program's.
// Each run is told apart by a window of a colour of its own, whose pixels the
// view must show. Prints per wait the median, fastest and slowest of the runs in
// milliseconds, and the goal for a display of 1024 x 768 or 3840 x 2160 where
// there is one (the reminder's for 1024 x 768 only).
//   wait_times glimra.exe [runs]
#include <windows.h>

#include "bench/clock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/Shutter.h"
#include "capture/Magnifier.h"
#include "testing/desktop/Desktop.h"
#include "testing/desktop/MainWindowLayout.h"
#include "testing/desktop/OtherProgram.h"
#include "testing/desktop/Program.h"
#include "testing/desktop/ProgramDriving.h"

namespace {

using namespace glimra::test;

// The whole screen read into a 32-bit bitmap, as the program's grab reads it.
void GrabScreen() {
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
}

COLORREF ScreenPixel(POINT p) {
    HDC screen = ::GetDC(nullptr);
    const COLORREF colour = ::GetPixel(screen, p.x, p.y);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

// Milliseconds from `from` until the screen pixel at `p` has the colour, checked
// as often as the screen can be read; negative when it does not come within ten
// seconds.
double UntilPixel(double from, POINT p, COLORREF colour,
                  const std::function<void()>& meanwhile = {}) {
    while (Now() - from < 10000) {
        if (meanwhile) meanwhile();
        if (ScreenPixel(p) == colour) return Now() - from;
        ::Sleep(0);
    }
    return -1;
}

// The program's pause between minimising its window and freezing the screen, in
// which the window leaves the screen.
constexpr double kFreezePause = 300;

// The colour of run `n` of a wait, unlike the others and the desktop's.
COLORREF RunColour(int wait, int n) {
    return RGB(40 + 50 * wait, (n * 53 + 17) % 200 + 30, 255 - (n * 29) % 120);
}

struct Line {
    const char* name;
    int goal768, goal2160;
    std::vector<double> times;

    void Print() {
        std::sort(times.begin(), times.end());
        const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
        std::printf("%-28s %7.1f ms (median of %zu; fastest %.1f, slowest %.1f)", name,
                    times[times.size() / 2], times.size(), times.front(), times.back());
        if (width == 1024 && height == 768 && goal768) std::printf("  goal %d ms", goal768);
        if (width == 3840 && height == 2160 && goal2160) std::printf("  goal %d ms", goal2160);
        std::printf("\n");
        std::fflush(stdout);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: wait_times glimra.exe [runs]\n");
        return 2;
    }
    const std::string exe = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
    HMODULE resources = ::LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const DWORD shutter = resources ? ShutterMilliseconds(resources) : 0;
    if (!shutter) {
        std::fprintf(stderr, "%s: no shutter sound among its resources\n", exe.c_str());
        return 1;
    }
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);

    // The reminder, start after start; each program is ended before the next starts.
    Line reminderShown{"start to the reminder shown", 3000, 0, {}};
    Line reminderOk{"start to the reminder's Ok", 7500, 0, {}};
    for (int run = 0; run < runs; ++run) {
        const double start = Now();
        Program starting(exe, TestFolder("wait_times"));
        HWND reminder = starting.WaitForWindow("Glimra", 60000);
        if (!reminder) {
            std::fprintf(stderr, "no reminder: %s\n", starting.DescribeWindows().c_str());
            return 1;
        }
        reminderShown.times.push_back(Now() - start);
        HWND ok = ::FindWindowExA(reminder, nullptr, "Button", nullptr);
        if (!ok || !WaitFor([&] { return TextOf(ok) == "Ok" && ::IsWindowEnabled(ok); }, 60000)) {
            std::fprintf(stderr, "the reminder never offered its Ok\n");
            return 1;
        }
        reminderOk.times.push_back(Now() - start);
    }

    OtherProgram desktop;
    Program program(exe, TestFolder("wait_times"));
    HWND main = program.WaitForWindow("Norvanta Glimra 1.3");
    if (!main) {
        std::fprintf(stderr, "no main window: %s\n", program.DescribeWindows().c_str());
        return 1;
    }
    PassTheReminder(program, main, "wait-times-reminder");
    MouseAside();

    // The corner window, whose colour the view shows at the picture's top left
    // after a capture of the whole screen; the window that F10 takes; the pixel
    // under the pointer that the magnifier enlarges. None lies under the main
    // window, which stands in the middle of the display.
    const RECT corner{0, 0, 120, 120};
    const RECT picked{0, height - 200, 160, height - 40};
    const POINT probe{60, height / 2};
    const POINT inView = PicturePoint(main, 10, 10);
    const magnifier::Measures measures = magnifier::MeasuresFor(DisplayAt(probe).dpi);
    const RECT glass = magnifier::Place(probe, DisplayAt(probe));
    const POINT glassMiddle{glass.left + 1 + measures.square / 2,
                            glass.top + 1 + measures.square / 2};

    // F9's goal holds for the part after the fixed pause, which no work of the
    // program's can shorten.
    Line overlay{"F9 to the overlay shown", 0, 0, {}};
    Line afterPause{"  of it after the pause", 50, 150, {}};
    Line selection{"selection release to view", 40, 80, {}};
    Line pick{"window pick click to view", 40, 80, {}};
    Line desktopKey{"F7 shutter end to view", 30, 80, {}};
    Line grab{"the system's screen grab", 0, 0, {}};
    Line show{"the system's screen covered", 0, 0, {}};
    const auto failed = [&](const char* what, int run) {
        std::fprintf(stderr, "%s, run %d: the screen never showed it\n", what, run);
        SaveScreenshot(RECT{0, 0, width, height}, "wait-times-failure");
        return 1;
    };
    // A wait from `from` until the view shows the run's colour, less `pause`.
    const auto viewShows = [&](Line& line, double from, COLORREF colour, double pause = 0) {
        const double time = UntilPixel(from, inView, colour);
        if (time < 0) return false;
        line.times.push_back(time - pause);
        ::Sleep(300);
        return true;
    };
    for (int run = 0; run < runs; ++run) {
        // F9, then a drag over the whole screen.
        desktop.SolidWindow(corner, RunColour(0, run));
        desktop.SolidWindow({probe.x - 1, probe.y - 1, probe.x + 2, probe.y + 2},
                            RunColour(1, run));
        MoveAndRest(probe);
        ::SetForegroundWindow(main);
        ::Sleep(300);
        double start = Now(), minimised = -1;
        PressKey(VK_F9);
        // Watched beside the screen: when the main window is minimised, which
        // starts the fixed pause before the screen is frozen.
        const double shown = UntilPixel(start, glassMiddle, RunColour(1, run), [&] {
            if (minimised < 0 && ::IsIconic(main)) minimised = Now() - start;
        });
        if (shown < 0 || minimised < 0) return failed(overlay.name, run);
        overlay.times.push_back(shown);
        afterPause.times.push_back(shown - minimised - kFreezePause);
        ::Sleep(200);
        MoveAndRest({0, 0});
        MouseEvent(MOUSEEVENTF_LEFTDOWN);
        MoveMouseTo({width / 2, height / 2});
        MoveMouseTo({width - 1, height - 1});
        ::Sleep(100);
        start = Now();
        MouseEvent(MOUSEEVENTF_LEFTUP);
        if (!viewShows(selection, start, RunColour(0, run))) return failed(selection.name, run);

        // F10, then a click on the window to take.
        desktop.SolidWindow(picked, RunColour(2, run));
        ::SetForegroundWindow(main);
        ::Sleep(300);
        PressKey(VK_F10);
        if (!WaitForOverlay("CaptureControl")) return failed(pick.name, run);
        MoveAndRest({picked.left + 80, picked.top + 80});
        start = Now();
        MouseEvent(MOUSEEVENTF_LEFTDOWN);
        MouseEvent(MOUSEEVENTF_LEFTUP);
        if (!viewShows(pick, start, RunColour(2, run))) return failed(pick.name, run);

        // F7: the main window hides, the shutter plays its length, the grab.
        desktop.SolidWindow(corner, RunColour(3, run));
        MouseAside();
        ::SetForegroundWindow(main);
        ::Sleep(300);
        PressKey(VK_F7);
        start = Now();
        while (::IsWindowVisible(main) && Now() - start < 10000)
            ::Sleep(0);
        if (!viewShows(desktopKey, Now(), RunColour(3, run), shutter))
            return failed(desktopKey.name, run);

        // What the system alone takes to read the whole screen, as every capture
        // does once: the base of the waits above that no work of the program's
        // can shorten.
        start = Now();
        GrabScreen();
        grab.times.push_back(Now() - start);
        // And what it takes to show a window that covers the screen, as the overlay
        // does, from its making until the screen shows it.
        start = Now();
        HWND cover = desktop.SolidWindow({0, 0, width, height}, RunColour(4, run));
        const double covered = UntilPixel(start, {width / 2, height / 2}, RunColour(4, run));
        desktop.Run([&] { ::DestroyWindow(cover); });
        if (covered < 0) return failed(show.name, run);
        show.times.push_back(covered);
        ::Sleep(300);
    }
    std::printf("%d x %d, %d runs a wait; the shutter sound lasts %lu ms\n", width, height, runs,
                static_cast<unsigned long>(shutter));
    for (Line* line : {&reminderShown, &reminderOk, &overlay, &afterPause, &selection, &pick,
                       &desktopKey, &grab, &show})
        line->Print();
    return 0;
}
