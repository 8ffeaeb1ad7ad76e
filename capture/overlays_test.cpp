// The captures as a user starts them: keys and mouse through SendInput, the
// real hot-key poll and overlays of the main window, and windows of another
// thread standing in for other programs. Pictures are checked pixel by pixel.
#include <gtest/gtest.h>
#include <shellscalingapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "testing/app/MainWindowTest.h"
#include "app/Shutter.h"
#include "app/Statistics.h"
#include "capture/Magnifier.h"
#include "capture/ScrnCap.h"
#include "capture/capture2.h"
#include "testing/desktop/Desktop.h"
#include "testing/desktop/OtherProgram.h"
#include "testing/desktop/ProgramDriving.h"
#include "testing/ui/CanvasPixel.h"
#include "ui/TPopupMenu.h"
#include "ui/TScrollBox.h"

namespace {

using glimra::test::MainWindow;
using glimra::test::MouseEvent;
using glimra::test::MoveMouseTo;
using glimra::test::Pattern;
using glimra::test::WaitFor;
using ui::TControl;

COLORREF At(const glimra::PixelView& v, int x, int y) {
    const std::uint8_t* p = v.Row(y) + x * v.bytesPerPixel;
    return RGB(p[2], p[1], p[0]);
}

COLORREF At(ui::TBitmap& b, int x, int y) {
    return At(b.View(), x, y);
}

// The first pixel where `picture` differs from the pattern of a window whose
// client area starts at the screen's (0, 0), seen from `origin` on, or "".
std::string PatternMismatch(ui::TBitmap& picture, POINT origin) {
    const glimra::PixelView view = picture.View();
    for (int y = 0; y < view.height; ++y)
        for (int x = 0; x < view.width; ++x)
            if (At(view, x, y) != Pattern(origin.x + x, origin.y + y))
                return std::to_string(x) + "," + std::to_string(y);
    return "";
}

bool SamePixels(ui::TBitmap& a, ui::TBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    const glimra::PixelView va = a.View(), vb = b.View();
    for (int y = 0; y < va.height; ++y)
        for (int x = 0; x < va.width; ++x)
            if (At(va, x, y) != At(vb, x, y)) return false;
    return true;
}

// A visible top-level window with this caption, or null.
HWND Shown(const char* caption) {
    HWND w = ::FindWindowA(nullptr, caption);
    return w && ::IsWindowVisible(w) ? w : nullptr;
}

struct BoxSearch {
    const char* text;
    HWND found;
};

BOOL CALLBACK FindText(HWND child, LPARAM lParam) {
    auto* search = reinterpret_cast<BoxSearch*>(lParam);
    char text[256] = "";
    ::GetWindowTextA(child, text, sizeof text);
    if (std::string(text) == search->text) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

// A message box with this caption whose text is `text`, or null.
HWND MessageBoxWith(const char* caption, const char* text) {
    HWND box = ::FindWindowA("#32770", caption);
    if (!box) return nullptr;
    BoxSearch search{text, nullptr};
    ::EnumChildWindows(box, FindText, reinterpret_cast<LPARAM>(&search));
    return search.found ? box : nullptr;
}

BOOL CALLBACK AddDisplay(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoA(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY))
        *reinterpret_cast<RECT*>(data) = info.rcMonitor;
    return TRUE;
}

// The rectangle of a display other than the primary one, as Windows reports it;
// empty on a desktop of one display.
RECT SecondDisplay() {
    RECT second{0, 0, 0, 0};
    ::EnumDisplayMonitors(nullptr, nullptr, AddDisplay, reinterpret_cast<LPARAM>(&second));
    return second;
}

// The primary display's size.
SIZE PrimarySize() {
    return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

// The first pixel of `picture` that is not `colour`, or "".
std::string ColourMismatch(ui::TBitmap& picture, COLORREF colour) {
    const glimra::PixelView view = picture.View();
    for (int y = 0; y < view.height; ++y)
        for (int x = 0; x < view.width; ++x)
            if (At(view, x, y) != colour) return std::to_string(x) + "," + std::to_string(y);
    return "";
}

// Escape presses that a window of the other program received.
std::atomic<int> escapesSeen{0};
WNDPROC patternProc = nullptr;
LRESULT CALLBACK CountEscapes(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) ++escapesSeen;
    return ::CallWindowProcA(patternProc, window, message, wParam, lParam);
}

class Captures : public MainWindow {
  protected:
    Captures() {
        DropKeyPresses();
        // Behind everything: the pattern over the whole display, so that every
        // pixel of a grab tells where it came from.
        backdrop = other.PatternWindow({0, 0, PrimarySize().cx, PrimarySize().cy});
        ::SetWindowPos(backdrop, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        MAIN->ShowMainWindow();
        Pump(300);
        DropKeyPresses();
    }
    ~Captures() override {
        if (driver.joinable()) driver.join();
        DropKeyPresses();
    }

    // Presses of the capture keys that an earlier test left behind do not
    // count for this one, nor this one's for the next. Wine answers a key query
    // from a cache for 50 ms: only a query after that clears the press.
    void DropKeyPresses() {
        ui::TTimer& poll = MAIN->Get<ui::TTimer>("Timer1");
        const bool polling = poll.Enabled();
        poll.SetEnabled(false);
        ::Sleep(60);
        for (int key : {VK_F7, VK_F8, VK_F9, VK_F10})
            ::GetAsyncKeyState(key);
        poll.SetEnabled(polling);
    }
    // Handles messages one at a time until `done` holds or the time is up.
    bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
        return application.HandleMessagesUntil(done, milliseconds);
    }
    // Runs `steps` on a thread of their own once the overlay with this caption
    // is on the screen and in front, while this thread goes on handling
    // messages. Whatever the steps did, nothing they started outlives them: an
    // information box that comes up is answered (and counted in `boxes`), and an
    // overlay still up a while later gets an Escape, so that a lost input fails
    // the test instead of hanging it.
    template <class F>
    void WhenShown(const char* overlay, F steps) {
        driver = std::thread([this, overlay, steps] {
            HWND shown = nullptr;
            WaitFor(
                [&] {
                    shown = Shown(overlay);
                    return shown && ::GetForegroundWindow() == shown;
                },
                15000);
            ::Sleep(200);
            if (shown) steps(shown);
            auto over = [&] {
                if (HWND box = ::FindWindowA("#32770", "Information")) {
                    ++boxes;
                    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
                    ::Sleep(100);
                }
                return !::FindWindowA(nullptr, overlay) && !::FindWindowA("#32770", "Information");
            };
            for (int attempt = 0; attempt < 3 && !WaitFor(over, 5000); ++attempt)
                ::PostMessageA(::FindWindowA(nullptr, overlay), WM_KEYDOWN, VK_ESCAPE, 0);
            driverDone = true;
        });
    }
    // The selection overlay behind this window, read from the driver's thread
    // while the overlay's own thread changes it: only ever polled.
    static TCaptureForm& Selection(HWND overlay) {
        return *dynamic_cast<TCaptureForm*>(ui::TWinControl::FromHandle(overlay));
    }
    static bool SelectionIs(HWND overlay, bool selecting, POINT corner) {
        TCaptureForm& form = Selection(overlay);
        return std::atomic_ref<bool>(form.Selecting).load() == selecting &&
               std::atomic_ref<LONG>(form.SelRect.right).load() == corner.x &&
               std::atomic_ref<LONG>(form.SelRect.bottom).load() == corner.y;
    }
    // Under Wine a sent move now and then reaches a window late, or a stale
    // pointer event from the display puts the pointer back for a moment; so a
    // move counts once the pointer has stayed there, and is sent again if not.
    static bool PointerRestsAt(POINT point) {
        for (int poll = 0; poll < 5; ++poll) {
            POINT now;
            ::GetCursorPos(&now);
            if (now.x != point.x || now.y != point.y) return false;
            ::Sleep(20);
        }
        return true;
    }
    // Presses the left button over the selection overlay at `point` and waits
    // until the overlay has seen it.
    static void PressAt(HWND overlay, POINT point) {
        for (int attempt = 0; attempt < 10; ++attempt) {
            MoveMouseTo(point);
            if (PointerRestsAt(point)) break;
        }
        MouseEvent(MOUSEEVENTF_LEFTDOWN);
        WaitFor([&] { return SelectionIs(overlay, true, point); }, 2000);
    }
    // Moves with the left button held and waits until the band follows.
    static void MoveHeldTo(HWND overlay, POINT point) {
        for (int attempt = 0; attempt < 10; ++attempt) {
            MoveMouseTo(point);
            if (WaitFor([&] { return SelectionIs(overlay, true, point); }, 300)) return;
        }
    }
    // Drags with the left button through `points` on the selection overlay,
    // each step seen by the overlay before the next is sent.
    static void Drag(HWND overlay, std::vector<POINT> points) {
        PressAt(overlay, points.front());
        for (std::size_t i = 1; i < points.size(); ++i)
            MoveHeldTo(overlay, points[i]);
        MouseEvent(MOUSEEVENTF_LEFTUP);
    }
    // Waits for the driver and for the main window to be back.
    void FinishOverlay() {
        EXPECT_TRUE(PumpUntil([&] { return driverDone && !::IsIconic(MAIN->Handle()); }, 30000));
        driver.join();
        Pump(200);
    }
    void ExpectMagnifierAt(const RECT& area, POINT pointer);
    std::string Count(const char* label) { return MAIN->Get<TControl>(label).Caption(); }
    ui::TBitmap& Picture() { return MAIN->Get<ui::TImage>("Image1").Bitmap(); }
    // A picture of the pattern, so that a kept picture can be told from a new one.
    void SetKnownPicture() {
        SetPicture(7, 5);
        glimra::test::SetPixel(Picture().Canvas(), 3, 2, RGB(1, 2, 3));
    }
    bool IsKnownPicture() {
        return Picture().Width() == 7 && Picture().Height() == 5 &&
               At(Picture(), 3, 2) == RGB(1, 2, 3);
    }

