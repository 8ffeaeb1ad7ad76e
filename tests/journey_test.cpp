// A first day with Glimra, as a person meets it: glimra.exe started with no
// settings and driven only through its windows, keys and mouse, from this
// process, which also plays the other programs on the desktop. Every step is
// checked by what it leaves: the saved files, what the clipboard tells another
// program, the registry, the texts and the pixels the windows show. A second
// start must show the language and the counters that the first one left.
#include <windows.h>

#include <gtest/gtest.h>

#include <dlgs.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "testing/output/decoders.h"
#include "testing/desktop/Desktop.h"
#include "testing/desktop/MainWindowLayout.h"
#include "testing/desktop/OtherProgram.h"
#include "testing/desktop/Program.h"

namespace {

using namespace glimra::testing;

constexpr const char* kCaption = "Norvanta Glimra 1.3";
constexpr const char* kSwedishCaption = "Norvanta Glimra 1.3 (svenska)";

// A language file as a translator writes it, in the ANSI code page.
constexpr const char* kSwedish =
    "; Glimra p\xE5 svenska\r\n"
    "[General]\r\n"
    "LanguageName=Svenska\r\n"
    "LanguageVersion=1.0\r\n"
    "Author=Glimra\r\n"
    "\r\n"
    "[MAIN]\r\n"
    "MAIN.Caption=Norvanta Glimra 1.3 (svenska)\r\n"
    "MenuFile.Caption=&Arkiv\r\n"
    "MenuSaveAs.Caption=Spara &som...\r\n"
    "MenuPrint.Caption=Skriv &ut...\r\n"
    "MenuExit.Caption=&Avsluta\r\n"
    "MenuCapture.Caption=&F\xE5nga\r\n"
    "MenuEdit.Caption=&Redigera\r\n"
    "MenuView.Caption=&Visa\r\n"
    "MenuConfig.Caption=&Inst\xE4llningar\r\n"
    "MenuClearStatistic.Caption=Nollst\xE4ll statistiken\r\n"
    "MenuLanguage.Caption=Spr\xE5k\r\n"
    "MenuAbout.Caption=&Om\r\n"
    "ButtonEditCopy.Caption=Kopiera\r\n"
    "ButtonEditGrayscale.Caption=Gr\xE5skala\r\n"
    "ButtonEditBrighten.Caption=Ljusare\r\n"
    "ButtonEditDarken.Caption=M\xF6rkare\r\n"
    "ButtonEditInvert.Caption=Invertera\r\n"
    "info.Caption=Klar\r\n"
    "SM.Caption=Tagna sk\xE4rmbilder:\r\n"
    "FS.Caption=Hela sk\xE4rmen:\r\n"
    "AW.Caption=Aktivt f\xF6nster:\r\n"
    "\r\n"
    "[about]\r\n"
    "about.Caption=Om Glimra\r\n";

// ---- What the screen, the clipboard and the registry hold.

struct Pixels {
    int width = 0, height = 0;
    std::vector<COLORREF> colours;  // rows from the top
    COLORREF At(int x, int y) const { return colours[std::size_t(y) * width + x]; }
    bool operator==(const Pixels&) const = default;
};

// The pixels of a bitmap, read through a 32-bit DIB.
Pixels PixelsOf(HDC dc, HBITMAP bitmap, int width, int height) {
    Pixels p{width, height, std::vector<COLORREF>(std::size_t(width) * height)};
    BITMAPINFO info = TopDownDib(width, height, 32);
    std::vector<RGBQUAD> bits(p.colours.size());
    ::GetDIBits(dc, bitmap, 0, height, bits.data(), &info, DIB_RGB_COLORS);
    for (std::size_t i = 0; i < bits.size(); ++i)
        p.colours[i] = RGB(bits[i].rgbRed, bits[i].rgbGreen, bits[i].rgbBlue);
    return p;
}

// What the screen shows in a rectangle.
Pixels ScreenPixels(RECT r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ::SelectObject(memory, old);
    Pixels p = PixelsOf(memory, bitmap, w, h);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return p;
}

// What another program learns of the clipboard at a glance: who put something
// there last, and whether a bitmap is among its formats.
struct ClipboardState {
    DWORD sequence;
    HWND owner;
    bool bitmap;
};

ClipboardState Clipboard() {
    return {::GetClipboardSequenceNumber(), ::GetClipboardOwner(),
            ::IsClipboardFormatAvailable(CF_BITMAP) != FALSE};
}

// A string value of the settings key, or nothing.
std::optional<std::string> Setting(const char* name) {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    char data[512] = {};
    DWORD type = 0, size = sizeof data - 1;
    const LONG status =
        ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    return std::string(data);
}

bool SettingsKeyExists() {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

std::uint8_t Gray(COLORREF c) {
    return std::uint8_t((30 * GetRValue(c) + 59 * GetGValue(c) + 11 * GetBValue(c) + 50) / 100);
}

bool IsGray(COLORREF c, int tolerance) {
    return std::abs(GetRValue(c) - GetGValue(c)) <= tolerance &&
           std::abs(GetGValue(c) - GetBValue(c)) <= tolerance;
}

// The first point where a picture differs from what `expected` says by more than
// `tolerance` in a channel, or "".
template <class F>
std::string Mismatch(const Pixels& p, F expected, int tolerance = 0) {
    auto within = [tolerance](COLORREF a, COLORREF b) {
        return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
               std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
               std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
    };
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (!within(p.At(x, y), expected(x, y)))
                return std::to_string(x) + "," + std::to_string(y) + " is " +
                       std::to_string(p.At(x, y)) + " not " + std::to_string(expected(x, y));
    return "";
}

// The part of a picture inside `r`.
Pixels Part(const Pixels& p, RECT r) {
    Pixels part{r.right - r.left, r.bottom - r.top, {}};
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            part.colours.push_back(p.At(x, y));
    return part;
}

// The pattern in shades of gray: the weighted sum of its channels, rounded (a
// sum that ends in exactly one half may round either way, so comparisons allow
// one level).
COLORREF GrayPattern(int x, int y) {
    const std::uint8_t g = Gray(Pattern(x, y));
    return RGB(g, g, g);
}

// The decoded file as pixels.
Pixels PixelsOf(const glimra::test::RgbImage& image) {
    Pixels p{image.width, image.height, {}};
    for (std::size_t i = 0; i + 2 < image.rgb.size(); i += 3)
        p.colours.push_back(RGB(image.rgb[i], image.rgb[i + 1], image.rgb[i + 2]));
    return p;
}

// The picture on the clipboard, as another program reads it (its packed bitmap);
// no pixels when there is none.
Pixels ClipboardPixels() {
    const std::vector<std::uint8_t> file = ClipboardPictureFile();
    if (file.empty()) return {};
    return PixelsOf(glimra::test::DecodeBmp(file));
}

// ---- The program's windows, seen from outside.

std::string TextOf(HWND window) {
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

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

void RightClickAt(POINT p) {
    MoveMouseTo(p);
    ::Sleep(60);
    MouseEvent(MOUSEEVENTF_RIGHTDOWN);
    MouseEvent(MOUSEEVENTF_RIGHTUP);
}

// The mouse away from every window of the program, so that nothing shows a hover.
void MouseAside() {
    MoveMouseTo({1000, 20});
    ::Sleep(200);
}

// The title bar's minimise box, found as the window itself answers hit tests.
std::optional<POINT> MinimiseBox(HWND window) {
    RECT r;
    ::GetWindowRect(window, &r);
    const int y = r.top + ::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYCAPTION) / 2;
    for (int x = r.right - 1; x > r.left; --x) {
        DWORD_PTR hit = 0;
        ::SendMessageTimeoutA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000,
                              &hit);
        if (hit == HTMINBUTTON) return POINT{x - 3, y};
    }
    return std::nullopt;
}

// Right-clicks the program's icon in the notification area, at the right end of
// the task bar, and returns its menu. Icons that ended programs left behind may
// stand right of it, so the places are tried from the right until the program's
// own menu opens.
HWND OpenTrayMenu(const Program& program) {
    RECT bar{};
    ::GetWindowRect(::FindWindowA("Shell_TrayWnd", nullptr), &bar);
    const int step = ::GetSystemMetrics(SM_CXSMICON) + 4;
    for (int place = 0; place < 6; ++place) {
        RightClickAt({bar.right - step / 2 - place * step, (bar.top + bar.bottom) / 2});
        HWND menu = nullptr;
        if (WaitFor([&] { return (menu = ShownWindowOfClass(program, "#32768")) != nullptr; },
                    1500))
            return menu;
    }
    return nullptr;
}

// Clicks the button and waits until `done`; under Wine a sent click is now and
// then lost on its way, and a person would click once more.
template <class F>
bool ClickUntil(POINT p, F done, DWORD milliseconds = 3000) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        ClickAt(p);
        if (WaitFor(done, milliseconds)) return true;
    }
    return false;
}

