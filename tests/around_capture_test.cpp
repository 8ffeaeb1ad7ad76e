// What the user sets up around a capture, tried on glimra.exe from outside with
// keys and the mouse: a delay, the last region again, every capture saved and
// copied by itself, keys of the user's choosing, and pictures pinned to the
// screen; and that each setting is in the registry at once.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "testing/desktop/Desktop.h"
#include "testing/desktop/MainWindowLayout.h"
#include "testing/desktop/OtherProgram.h"
#include "testing/desktop/Program.h"
#include "testing/desktop/ProgramDriving.h"

namespace {

namespace fs = std::filesystem;
using namespace glimra::test;

constexpr const char* kCaption = "Norvanta Glimra 1.3";
constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);
constexpr RECT kColourWindow{600, 300, 800, 420};

// A balloon of the notification area is up: a shown tooltip window of another
// process than the program (the shell's), the program's own statistics
// balloon aside.
struct Look {
    DWORD program;
    bool found = false;
};

BOOL CALLBACK LookForBalloon(HWND window, LPARAM data) {
    auto* l = reinterpret_cast<Look*>(data);
    char cls[32] = {};
    ::GetClassNameA(window, cls, sizeof cls);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (::IsWindowVisible(window) && std::string(cls) == "tooltips_class32" &&
        process != l->program)
        l->found = true;
    return !l->found;
}

bool TrayBalloonShown(DWORD program) {
    Look look{program};
    ::EnumWindows(LookForBalloon, reinterpret_cast<LPARAM>(&look));
    return look.found;
}

class AroundTheCapture : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InThrowAwayPrefix()) GTEST_SKIP() << "outside the test harness's Wine prefix";
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = TestFolder(std::string("around-") + test->name());
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
        ::Sleep(60);
        for (int key : {VK_F7, VK_F8, VK_F9, VK_F10, VK_F11, int('D')})
            ::GetAsyncKeyState(key);
        other.SolidWindow(kColourWindow, kRed);
    }
    void TearDown() override {
        if (InThrowAwayPrefix()) ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    }
    HWND Start(Program& program) {
        HWND main = program.WaitForWindow(kCaption);
        if (!main) return nullptr;
        PassTheReminder(program, main, "");
        MouseAside();
        return main;
    }
    static void Activate(HWND main) {
        ::SetForegroundWindow(main);
        WaitFor([&] { return ::GetForegroundWindow() == main; }, 3000);
        ::Sleep(150);
    }
    static Pixels Copied(HWND main) {
        MouseAside();
        return CopyWithTheButton(main) ? ClipboardPixels() : Pixels{};
    }
    // F9 and a drag from one screen point to the other.
    static bool Select(HWND main, POINT from, POINT to) {
        PressKey(VK_F9);
        HWND overlay = WaitForOverlay("CaptureForm");
        if (!overlay) return false;
        MoveAndRest(from);
        MouseEvent(MOUSEEVENTF_LEFTDOWN);
        MoveAndRest({(from.x + to.x) / 2, (from.y + to.y) / 2});
        MoveAndRest(to);
        MouseEvent(MOUSEEVENTF_LEFTUP);
        if (!WaitFor([&] { return !::IsWindow(overlay); }, 5000)) return false;
        return WaitFor([&] { return ::IsWindowVisible(main) && !::IsIconic(main); }, 5000);
    }
    // A key pressed with Shift, Ctrl or Alt held, as long as a person holds them.
    static void With(std::initializer_list<WORD> modifiers, WORD key) {
        for (WORD m : modifiers)
            KeyEvents({{m, true}});
        KeyEvents({{key, true}});
        ::Sleep(150);
        KeyEvents({{key, false}});
        for (WORD m : modifiers)
            KeyEvents({{m, false}});
    }
    // The main window is hidden for a capture and back.
    static bool CaptureSeen(HWND main, DWORD milliseconds) {
        if (!WaitFor([&] { return !::IsWindowVisible(main); }, milliseconds)) return false;
        WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }, 5000);
        ::Sleep(400);
        return true;
    }

    std::string folder;
    OtherProgram other;
};

