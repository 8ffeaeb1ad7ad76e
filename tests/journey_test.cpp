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
#include "testing/desktop/ProgramDriving.h"

namespace {

using namespace glimra::test;

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

// ---- The journey.

class Journey : public ::testing::Test {
  protected:
    // The program keeps its settings under the user's own key: only in the
    // harness's throw-away prefix may the journey remove them.
    void SetUp() override {
        if (!InThrowAwayPrefix()) GTEST_SKIP() << "outside the test harness's Wine prefix";
        Prepare();
    }
    void Prepare() {
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
        // "Main Window", fifth from the foot (Exit, Donate, the website, About).
        Keys({VK_UP, VK_UP, VK_UP, VK_UP, VK_UP, VK_RETURN});
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