// Copies with the edit tool bar's Copy button: the main window puts a bitmap
// on the clipboard.
bool CopyWithTheButton(HWND main) {
    const DWORD before = ::GetClipboardSequenceNumber();
    return ClickUntil(CentreOf(main, EditButton::Copy), [&] {
        const ClipboardState now = Clipboard();
        return now.sequence != before && now.owner == main && now.bitmap;
    });
}

// What the image view shows of the picture's top-left corner, at 100 %.
Pixels ViewShows(HWND main, int width, int height) {
    const POINT origin = PicturePoint(main, 0, 0);
    return ScreenPixels({origin.x, origin.y, origin.x + width, origin.y + height});
}

// The view ends right of and below a picture of this size: the image area's
// own colour shows there.
bool ViewEndsAt(HWND main, int width, int height) {
    const COLORREF area = ::GetSysColor(COLOR_APPWORKSPACE);
    const Pixels right = ViewShows(main, width + 3, 1), below = ViewShows(main, 1, height + 3);
    return right.At(width + 1, 0) == area && below.At(0, height + 1) == area;
}

// "Save &As..." from the File menu, through the real save dialog: the type as a
// pick in its drop-down list (1 BMP, 2 JPEG, 3 GIF, 4 PNG), the full name typed
// into its name box, and a click on its Save button.
void SaveAs(const Program& program, HWND main, int type, const std::string& path,
            const std::string& screenshot = "") {
    ::DeleteFileA(path.c_str());
    ::SetForegroundWindow(main);
    ::Sleep(200);
    AltAnd('F');
    ASSERT_NE(WaitForMenu(program), nullptr) << "no File menu";
    Keys({VK_RETURN});  // its first entry
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            dialog = ShownWindowOfClass(program, "#32770");
            return dialog && (::GetDlgItem(dialog, cmb13) || ::GetDlgItem(dialog, edt1));
        },
        8000))
        << program.DescribeWindows();
    ::Sleep(300);
    if (!screenshot.empty()) SaveScreenshot(dialog, screenshot);
    HWND types = ::GetDlgItem(dialog, cmb1);
    ::SendMessageA(types, CB_SETCURSEL, type - 1, 0);
    for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
        ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, code), reinterpret_cast<LPARAM>(types));
    HWND name =
        ::GetDlgItem(dialog, cmb13) ? ::GetDlgItem(dialog, cmb13) : ::GetDlgItem(dialog, edt1);
    ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    ClickWindow(::GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, 5000)) << "the dialog stays";
    ASSERT_TRUE(WaitFor(
        [&] { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }, 5000))
        << "no file " << path;
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