TEST_F(AroundTheCapture, ADelayTakesTheScreenAsItIsWhenItEnds_AndTheSameKeyCancelsIt) {
    ASSERT_TRUE(StoreSetting("Delay", "3"));
    Program program(ProgramPath(), folder);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    PressKey(VK_F7);
    ::Sleep(2000);
    other.SolidWindow(kColourWindow, kGreen);
    ASSERT_TRUE(CaptureSeen(main, 4000));
    const Pixels picture = Copied(main);
    ASSERT_EQ(picture.width, 1024);
    EXPECT_EQ(picture.At(700, 360), kGreen);
    // F7 again during the countdown: nothing is taken, nothing counted.
    PressKey(VK_F7);
    ::Sleep(1000);
    PressKey(VK_F7);
    EXPECT_FALSE(WaitFor([&] { return !::IsWindowVisible(main); }, 4000));
    ExitWithTheMenu(program, main, 'F', 'X');
    EXPECT_EQ(Setting("Capture"), "1");
}

TEST_F(AroundTheCapture, TheLastRegionIsTakenAgainFromTheScreenAsItIsNow_AlsoAfterAStart) {
    {
        Program program(ProgramPath(), folder);
        HWND main = Start(program);
        ASSERT_NE(main, nullptr) << program.DescribeWindows();
        ASSERT_TRUE(Select(main, {620, 320}, {700, 380}));
        const Pixels red = Copied(main);
        ASSERT_EQ(red.width, 80);
        ASSERT_EQ(red.height, 60);
        EXPECT_EQ(Mismatch(red, [](int, int) { return kRed; }), "");
        EXPECT_EQ(Setting("LastRegion"), "620,320,700,380");
        other.SolidWindow(kColourWindow, kGreen);
        With({VK_CONTROL, VK_MENU, VK_SHIFT}, VK_F8);
        ASSERT_TRUE(CaptureSeen(main, 3000));
        const Pixels green = Copied(main);
        ASSERT_EQ(green.width, 80);
        ASSERT_EQ(green.height, 60);
        EXPECT_EQ(Mismatch(green, [](int, int) { return kGreen; }), "");
        ExitWithTheMenu(program, main, 'F', 'X');
    }
    other.SolidWindow(kColourWindow, kBlue);
    Program again(ProgramPath(), folder);
    HWND main = Start(again);
    ASSERT_NE(main, nullptr) << again.DescribeWindows();
    With({VK_CONTROL, VK_MENU, VK_SHIFT}, VK_F8);
    ASSERT_TRUE(CaptureSeen(main, 3000));
    const Pixels blue = Copied(main);
    ASSERT_EQ(blue.width, 80);
    EXPECT_EQ(Mismatch(blue, [](int, int) { return kBlue; }), "");
    ExitWithTheMenu(again, main, 'F', 'X');
}

TEST_F(AroundTheCapture, EveryCaptureIsSavedUnderItsPatternAndCopied_AndAFailedSaveLosesNothing) {
    const std::string saves = folder + "\\saved";
    fs::remove_all(saves);
    ASSERT_TRUE(StoreSetting("AutoSave", "1"));
    ASSERT_TRUE(StoreSetting("AutoSaveFolder", saves));
    ASSERT_TRUE(StoreSetting("AutoCopy", "1"));
    Program program(ProgramPath(), folder);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    SYSTEMTIME before;
    ::GetLocalTime(&before);
    const DWORD sequence = ::GetClipboardSequenceNumber();
    ASSERT_TRUE(Select(main, {620, 320}, {700, 380}));
    ::Sleep(500);
    // Copied without Copy.
    EXPECT_NE(::GetClipboardSequenceNumber(), sequence);
    const Pixels copied = ClipboardPixels();
    EXPECT_EQ(copied.width, 80);
    EXPECT_EQ(Mismatch(copied, [](int, int) { return kRed; }), "");
    // Saved, named by the pattern, within two seconds of the capture.
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(saves))
        files.push_back(entry.path());
    ASSERT_EQ(files.size(), 1u);
    const std::string name = files[0].filename().string();
    int y, mo, d, h, mi, s;
    ASSERT_EQ(std::sscanf(name.c_str(), "Glimra %d-%d-%d %d.%d.%d.png", &y, &mo, &d, &h, &mi, &s),
              6)
        << name;
    const int secondsThen = before.wHour * 3600 + before.wMinute * 60 + before.wSecond;
    EXPECT_NEAR(h * 3600 + mi * 60 + s, secondsThen, 4) << name;
    const Pixels saved =
        PixelsOf(glimra::test::DecodePng(glimra::test::ReadFile(files[0].string())));
    EXPECT_TRUE(saved == copied);
    // Two captures in one second give two files.
    Activate(main);
    With({VK_CONTROL, VK_MENU, VK_SHIFT}, VK_F8);
    ASSERT_TRUE(CaptureSeen(main, 3000));
    With({VK_CONTROL, VK_MENU, VK_SHIFT}, VK_F8);
    ASSERT_TRUE(CaptureSeen(main, 3000));
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(saves))
        count += entry.is_regular_file();
    EXPECT_EQ(count, 3u);
    ExitWithTheMenu(program, main, 'F', 'X');

    // A folder that cannot be made (beneath a file): a balloon, the picture in
    // the view, and no file anywhere.
    const std::string blocked = folder + "\\a-file";
    {
        FILE* file = std::fopen(blocked.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputc('x', file);
        std::fclose(file);
    }
    ASSERT_TRUE(StoreSetting("AutoSaveFolder", blocked + "\\saved"));
    ASSERT_TRUE(StoreSetting("AutoCopy", "0"));
    Program second(ProgramPath(), folder);
    main = Start(second);
    ASSERT_NE(main, nullptr) << second.DescribeWindows();
    ASSERT_TRUE(Select(main, {620, 320}, {700, 380}));
    EXPECT_TRUE(WaitFor([&] { return TrayBalloonShown(second.Id()); }, 3000)) << "no balloon";
    EXPECT_TRUE(ViewShows(main, 80, 60) == Copied(main));
    EXPECT_EQ(Copied(main).width, 80);
    EXPECT_EQ(fs::file_size(blocked), 1u);
    ExitWithTheMenu(second, main, 'F', 'X');
}