    glimra::test::OtherProgram other;
    HWND backdrop = nullptr;
    std::thread driver;
    std::atomic<bool> driverDone{false};
    std::atomic<int> boxes{0};
};

TEST_F(Captures, F7FromAnotherWindowGrabsTheDesktopWithoutTheMainWindow_AndCountsIt) {
    HWND focused = other.PatternWindow({0, 0, 150, 80}, WS_POPUP | WS_BORDER);
    // What the display shows with the main window out of the way.
    MAIN->Hide();
    Pump(300);
    ui::TBitmap behind;
    GrabScreen(0, behind);
    MAIN->ShowMainWindow();
    Pump(300);
    ::SetForegroundWindow(focused);
    Pump(200);
    ASSERT_EQ(::GetForegroundWindow(), focused);

    glimra::test::PressKey(VK_F7);
    ASSERT_TRUE(PumpUntil([&] { return Count("Label2") == "1"; }, 5000));
    EXPECT_EQ(Count("Label3"), "0");
    EXPECT_EQ(Picture().Width(), PrimarySize().cx);
    EXPECT_EQ(Picture().Height(), PrimarySize().cy);
    EXPECT_TRUE(SamePixels(Picture(), behind));
    EXPECT_TRUE(::IsWindowVisible(MAIN->Handle()));
    EXPECT_EQ(::GetForegroundWindow(), MAIN->Handle());
    // Ctrl+F7 is F7.
    glimra::test::KeyEvents(
        {{VK_CONTROL, true}, {VK_F7, true}, {VK_F7, false}, {VK_CONTROL, false}});
    EXPECT_TRUE(PumpUntil([&] { return Count("Label2") == "2"; }, 5000));
    EXPECT_TRUE(reports.empty());
}

TEST_F(Captures, F8GrabsTheForegroundWindowWithItsFrame_AndShowsTheMainWindow) {
    HWND framed = other.PatternWindow({40, 60, 340, 260}, WS_OVERLAPPEDWINDOW);
    MAIN->Hide();
    ::SetForegroundWindow(framed);
    Pump(300);
    ASSERT_EQ(::GetForegroundWindow(), framed);

    glimra::test::PressKey(VK_F8);
    ASSERT_TRUE(PumpUntil([&] { return Count("Label3") == "1"; }, 5000));
    EXPECT_EQ(Count("Label2"), "0");
    ASSERT_EQ(Picture().Width(), 300);
    ASSERT_EQ(Picture().Height(), 200);
    // The client area, below the title bar, is the window's own pattern.
    POINT client{0, 0};
    ::ClientToScreen(framed, &client);
    RECT inner;
    ::GetClientRect(framed, &inner);
    const glimra::PixelView view = Picture().View();
    for (int y = 0; y < inner.bottom; y += 7)
        for (int x = 0; x < inner.right; x += 5)
            ASSERT_EQ(At(view, client.x - 40 + x, client.y - 60 + y), Pattern(x, y))
                << x << "," << y;
    EXPECT_GT(client.y - 60, 10) << "the title bar is part of the picture";
    Pump(200);
    EXPECT_TRUE(::IsWindowVisible(MAIN->Handle()));
}

TEST_F(Captures, F7AndF8BetweenTwoTicksGrabTheDesktopFirst) {
    glimra::test::KeyEvents({{VK_F8, true}, {VK_F8, false}, {VK_F7, true}, {VK_F7, false}});
    ASSERT_TRUE(PumpUntil([&] { return Count("Label2") == "1" || Count("Label3") == "1"; }, 5000));
    EXPECT_EQ(Count("Label2"), "1");
    EXPECT_EQ(Count("Label3"), "0");
}

TEST_F(Captures, F9AndADragGrabTheRectangleWithoutItsFarCorner) {
    WhenShown("CaptureForm", [](HWND o) {
        PressAt(o, {10, 10});
        MoveHeldTo(o, {60, 30});
        MoveHeldTo(o, {110, 60});
        // What the user sees while dragging: the frozen screen and the band.
        glimra::test::SaveScreenshot(o, "selection-overlay");
        MouseEvent(MOUSEEVENTF_LEFTUP);
    });
    glimra::test::PressKey(VK_F9);
    FinishOverlay();
    ASSERT_EQ(Picture().Width(), 100);
    ASSERT_EQ(Picture().Height(), 50);
    EXPECT_EQ(PatternMismatch(Picture(), {10, 10}), "");
    EXPECT_TRUE(MAIN->Get<ui::TTimer>("Timer1").Enabled());
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(boxes, 0);
}

TEST_F(Captures, F9DuringASelectionStartsNothing) {
    WhenShown("CaptureForm", [](HWND o) {
        PressAt(o, {300, 200});
        MoveHeldTo(o, {340, 230});
        glimra::test::PressKey(VK_F9);
        ::Sleep(100);
        MoveHeldTo(o, {350, 240});
        MouseEvent(MOUSEEVENTF_LEFTUP);
    });
    glimra::test::PressKey(VK_F9);
    FinishOverlay();
    EXPECT_EQ(Picture().Width(), 50);
    EXPECT_EQ(Picture().Height(), 40);
    EXPECT_EQ(PatternMismatch(Picture(), {300, 200}), "");
    EXPECT_EQ(boxes, 0);
    // No second overlay comes once the first has gone.
    Pump(600);
    EXPECT_EQ(Shown("CaptureForm"), nullptr);
    EXPECT_FALSE(::IsIconic(MAIN->Handle()));
}

TEST_F(Captures, ADragUpAndLeftIsRefusedWithAMessage_AndThePictureStays) {
    SetKnownPicture();
    std::atomic<bool> messageSeen{false};
    WhenShown("CaptureForm", [&](HWND o) {
        Drag(o, {{200, 200}, {170, 180}, {150, 150}});
        messageSeen = WaitFor(
            [] { return MessageBoxWith("Information", "Error selecting rectangle, try again!"); },
            5000);
    });
    glimra::test::PressKey(VK_F9);
    FinishOverlay();
    EXPECT_TRUE(messageSeen);
    EXPECT_EQ(boxes, 1);
    EXPECT_TRUE(IsKnownPicture());
}

TEST_F(Captures, AClickWithoutADragOrEscapeCapturesNothing_AndTheHotKeysComeBack) {
    SetKnownPicture();
    WhenShown("CaptureForm", [](HWND o) { Drag(o, {{200, 200}}); });
    glimra::test::PressKey(VK_F9);
    FinishOverlay();
    EXPECT_TRUE(IsKnownPicture());
    EXPECT_EQ(boxes, 0);

    for (const char* overlay : {"CaptureForm", "CaptureControl"}) {
        driverDone = false;
        WhenShown(overlay, [](HWND) { glimra::test::PressKey(VK_ESCAPE); });
        glimra::test::PressKey(std::string(overlay) == "CaptureForm" ? VK_F9 : VK_F10);
        FinishOverlay();
        EXPECT_TRUE(IsKnownPicture()) << overlay;
        EXPECT_EQ(Shown(overlay), nullptr);
        EXPECT_TRUE(MAIN->Get<ui::TTimer>("Timer1").Enabled());
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(Captures, F10OnAnotherProgramsButtonGrabsExactlyThatButton) {
    HWND dialog = other.PatternWindow({520, 80, 820, 280}, WS_POPUP | WS_CAPTION);
    HWND button = other.PatternButton(dialog, {30, 40, 150, 80});
    Pump(200);
    RECT r;
    ::GetWindowRect(button, &r);
    // Any button picks: here the right one.
    WhenShown("CaptureControl", [r](HWND) {
        MoveMouseTo({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        ::Sleep(60);
        MouseEvent(MOUSEEVENTF_RIGHTDOWN);
        MouseEvent(MOUSEEVENTF_RIGHTUP);
    });
    glimra::test::PressKey(VK_F10);
    FinishOverlay();
    ASSERT_EQ(Picture().Width(), 120);
    ASSERT_EQ(Picture().Height(), 40);
    EXPECT_EQ(PatternMismatch(Picture(), {0, 0}), "");
    EXPECT_TRUE(::IsWindowVisible(MAIN->Handle()));
}

TEST_F(Captures, AGrabTooLargeToHoldIsReported_AndChangesNothing) {
    SetKnownPicture();
    // A window far larger than any bitmap a 32-bit program can hold.
    HWND huge = other.BlankWindow({-29000, -29000, 1000, 1000});
    Pump(200);
    WhenShown("CaptureControl", [](HWND) { glimra::test::ClickAt({500, 500}); });
    glimra::test::PressKey(VK_F10);
    FinishOverlay();
    ASSERT_NE(huge, nullptr);
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_TRUE(IsKnownPicture());
    EXPECT_TRUE(::IsWindowVisible(MAIN->Handle()));
    EXPECT_TRUE(MAIN->Get<ui::TTimer>("Timer1").Enabled());
    EXPECT_EQ(Count("Label2"), "0");
    EXPECT_EQ(Count("Label3"), "0");
}

TEST_F(Captures, CountersAddOneAndStopAtTheLargestCount) {
    EXPECT_EQ(NextCount("41"), "42");
    EXPECT_EQ(NextCount("abc"), "1");
    EXPECT_EQ(NextCount(""), "1");
    EXPECT_EQ(NextCount("-5"), "-4");
    EXPECT_EQ(NextCount("2147483648"), "1");
    MAIN->Get<TControl>("Label2").SetCaption("2147483647");
    MAIN->ButtonCaptureClick(nullptr);
    EXPECT_EQ(Count("Label2"), "2147483647");
    EXPECT_EQ(Picture().Width(), PrimarySize().cx);
}

TEST_F(Captures, TheGrabWaitsForTheShutterEvenWithoutSound) {
    const DWORD length = ShutterMilliseconds(ui::Application->Instance());
    EXPECT_GE(length, 770u);
    const DWORD hiddenAt = ::GetTickCount();
    PlayShutter(hiddenAt);
    EXPECT_GE(::GetTickCount() - hiddenAt, length);
    // Time that has already passed since the hide counts, also across the tick
    // count's wrap.
    EXPECT_EQ(ShutterWaitLeft(5000, 5000, length), length);
    EXPECT_EQ(ShutterWaitLeft(5000, 5100, length), length - 100);
    EXPECT_EQ(ShutterWaitLeft(5000, 5000 + length - 1, length), 1u);
    EXPECT_EQ(ShutterWaitLeft(5000, 5000 + length, length), 0u);
    EXPECT_EQ(ShutterWaitLeft(5000, 5000 + 10 * length, length), 0u);
    EXPECT_EQ(ShutterWaitLeft(0xFFFFFF00u, 0x64u, length), length - 0x164u);
    EXPECT_EQ(ShutterWaitLeft(0xFFFFFF00u, 0xFFFFFF00u + length, length), 0u);
}

TEST_F(Captures, TrayItemsRunTheSameCommandsAsTheMenus) {
    auto click = [&](const char* name) {
        ui::TMenuItem& item = MAIN->Get<ui::TMenuItem>(name);
        ASSERT_TRUE(item.OnClick) << name;
        item.OnClick(&item);
    };
    MAIN->Hide();
    click("TrayCapture");
    EXPECT_EQ(Count("Label2"), "1");
    EXPECT_EQ(Picture().Width(), PrimarySize().cx);
    EXPECT_TRUE(::IsWindowVisible(MAIN->Handle()));
    click("TrayCaptureActive");
    EXPECT_EQ(Count("Label3"), "1");
    // All displays as one picture, counted as a full screen.
    click("TrayAllDisplays");
    EXPECT_EQ(Count("Label2"), "2");
    EXPECT_EQ(Picture().Width(), ::GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(Picture().Height(), ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
    for (const char* item : {"TrayCaptureSelection", "TrayCaptureWindowControl"}) {
        driverDone = false;
        const char* overlay =
            std::string(item) == "TrayCaptureSelection" ? "CaptureForm" : "CaptureControl";
        std::atomic<bool> seen{false};
        WhenShown(overlay, [&](HWND) {
            seen = true;
            glimra::test::PressKey(VK_ESCAPE);
        });
        click(item);
        driver.join();
        EXPECT_TRUE(seen) << item;
    }
    MAIN->Hide();
    click("TrayMainWindow");
    EXPECT_TRUE(::IsWindowVisible(MAIN->Handle()));
    click("TrayWebsite");
    click("TrayDonate");
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0], kWebsiteAddress);
    EXPECT_EQ(pages[1], kDonationAddress);
    click("TrayAbout");
    EXPECT_TRUE(::IsWindowVisible(about->Handle()));
    about->BitBtn1Click(nullptr);
    // "Main Window" is the menu's default item, drawn in bold: after the seven
    // captures and a separator.
    HMENU tray = MAIN->Get<ui::TPopupMenu>("PopupMenu1").Handle();
    EXPECT_EQ(::GetMenuDefaultItem(tray, TRUE, 0), 9u);
    EXPECT_TRUE(reports.empty());
}

// The time from the grab's start to the picture on the screen in the view, the
// shutter pause left out: one block transfer, the copy into the picture and
// the repaint of the view.
TEST_F(Captures, GrabToViewTime) {
    std::vector<double> times;
    ui::TScrollBox& box = MAIN->Get<ui::TScrollBox>("ScrollBox1");
    for (int i = 0; i < 9; ++i) {
        LARGE_INTEGER frequency, start, end;
        ::QueryPerformanceFrequency(&frequency);
        ::QueryPerformanceCounter(&start);
        ui::TBitmap grabbed;
        GrabScreen(0, grabbed);
        MAIN->Get<ui::TImage>("Image1").SetBitmap(grabbed);
        ::RedrawWindow(box.Handle(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        ::GdiFlush();
        ::QueryPerformanceCounter(&end);
        times.push_back(double(end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart);
    }
    std::sort(times.begin(), times.end());
    std::printf("desktop grab to view, %ld x %ld: median %.2f ms (min %.2f, max %.2f)\n",
                PrimarySize().cx, PrimarySize().cy, times[4], times[0], times[8]);
    EXPECT_EQ(Picture().Width(), PrimarySize().cx);
}

TEST_F(Captures, TheSelectionOverlayTakesTheKeyboardFromAnotherProgram_AndEscapeNeverReachesIt) {
    SetKnownPicture();
    HWND focused = other.PatternWindow({100, 100, 400, 300}, WS_OVERLAPPEDWINDOW);
    escapesSeen = 0;
    other.Run([&] {
        patternProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(focused, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountEscapes)));
        ::SetForegroundWindow(focused);
        ::SetFocus(focused);
    });
    Pump(300);
    ASSERT_EQ(::GetForegroundWindow(), focused);
    GUITHREADINFO before{};
    before.cbSize = sizeof before;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(focused, nullptr), &before);
    ASSERT_EQ(before.hwndFocus, focused);

    std::atomic<HWND> front{nullptr}, keyboard{nullptr}, overlayWindow{nullptr};
    std::atomic<bool> closedByEscape{false};
    WhenShown("CaptureForm", [&](HWND o) {
        overlayWindow = o;
        front = ::GetForegroundWindow();
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        ::GetGUIThreadInfo(::GetWindowThreadProcessId(o, nullptr), &info);
        keyboard = info.hwndFocus;
        glimra::test::PressKey(VK_ESCAPE);
        closedByEscape = WaitFor([] { return !Shown("CaptureForm"); }, 3000);
    });
    glimra::test::PressKey(VK_F9);
    FinishOverlay();
    ASSERT_NE(overlayWindow.load(), nullptr);
    EXPECT_EQ(front.load(), overlayWindow.load());
    EXPECT_EQ(keyboard.load(), overlayWindow.load());
    EXPECT_TRUE(closedByEscape);
    EXPECT_EQ(escapesSeen, 0);
    EXPECT_TRUE(IsKnownPicture());
    EXPECT_EQ(boxes, 0);
}

TEST_F(Captures, TheMainWindowStaysSystemAware_TheOverlaysArePerMonitorAware) {
    using WindowContext = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
    using ThreadContext = DPI_AWARENESS_CONTEXT(WINAPI*)();
    using Awareness = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT);
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    const auto ofWindow = reinterpret_cast<WindowContext>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetWindowDpiAwarenessContext")));
    const auto ofThread = reinterpret_cast<ThreadContext>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
    const auto awareness = reinterpret_cast<Awareness>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    ASSERT_TRUE(ofWindow && ofThread && awareness);
    // The process, by its manifest, is per-monitor aware.
    using ProcessAwareness = HRESULT(WINAPI*)(HANDLE, PROCESS_DPI_AWARENESS*);
    HMODULE shcore = ::LoadLibraryA("shcore.dll");
    const auto ofProcess = reinterpret_cast<ProcessAwareness>(
        reinterpret_cast<void*>(::GetProcAddress(shcore, "GetProcessDpiAwareness")));
    ASSERT_TRUE(ofProcess);
    PROCESS_DPI_AWARENESS process = PROCESS_DPI_UNAWARE;
    ASSERT_EQ(ofProcess(nullptr, &process), S_OK);
    EXPECT_EQ(process, PROCESS_PER_MONITOR_DPI_AWARE);
    EXPECT_EQ(awareness(ofWindow(MAIN->Handle())), DPI_AWARENESS_SYSTEM_AWARE);
    EXPECT_EQ(awareness(ofThread()), DPI_AWARENESS_SYSTEM_AWARE);
    std::atomic<int> overlayAwareness{-5};
    WhenShown("CaptureForm", [&](HWND o) {
        overlayAwareness = awareness(ofWindow(o));
        glimra::test::PressKey(VK_ESCAPE);
    });
    glimra::test::PressKey(VK_F9);
    FinishOverlay();
    EXPECT_EQ(overlayAwareness, DPI_AWARENESS_PER_MONITOR_AWARE);
    // The thread is system aware again once the overlay has gone.
    EXPECT_EQ(awareness(ofThread()), DPI_AWARENESS_SYSTEM_AWARE);
}

TEST_F(Captures, ADragOnTheSecondDisplayOverASolidWindowIsThatColourThroughout) {
    const RECT second = SecondDisplay();
    if (::IsRectEmpty(&second)) GTEST_SKIP() << "one display";
    const RECT window{second.left + 100, second.top + 100, second.left + 400, second.top + 300};
    other.SolidWindow(window, RGB(30, 160, 90));
    Pump(200);
    WhenShown("CaptureForm", [&](HWND o) {
        Drag(o, {{window.left + 20, window.top + 20},
                 {window.left + 100, window.top + 60},
                 {window.left + 220, window.top + 150}});
    });
    glimra::test::PressKey(VK_F9);
    FinishOverlay();
    ASSERT_EQ(Picture().Width(), 200);
    ASSERT_EQ(Picture().Height(), 130);
    EXPECT_EQ(ColourMismatch(Picture(), RGB(30, 160, 90)), "");
    EXPECT_EQ(boxes, 0);
}

TEST_F(Captures, ADragAcrossTwoDisplaysOverAWindowOnBothIsExactlyThatPart) {
    const RECT second = SecondDisplay();
    if (::IsRectEmpty(&second)) GTEST_SKIP() << "one display";
    // Where the two displays meet: the second display's edge next to the primary.
    const int seam = second.left >= PrimarySize().cx ? second.left : second.right;
    const RECT window{seam - 150, second.top + 100, seam + 150, second.top + 300};
    // The second display shows a colour of its own behind it, so that a picture
    // of the overlay shows where each display is.
    HWND back = other.SolidWindow(second, RGB(70, 90, 130));
    ::SetWindowPos(back, backdrop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    other.PatternWindow(window, WS_POPUP, WS_EX_TOPMOST);
    Pump(200);
    const POINT from{seam - 120, second.top + 120}, to{seam + 130, second.top + 170};
    WhenShown("CaptureForm", [&](HWND o) {
        PressAt(o, from);
        for (POINT p : {POINT{seam - 10, second.top + 140}, POINT{seam + 10, second.top + 150}, to})
            MoveHeldTo(o, p);
        // What the user sees while dragging: the band over both displays.
        glimra::test::SaveScreenshot(
            o, second.left < 0 ? "overlay-two-displays-left" : "overlay-two-displays-right");
        MouseEvent(MOUSEEVENTF_LEFTUP);
    });
    glimra::test::PressKey(VK_F9);
    FinishOverlay();
    ASSERT_EQ(Picture().Width(), 250);
    ASSERT_EQ(Picture().Height(), 50);
    EXPECT_EQ(PatternMismatch(Picture(), {from.x - window.left, from.y - window.top}), "");
    EXPECT_EQ(boxes, 0);
}

TEST_F(Captures, F10OnAnotherProgramsButtonOnTheSecondDisplayGrabsExactlyThatButton) {
    const RECT second = SecondDisplay();
    if (::IsRectEmpty(&second)) GTEST_SKIP() << "one display";
    HWND dialog = other.PatternWindow(
        {second.left + 80, second.top + 80, second.left + 380, second.top + 280},
        WS_POPUP | WS_CAPTION);
    HWND button = other.PatternButton(dialog, {30, 40, 150, 80});
    Pump(200);
    RECT r;
    ::GetWindowRect(button, &r);
    ASSERT_TRUE(::PtInRect(&second, {r.left, r.top}));
    WhenShown("CaptureControl", [r](HWND) {
        MoveMouseTo({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        ::Sleep(60);
        MouseEvent(MOUSEEVENTF_LEFTDOWN);
        MouseEvent(MOUSEEVENTF_LEFTUP);
    });
    glimra::test::PressKey(VK_F10);
    FinishOverlay();
    ASSERT_EQ(Picture().Width(), 120);
    ASSERT_EQ(Picture().Height(), 40);
    EXPECT_EQ(PatternMismatch(Picture(), {0, 0}), "");
}

TEST_F(Captures, F8GrabsACaptionedWindowOnTheSecondDisplayAsItsRectangle) {
    const RECT second = SecondDisplay();
    if (::IsRectEmpty(&second)) GTEST_SKIP() << "one display";
    const RECT outer{second.left + 40, second.top + 60, second.left + 340, second.top + 260};
    HWND framed = other.PatternWindow(outer, WS_OVERLAPPEDWINDOW);
    MAIN->Hide();
    ::SetForegroundWindow(framed);
    Pump(300);
    ASSERT_EQ(::GetForegroundWindow(), framed);

    glimra::test::PressKey(VK_F8);
    ASSERT_TRUE(PumpUntil([&] { return Count("Label3") == "1"; }, 5000));
    ASSERT_EQ(Picture().Width(), 300);
    ASSERT_EQ(Picture().Height(), 200);
    POINT client{0, 0};
    ::ClientToScreen(framed, &client);
    RECT inner;
    ::GetClientRect(framed, &inner);
    const glimra::PixelView view = Picture().View();
    for (int y = 0; y < inner.bottom; y += 7)
        for (int x = 0; x < inner.right; x += 5)
            ASSERT_EQ(At(view, client.x - outer.left + x, client.y - outer.top + y), Pattern(x, y))
                << x << "," << y;
    EXPECT_GT(client.y - outer.top, 10) << "the title bar is part of the picture";
}

// With the pointer at `pointer` on the display `area`, the magnifier stands on
// that display, at its size for the display's dots per inch, and each enlarged
// pixel's middle shows the screen pixel it stands for.
void Captures::ExpectMagnifierAt(const RECT& area, POINT pointer) {
    const RECT patterned{pointer.x - 150, pointer.y - 100, pointer.x + 250, pointer.y + 200};
    other.PatternWindow(patterned, WS_POPUP, WS_EX_TOPMOST);
    Pump(200);
    HDC screen = ::GetDC(nullptr);
    const UINT dpi = UINT(::GetDeviceCaps(screen, LOGPIXELSX));
    ::ReleaseDC(nullptr, screen);
    const RECT box = magnifier::Place(pointer, {area, dpi});
    const magnifier::Measures m = magnifier::MeasuresFor(dpi);
    glimra::test::Pixels shown;
    WhenShown("CaptureForm", [&](HWND o) {
        for (int attempt = 0; attempt < 10; ++attempt) {
            MoveMouseTo(pointer);
            if (PointerRestsAt(pointer)) break;
        }
        ::Sleep(300);
        shown = glimra::test::ScreenPixels(box);
        glimra::test::SaveScreenshot(o, "magnifier-" + std::to_string(pointer.x));
        glimra::test::PressKey(VK_ESCAPE);
    });
    glimra::test::PressKey(VK_F9);
    FinishOverlay();
    EXPECT_TRUE(::PtInRect(&area, {box.left, box.top}) &&
                ::PtInRect(&area, {box.right - 1, box.bottom - 1}))
        << "the magnifier stands on the pointer's display";
    EXPECT_EQ(m.zoom, ::MulDiv(magnifier::kZoom, int(dpi), 96));
    ASSERT_EQ(shown.width, box.right - box.left);
    for (int dy = -magnifier::kReach; dy <= magnifier::kReach; ++dy)
        for (int dx = -magnifier::kReach; dx <= magnifier::kReach; ++dx) {
            const int x = magnifier::kBorder + (dx + magnifier::kReach) * m.zoom + m.zoom / 2;
            const int y = magnifier::kBorder + (dy + magnifier::kReach) * m.zoom + m.zoom / 2;
            ASSERT_EQ(shown.At(x, y),
                      Pattern(pointer.x + dx - patterned.left, pointer.y + dy - patterned.top))
                << "screen pixel " << pointer.x + dx << "," << pointer.y + dy;
        }
}

TEST_F(Captures, TheMagnifierOnTheSecondDisplayShowsThePixelsUnderThePointerThere) {
    const RECT second = SecondDisplay();
    if (::IsRectEmpty(&second)) GTEST_SKIP() << "one display";
    ExpectMagnifierAt(second, {second.left + 200, second.top + 150});
}

TEST_F(Captures, TheMagnifierOnThePrimaryDisplayHasItsScale) {
    ExpectMagnifierAt({0, 0, PrimarySize().cx, PrimarySize().cy}, {400, 300});
}

}  // namespace