// Under Wine a sent move now and then reaches a window late, or a stale pointer
// event puts the pointer back for a moment: a move counts once the pointer has
// stayed there.
void MoveAndRest(POINT p) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        MoveMouseTo(p);
        bool rests = true;
        for (int poll = 0; poll < 5 && rests; ++poll) {
            POINT now;
            ::GetCursorPos(&now);
            rests = now.x == p.x && now.y == p.y;
            ::Sleep(20);
        }
        if (rests) break;
    }
    ::Sleep(100);
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

// ---- The journey.

class Journey : public ::testing::Test {
  protected:
    Journey() {
        folder = TestFolder("journey");
        for (const char* stale : {"\\first.jpg", "\\Lang\\Svenska.lng"})
            ::DeleteFileA((folder + stale).c_str());
        ::CreateDirectoryA((folder + "\\Lang").c_str(), nullptr);
        std::FILE* file = std::fopen((folder + "\\Lang\\Svenska.lng").c_str(), "wb");
        std::fputs(kSwedish, file);
        std::fclose(file);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
        // Presses of the capture keys that earlier tests left are not for this
        // one. Wine answers a key query from a cache for 50 ms.
        ::Sleep(60);
        for (int key : {VK_F7, VK_F8, VK_F9, VK_F10})
            ::GetAsyncKeyState(key);
        // Behind everything, the pattern over the whole display: every pixel of a
        // grab tells where it came from.
        HWND backdrop = other.PatternWindow({0, 0, 1024, 768});
        ::SetWindowPos(backdrop, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    std::string folder;
    OtherProgram other;
};

TEST_F(Journey, AFirstDayThroughWindowsKeysAndMouse_AndASecondStartKeepsLanguageAndCounters) {
    Pixels englishMenuBar, englishStatus, swedishMenuBar, swedishStatus;
    {
        Program program(ProgramPath(), folder);
        HWND main = program.WaitForWindow(kCaption);
        ASSERT_NE(main, nullptr) << program.DescribeWindows();
        PassTheReminder(program, main, "journey-01-reminder");
        EXPECT_TRUE(SettingsKeyExists()) << "the first start makes the settings key";
        MouseAside();
        englishMenuBar = ScreenPixels(MenuBarRect(main));
        englishStatus = ScreenPixels(StatusBarRect(main));
        SaveScreenshot(main, "journey-02-main-window");

        // F7: the whole display, without the main window; Grayscale from the
        // edit tool bar. Above the task bar the picture is the pattern in gray.
        ASSERT_TRUE(CaptureWithKey(VK_F7, main)) << program.DescribeWindows();
        ClickAt(CentreOf(main, EditButton::Grayscale));
        ASSERT_TRUE(WaitFor(
            [&] { return Mismatch(ViewShows(main, 600, 350), GrayPattern, 1) == ""; }, 3000))
            << Mismatch(ViewShows(main, 600, 350), GrayPattern, 1);
        SaveScreenshot(main, "journey-03-grayscale");
        EXPECT_TRUE(CopyWithTheButton(main));

        // Saved as JPEG: the whole grayscale picture, within JPEG's error.
        const std::string jpegPath = folder + "\\first.jpg";
        SaveAs(program, main, 2, jpegPath, "journey-04-save-dialog");
        const Pixels jpeg =
            PixelsOf(glimra::test::DecodeJpeg(glimra::test::ReadFile(jpegPath)).image);
        ASSERT_EQ(jpeg.width, 1024);
        ASSERT_EQ(jpeg.height, 768);
        long error = 0, count = 0;
        for (int y = 0; y < 740; ++y)
            for (int x = 0; x < 1024; ++x, ++count) {
                ASSERT_TRUE(IsGray(jpeg.At(x, y), 2)) << x << "," << y;
                error += std::abs(GetGValue(jpeg.At(x, y)) - GetGValue(GrayPattern(x, y)));
            }
        const double meanError = double(error) / double(count);
        std::printf("saved JPEG against the grayscale picture: mean error %.2f levels\n",
                    meanError);
        EXPECT_LT(meanError, 6.0);

        // "Rotate 90" from the image menu of a right click on the picture: a
        // quarter turn clockwise, the left column now the top row, saved as PNG.
        RightClickAt(PicturePoint(main, 200, 200));
        HWND menu = WaitForMenu(program);
        ASSERT_NE(menu, nullptr) << "no image menu";
        ::Sleep(200);
        SaveScreenshot(menu, "journey-05-image-menu");
        Keys({VK_UP, VK_RIGHT, VK_RETURN});  // the last entry, "Rotate", and its first
        ASSERT_TRUE(MenusClosed(program));
        const std::string pngPath = folder + "\\turned.png";
        SaveAs(program, main, 4, pngPath);
        const Pixels turned = PixelsOf(glimra::test::DecodePng(glimra::test::ReadFile(pngPath)));
        ASSERT_EQ(turned.width, 768);
        ASSERT_EQ(turned.height, 1024);
        // Columns from 30 on came from above the task bar.
        EXPECT_EQ(Mismatch(
                      Part(turned, {30, 0, 768, 1024}),
                      [](int x, int y) { return GrayPattern(y, 768 - 1 - (x + 30)); }, 1),
                  "");

        // F9 and a drag: the rectangle between the press and the release.
        PressKey(VK_F9);
        HWND overlay = WaitForOverlay("CaptureForm");
        ASSERT_NE(overlay, nullptr) << program.DescribeWindows();
        MoveAndRest({10, 10});
        MouseEvent(MOUSEEVENTF_LEFTDOWN);
        ::Sleep(150);
        for (POINT p : {POINT{60, 30}, POINT{110, 60}})
            MoveAndRest(p);
        SaveScreenshot(overlay, "journey-06-selection");
        MouseEvent(MOUSEEVENTF_LEFTUP);
        ASSERT_TRUE(WaitFor([&] { return !::IsWindow(overlay); }, 5000));
        ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) && !::IsIconic(main); }, 5000));
        ::Sleep(400);
        EXPECT_EQ(Mismatch(ViewShows(main, 100, 50),
                           [](int x, int y) { return Pattern(10 + x, 10 + y); }),
                  "");
        EXPECT_TRUE(ViewEndsAt(main, 100, 50));
        EXPECT_TRUE(CopyWithTheButton(main));
        // This test is another program: it reads the copied picture back whole.
        Pixels copied = ClipboardPixels();
        EXPECT_EQ(copied.width, 100);
        EXPECT_EQ(copied.height, 50);
        EXPECT_EQ(Mismatch(copied, [](int x, int y) { return Pattern(10 + x, 10 + y); }), "");

        // F10 on another program's button, pressed while that program has the
        // focus: exactly that button.
        HWND otherDialog = other.PatternWindow({700, 300, 1000, 500}, WS_POPUP | WS_CAPTION);
        HWND button = other.PatternButton(otherDialog, {30, 40, 150, 80});
        ::SetForegroundWindow(otherDialog);
        ::Sleep(200);
        RECT b;
        ::GetWindowRect(button, &b);
        PressKey(VK_F10);
        overlay = WaitForOverlay("CaptureControl");
        ASSERT_NE(overlay, nullptr) << program.DescribeWindows();
        ClickAt({(b.left + b.right) / 2, (b.top + b.bottom) / 2});
        ASSERT_TRUE(WaitFor([&] { return !::IsWindow(overlay); }, 5000));
        ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) && !::IsIconic(main); }, 5000));
        ::Sleep(400);
        EXPECT_EQ(Mismatch(ViewShows(main, 120, 40), Pattern), "");
        EXPECT_TRUE(ViewEndsAt(main, 120, 40));
        EXPECT_TRUE(CopyWithTheButton(main));
        copied = ClipboardPixels();
        EXPECT_EQ(copied.width, 120);
        EXPECT_EQ(copied.height, 40);
        EXPECT_EQ(Mismatch(copied, Pattern), "");
        SaveScreenshot(main, "journey-07-picked-button");

        // Minimised to the notification area, and back through the tray icon's menu.
        const std::optional<POINT> minimise = MinimiseBox(main);
        ASSERT_TRUE(minimise);
        ASSERT_TRUE(ClickUntil(*minimise, [&] { return !::IsWindowVisible(main); }));
        menu = OpenTrayMenu(program);
        ASSERT_NE(menu, nullptr) << "no tray menu";
        ::Sleep(200);
        SaveScreenshot(menu, "journey-08-tray-menu");
        Keys({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});  // "Main Window"
        ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main); }, 5000));
        ASSERT_TRUE(MenusClosed(program));

        // "C&onfig" > "Language" > the language file.
        ::SetForegroundWindow(main);
        ::Sleep(200);
        AltAnd('O');
        ASSERT_NE(WaitForMenu(program), nullptr);
        Keys({VK_DOWN, VK_RIGHT});
        ::Sleep(200);
        SaveScreenshot(main, "journey-09-language-menu");
        Keys({VK_RETURN});
        ASSERT_TRUE(WaitFor([&] { return TextOf(main) == kSwedishCaption; }, 5000)) << TextOf(main);
        ASSERT_TRUE(MenusClosed(program));
        MouseAside();
        swedishMenuBar = ScreenPixels(MenuBarRect(main));
        swedishStatus = ScreenPixels(StatusBarRect(main));
        SaveScreenshot(main, "journey-10-in-swedish");
        EXPECT_NE(swedishMenuBar, englishMenuBar);
        EXPECT_NE(swedishStatus, englishStatus);

        // "E&xit", now "&Avsluta" under "&Arkiv".
        ExitWithTheMenu(program, main, 'A', 'A');
    }
    EXPECT_EQ(Setting("Capture"), "1");
    EXPECT_EQ(Setting("CaptureA"), "0");
    EXPECT_EQ(Setting("Language"), "Svenska");

    // The second start: the same language and counters, on the screen as they were.
    {
        Program program(ProgramPath(), folder);
        HWND main = program.WaitForWindow(kSwedishCaption);
        ASSERT_NE(main, nullptr) << program.DescribeWindows();
        PassTheReminder(program, main, "journey-11-reminder-again");
        MouseAside();
        EXPECT_EQ(ScreenPixels(MenuBarRect(main)), swedishMenuBar);
        // The counters and their captions, right of the hover text.
        RECT counters = StatusBarRect(main);
        counters.left += 380;
        const Pixels now = ScreenPixels(counters);
        const int offset = 380;
        bool same = true;
        for (int y = 0; y < now.height && same; ++y)
            for (int x = 0; x < now.width && same; ++x)
                same = now.At(x, y) == swedishStatus.At(x + offset, y);
        EXPECT_TRUE(same) << "the status bar shows other counters or captions";
        SaveScreenshot(main, "journey-12-second-start");
        ExitWithTheMenu(program, main, 'A', 'A');
    }
    EXPECT_EQ(Setting("Capture"), "1");
    EXPECT_EQ(Setting("CaptureA"), "0");
    EXPECT_EQ(Setting("Language"), "Svenska");
    // The next tests start without this day's settings.
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
}

}  // namespace