TEST_F(AroundTheCapture, KeysOfTheUsersChoosing_AndTheDialogRefusesAKeyGivenTwice) {
    ASSERT_TRUE(StoreSetting("KeyDesktop", "Ctrl+Alt+D"));
    Program program(ProgramPath(), folder);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    // The keys work from anywhere: another program's window is in front.
    HWND elsewhere = other.SolidWindow({100, 500, 300, 600}, kBlue, WS_OVERLAPPEDWINDOW);
    ::SetForegroundWindow(elsewhere);
    ::Sleep(300);
    PressKey(VK_F7);
    EXPECT_FALSE(WaitFor([&] { return !::IsWindowVisible(main); }, 1500)) << "F7 still captures";
    With({VK_CONTROL, VK_MENU}, 'D');
    ASSERT_TRUE(CaptureSeen(main, 4000));
    EXPECT_EQ(Copied(main).width, 1024);

    // "C&onfig" > "&Keys...": the desktop's key made the active window's.
    Activate(main);
    AltAnd('O');
    ASSERT_NE(WaitForMenu(program), nullptr);
    Keys({'K'});
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (dialog = ShownWindowOfClass(program, "#32770")); }, 5000));
    ::Sleep(300);
    SaveScreenshot(dialog, "around-keys-dialog");
    ::SendMessageA(::GetDlgItem(dialog, 101), 0x0401 /* HKM_SETHOTKEY */, VK_F8, 0);
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    HWND refusal = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            refusal = ShownWindowOfClass(program, "#32770");
            return refusal && refusal != dialog;
        },
        5000));
    EXPECT_TRUE(::IsWindow(dialog));
    ::PostMessageA(refusal, WM_COMMAND, IDOK, 0);
    ::Sleep(300);
    ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ::Sleep(300);
    EXPECT_EQ(Setting("KeyDesktop"), "Ctrl+Alt+D");
    ExitWithTheMenu(program, main, 'F', 'X');
}

// The default keys beyond F7 to F10 take their captures while another
// program's window is in front; Shift+F10 there, Windows' context-menu key,
// takes nothing.
TEST_F(AroundTheCapture, TheDefaultKeysTakeTheirCaptures_AndShiftF10TakesNothing) {
    Program program(ProgramPath(), folder);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    HWND elsewhere = other.SolidWindow({100, 500, 300, 600}, kBlue, WS_OVERLAPPEDWINDOW);
    const auto inFront = [&] {
        ::SetForegroundWindow(elsewhere);
        ::Sleep(300);
    };
    inFront();
    With({VK_SHIFT}, VK_F10);
    EXPECT_FALSE(WaitFor([&] { return !::IsWindowVisible(main) || ::IsIconic(main); }, 2000))
        << "Shift+F10 started a capture";
    EXPECT_EQ(::FindWindowA(nullptr, "CaptureControl"), nullptr);

    inFront();
    With({VK_CONTROL, VK_MENU, VK_SHIFT}, VK_F7);
    ASSERT_TRUE(CaptureSeen(main, 4000)) << "no capture of all displays";
    EXPECT_EQ(Copied(main).width, 1024);
    // Each of the others opens its overlay, which Escape closes: the last
    // region before any selection is F9's, the scrolling capture has the
    // picker, the recording the selection overlay.
    for (const auto& [key, overlay] : {std::pair<WORD, const char*>{VK_F8, "CaptureForm"},
                                       {VK_F10, "CaptureControl"},
                                       {VK_F11, "CaptureForm"}}) {
        SCOPED_TRACE(overlay);
        inFront();
        With({VK_CONTROL, VK_MENU, VK_SHIFT}, key);
        HWND shown = WaitForOverlay(overlay);
        ASSERT_NE(shown, nullptr) << program.DescribeWindows();
        PressKey(VK_ESCAPE);
        ASSERT_TRUE(WaitFor([&] { return !::IsWindow(shown); }, 5000));
        ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) && !::IsIconic(main); }, 5000));
        ::Sleep(300);
    }
    ExitWithTheMenu(program, main, 'F', 'X');
}

TEST_F(AroundTheCapture, APinnedPictureStaysOnTop_FollowsADragAndGoesWithEscape) {
    Program program(ProgramPath(), folder);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    ASSERT_TRUE(Select(main, {620, 320}, {700, 380}));
    Activate(main);
    With({VK_CONTROL}, 'T');
    HWND pin = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (pin = ::FindWindowA("GlimraPin", nullptr)) != nullptr; }, 3000));
    ::Sleep(300);
    SaveScreenshot(RECT{540, 260, 880, 480}, "around-pin");
    RECT r;
    ::GetWindowRect(pin, &r);
    EXPECT_EQ(ScreenPixels({640, 340, 641, 341}).At(0, 0), kRed) << "the pin shows the picture";
    EXPECT_EQ(r.left, 620);
    EXPECT_EQ(r.top, 320);
    EXPECT_EQ(r.right - r.left, 80);
    // Another window brought to the front over it: the pin stays above it.
    HWND cover = other.SolidWindow({560, 280, 860, 460}, kBlue, WS_OVERLAPPEDWINDOW);
    ::SetForegroundWindow(cover);
    ::Sleep(500);
    EXPECT_EQ(::WindowFromPoint({660, 350}), pin);
    // Under Wine's X11 driver the window brought to the front is drawn over a
    // top-most window of another process although the system's order keeps the
    // pin above it, as WindowFromPoint says; the screen's pixels are read before.
    // A drag moves it.
    MoveAndRest({640, 340});
    MouseEvent(MOUSEEVENTF_LEFTDOWN);
    MoveAndRest({700, 360});
    MoveAndRest({740, 400});
    MouseEvent(MOUSEEVENTF_LEFTUP);
    ::Sleep(300);
    ::GetWindowRect(pin, &r);
    EXPECT_EQ(r.left, 720);
    EXPECT_EQ(r.top, 380);
    // Escape closes it.
    ::SetForegroundWindow(pin);
    ::Sleep(200);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(pin); }, 3000));
    ExitWithTheMenu(program, main, 'F', 'X');
}

// "Capture the Pointer" in the Config menu: F7 and an F9 selection then hold the
// pointer where it stood when the screen was taken, drawn as the system draws
// it; turned off again, F7 holds none.
TEST_F(AroundTheCapture, ThePointerIsInThePictureWhereItStood_OnlyWithItsOption) {
    Program program(ProgramPath(), folder);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    const auto toggle = [&] {
        Activate(main);
        AltAnd('O');
        if (!WaitForMenu(program)) return false;
        Keys({'P'});
        return MenusClosed(program);
    };
    ASSERT_TRUE(toggle());
    EXPECT_EQ(Setting("CapturePointer"), "1");

    // A red window above every other, the main window included, whose arrow is
    // the pointer wherever it stands over it; and that arrow as the system
    // draws it over red.
    HWND above = other.SolidWindow({860, 300, 1000, 440}, kRed);
    ::SetWindowPos(above, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    HCURSOR arrow = ::LoadCursorA(nullptr, IDC_ARROW);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(arrow, &info));
    const POINT hot{LONG(info.xHotspot), LONG(info.yHotspot)};
    ::DeleteObject(info.hbmMask);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    const int size = ::GetSystemMetrics(SM_CXCURSOR);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    const RECT all{0, 0, size, size};
    HBRUSH red = ::CreateSolidBrush(kRed);
    ::FillRect(dc, &all, red);
    ::DeleteObject(red);
    ::DrawIconEx(dc, 0, 0, arrow, 0, 0, 0, nullptr, DI_NORMAL);
    ::SelectObject(dc, old);
    const Pixels expected = PixelsOf(dc, bitmap, size, size);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    ASSERT_NE(Mismatch(expected, [](int, int) { return kRed; }), "") << "the arrow draws nothing";

    const POINT p{900, 330};
    const RECT drawn{p.x - hot.x, p.y - hot.y, p.x - hot.x + size, p.y - hot.y + size};
    MoveAndRest(p);
    PressKey(VK_F7);
    ASSERT_TRUE(CaptureSeen(main, 3000));
    Pixels picture = Copied(main);
    ASSERT_EQ(picture.width, 1024);
    EXPECT_TRUE(Part(picture, drawn) == expected) << "F7: the pointer is not where it stood";

    // F9 freezes the screen with the pointer at p; the drag then moves it.
    MoveAndRest(p);
    const POINT from{p.x - 30, p.y - 20};
    ASSERT_TRUE(Select(main, from, {p.x + 70, p.y + 70}));
    picture = Copied(main);
    ASSERT_EQ(picture.width, 100);
    EXPECT_TRUE(Part(picture, {drawn.left - from.x, drawn.top - from.y, drawn.right - from.x,
                               drawn.bottom - from.y}) == expected)
        << "F9: the pointer is not where it stood at the freeze: "
        << Mismatch(Part(picture, {drawn.left - from.x, drawn.top - from.y, drawn.right - from.x,
                                   drawn.bottom - from.y}),
                    [&](int x, int y) { return expected.At(x, y); });

    // The pointer is an object over the picture: picked with the Select tool and
    // deleted, it leaves the red it stood on; one undo brings it back, and one
    // more takes the whole capture back, the pointer with it.
    const RECT inPicture{drawn.left - from.x, drawn.top - from.y, drawn.right - from.x,
                         drawn.bottom - from.y};
    Activate(main);
    PressKey('V');
    MoveAndRest(PicturePoint(main, inPicture.left + 3, inPicture.top + 8));
    MouseEvent(MOUSEEVENTF_LEFTDOWN);
    MouseEvent(MOUSEEVENTF_LEFTUP);
    ::Sleep(300);
    PressKey(VK_DELETE);
    ::Sleep(300);
    EXPECT_EQ(Mismatch(Part(Copied(main), inPicture), [](int, int) { return kRed; }), "")
        << "the pointer stays after its deletion";
    Activate(main);
    KeyEvents({{VK_CONTROL, true}, {'Z', true}, {'Z', false}, {VK_CONTROL, false}});
    ::Sleep(300);
    EXPECT_TRUE(Part(Copied(main), inPicture) == expected) << "the undo brings no pointer back";
    Activate(main);
    KeyEvents({{VK_CONTROL, true}, {'Z', true}, {'Z', false}, {VK_CONTROL, false}});
    ::Sleep(300);
    EXPECT_EQ(Copied(main).width, 1024) << "the capture and its pointer are not one step";
    PressKey(VK_ESCAPE);

    ASSERT_TRUE(toggle());
    EXPECT_EQ(Setting("CapturePointer"), "0");
    MoveAndRest(p);
    PressKey(VK_F7);
    ASSERT_TRUE(CaptureSeen(main, 3000));
    picture = Copied(main);
    ASSERT_EQ(picture.width, 1024);
    EXPECT_EQ(Mismatch(Part(picture, drawn), [](int, int) { return kRed; }), "");
    ExitWithTheMenu(program, main, 'F', 'X');
}

// "Adjust the Selection Before Taking It" in the Config menu: after the release
// the band stands on the frozen screen; a handle dragged, the arrow keys and a
// typed size change it, Enter takes exactly it, and Escape takes nothing. (Keys
// held during a drag, Shift for the ratio and Space to move, are not driven
// here: under Wine the X server's state lets go of a key sent while the mouse
// moves.)
TEST_F(AroundTheCapture, AnAdjustableSelectionIsTakenExactlyAsAdjusted) {
    Program program(ProgramPath(), folder);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    // The pattern (a colour of its own at every point) over the left part of the screen.
    other.PatternWindow({0, 0, 560, 560}, WS_POPUP, WS_EX_NOACTIVATE);
    Activate(main);
    AltAnd('O');
    ASSERT_NE(WaitForMenu(program), nullptr);
    Keys({'A'});
    ASSERT_TRUE(MenusClosed(program));
    EXPECT_EQ(Setting("AdjustSelection"), "1");

    const auto drag = [](POINT from, POINT to) {
        MoveAndRest(from);
        MouseEvent(MOUSEEVENTF_LEFTDOWN);
        MoveAndRest({(from.x + to.x) / 2, (from.y + to.y) / 2});
        MoveAndRest(to);
        MouseEvent(MOUSEEVENTF_LEFTUP);
        ::Sleep(200);
    };
    // F9 and a band that stays; what `adjust` does to it, then Enter.
    const auto select = [&](POINT from, POINT to, const std::function<void()>& adjust) {
        Activate(main);
        PressKey(VK_F9);
        HWND overlay = WaitForOverlay("CaptureForm");
        if (!overlay) return false;
        drag(from, to);
        if (!::IsWindow(overlay)) return false;
        adjust();
        PressKey(VK_RETURN);
        return WaitFor([&] { return !::IsWindow(overlay); }, 5000) &&
               WaitFor([&] { return ::IsWindowVisible(main) && !::IsIconic(main); }, 5000);
    };
    const auto isPattern = [](const Pixels& picture, RECT r) {
        if (picture.width != r.right - r.left || picture.height != r.bottom - r.top)
            return "a picture of " + std::to_string(picture.width) + " x " +
                   std::to_string(picture.height);
        return Mismatch(picture, [&](int x, int y) { return Pattern(r.left + x, r.top + y); });
    };

    // The lower right handle 40 right and 20 down; two to the right, ten down
    // with Shift, the right edge one further with Ctrl.
    ASSERT_TRUE(select({100, 100}, {300, 250}, [&] {
        SaveScreenshot(RECT{60, 60, 400, 320}, "adjustable-selection");
        drag({300, 250}, {340, 270});
        Keys({VK_RIGHT, VK_RIGHT});
        With({VK_SHIFT}, VK_DOWN);
        With({VK_CONTROL}, VK_RIGHT);
    }));
    EXPECT_EQ(isPattern(Copied(main), {102, 110, 343, 280}), "");

    // A typed size: 320, Tab, 200, Enter; the top-left corner stays.
    ASSERT_TRUE(select({150, 200}, {250, 260}, [&] {
        Keys({'3', '2', '0', VK_TAB, '2', '0', '0', VK_RETURN});
    }));
    EXPECT_EQ(isPattern(Copied(main), {150, 200, 470, 400}), "");

    // Escape after adjusting: nothing is taken, the picture stays.
    const Pixels before = Copied(main);
    Activate(main);
    PressKey(VK_F9);
    HWND overlay = WaitForOverlay("CaptureForm");
    ASSERT_NE(overlay, nullptr);
    drag({300, 300}, {360, 380});
    Keys({VK_LEFT});
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(overlay); }, 5000));
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) && !::IsIconic(main); }, 5000));
    EXPECT_TRUE(Copied(main) == before);
    ExitWithTheMenu(program, main, 'F', 'X');
}

TEST_F(AroundTheCapture, SettingsFromTheMenusAreStoredAtOnceAndSurviveTheProcessBeingKilled) {
    Program program(ProgramPath(), folder);
    HWND main = Start(program);
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    Activate(main);
    AltAnd('C');
    ASSERT_NE(WaitForMenu(program), nullptr);
    Keys({'D', '5'});
    ASSERT_TRUE(MenusClosed(program));
    AltAnd('O');
    ASSERT_NE(WaitForMenu(program), nullptr);
    Keys({'Y'});
    ASSERT_TRUE(MenusClosed(program));
    // The recording's rate: the fourth of its items; and the pointer, off.
    AltAnd('C');
    ASSERT_NE(WaitForMenu(program), nullptr);
    Keys({'R', VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    ASSERT_TRUE(MenusClosed(program));
    AltAnd('C');
    ASSERT_NE(WaitForMenu(program), nullptr);
    Keys({'P'});
    ASSERT_TRUE(MenusClosed(program));
    program.Kill();
    EXPECT_EQ(Setting("Delay"), "5");
    EXPECT_EQ(Setting("AutoCopy"), "1");
    EXPECT_EQ(Setting("RecordingRate"), "20");
    EXPECT_EQ(Setting("RecordPointer"), "0");
}

}  // namespace
