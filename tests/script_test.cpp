// glimra.exe as a script runs it: this console program starts it with
// arguments, reads what it writes and its exit code, and checks what it left:
// files, the clipboard, the counters, how many copies run.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "app/Settings.h"
#include "testing/desktop/Desktop.h"
#include "testing/desktop/OtherProgram.h"
#include "testing/desktop/Program.h"
#include "testing/desktop/ProgramDriving.h"
#include "testing/desktop/Script.h"
#include "testing/output/decoders.h"
#include "testing/recording/decoded_animation.h"

namespace {

using namespace glimra::test;

constexpr const char* kCaption = "Norvanta Glimra 1.3";

// The copies of the program that take commands.
int RunningCopies() {
    int count = 0;
    ::EnumWindows(
        [](HWND window, LPARAM counted) {
            char cls[64] = {};
            ::GetClassNameA(window, cls, sizeof cls);
            if (std::string(cls) == "GlimraCommands") ++*reinterpret_cast<int*>(counted);
            return TRUE;
        },
        LPARAM(&count));
    return count;
}

Pixels PatternPart(RECT r) {
    Pixels p{r.right - r.left, r.bottom - r.top, {}};
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            p.colours.push_back(Pattern(x, y));
    return p;
}

class Script : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InThrowAwayPrefix()) GTEST_SKIP() << "outside the test harness's Wine prefix";
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
        folder = TestFolder(std::string("script-") +
                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        // A colour of its own at every point, below everything.
        other.PatternWindow({0, 0, 1024, 740}, WS_POPUP, WS_EX_NOACTIVATE);
        MouseAside();
    }
    void TearDown() override {
        if (InThrowAwayPrefix()) ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    }
    std::string folder;
    OtherProgram other;
};

TEST_F(Script, HelpAndBadUsage_AnswerOnTheConsoleWithoutStartingGlimra) {
    const ScriptRun help = RunGlimra("--help");
    EXPECT_EQ(help.exitCode, 0u);
    EXPECT_NE(help.out.find("--region X,Y,W,H"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--save"), std::string::npos);
    for (const char* bad :
         {"--region 1,2,3", "--screen --window", "--frobnicate", "--delay 9999 --screen"}) {
        SCOPED_TRACE(bad);
        const ScriptRun run = RunGlimra(bad);
        EXPECT_EQ(run.exitCode, 2u);
        EXPECT_NE(run.err.find("glimra: "), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
    EXPECT_EQ(RunningCopies(), 0);
}

// With no copy running, one starts for the command and, with --no-window, ends
// with it; a region outside every display fails with its reason.
TEST_F(Script, WithoutARunningCopy_OneStartsTakesTheRegionAndEnds) {
    const std::string png = folder + "\\region.png";
    const ScriptRun run = RunGlimra("--region 100,120,300,200 --save \"" + png + "\" --no-window");
    ASSERT_EQ(run.exitCode, 0u) << run.err;
    EXPECT_NE(run.out.find("300 x 200"), std::string::npos) << run.out;
    EXPECT_TRUE(PixelsOf(DecodePng(ReadFile(png))) == PatternPart({100, 120, 400, 320}));
    EXPECT_TRUE(WaitFor([] { return RunningCopies() == 0; }, 15000)) << "the started copy stays";

    // A relative path is the script's: the file lands in the folder it runs in.
    // The copy started for it shows its reminder, which stays out of the
    // picture of the whole screen taken after a delay.
    const ScriptRun screen = RunGlimra("--screen --delay 2 --save shot.bmp --no-window", folder);
    ASSERT_EQ(screen.exitCode, 0u) << screen.err;
    EXPECT_TRUE(Part(PixelsOf(DecodeBmp(ReadFile(folder + "\\shot.bmp"))), {0, 0, 1024, 700}) ==
                PatternPart({0, 0, 1024, 700}));
    EXPECT_TRUE(WaitFor([] { return RunningCopies() == 0; }, 15000));

    const ScriptRun outside =
        RunGlimra("--region 5000,5000,10,10 --save \"" + folder + "\\x.png\" --no-window");
    EXPECT_EQ(outside.exitCode, 3u);
    EXPECT_NE(outside.err.find("outside every display"), std::string::npos) << outside.err;
    EXPECT_EQ(::GetFileAttributesA((folder + "\\x.png").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(WaitFor([] { return RunningCopies() == 0; }, 15000));
    // The message names the option the rectangle came with.
    const ScriptRun text = RunGlimra("--text 5000,5000,10,10 --no-window");
    EXPECT_EQ(text.exitCode, 3u);
    EXPECT_NE(text.err.find("--text 5000,5000,10,10: the rectangle lies outside"),
              std::string::npos)
        << text.err;
    EXPECT_TRUE(WaitFor([] { return RunningCopies() == 0; }, 15000));
}

// With a copy running, it does the work: the screen to the clipboard, all
// displays to a BMP, two scripts' regions at once to a GIF and a JPEG; one copy
// runs throughout, and its counters count the captures.
TEST_F(Script, ARunningCopyTakesEachCommand_TwoAtOnceToo_AndCountsThem) {
    {
        Program program(ProgramPath(), folder);
        HWND main = program.WaitForWindow(kCaption);
        ASSERT_NE(main, nullptr) << program.DescribeWindows();
        MouseAside();

        // While the reminder counts down: it is not in the picture, and it is
        // back afterwards.
        HWND reminder = program.WaitForWindow("Glimra", 5000);
        ASSERT_TRUE(reminder && WaitFor([&] { return ::IsWindowVisible(reminder); }, 5000));
        const ScriptRun screen = RunGlimra("--screen --copy");
        ASSERT_EQ(screen.exitCode, 0u) << screen.err;
        const Pixels copied = ClipboardPixels();
        ASSERT_EQ(copied.width, 1024);
        EXPECT_TRUE(Part(copied, {0, 0, 1024, 700}) == PatternPart({0, 0, 1024, 700}));
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(reminder); }, 3000));
        PassTheReminder(program, main, "");

        const std::string bmp = folder + "\\all.bmp";
        const ScriptRun all = RunGlimra("--all-displays --save \"" + bmp + "\"");
        ASSERT_EQ(all.exitCode, 0u) << all.err;
        EXPECT_TRUE(Part(PixelsOf(DecodeBmp(ReadFile(bmp))), {0, 0, 1024, 700}) ==
                    PatternPart({0, 0, 1024, 700}));

        const std::string gif = folder + "\\one.gif", jpeg = folder + "\\two.jpg";
        ScriptRun one, two;
        std::thread first([&] { one = RunGlimra("--region 10,10,50,40 --save \"" + gif + "\""); });
        std::thread second(
            [&] { two = RunGlimra("--region 70,10,60,30 --save \"" + jpeg + "\""); });
        first.join();
        second.join();
        EXPECT_EQ(one.exitCode, 0u) << one.err;
        EXPECT_EQ(two.exitCode, 0u) << two.err;
        const DecodedGif decodedGif = DecodeGif(ReadFile(gif));
        EXPECT_EQ(decodedGif.width, 50);
        EXPECT_EQ(decodedGif.height, 40);
        const DecodedJpeg decodedJpeg = DecodeJpeg(ReadFile(jpeg));
        EXPECT_EQ(decodedJpeg.image.width, 60);
        EXPECT_EQ(decodedJpeg.image.height, 30);
        EXPECT_EQ(RunningCopies(), 1);

        // A PNG saved by one command and opened by another is the picture, exactly.
        const std::string png = folder + "\\part.png";
        ASSERT_EQ(RunGlimra("--region 300,300,80,60 --save \"" + png + "\"").exitCode, 0u);
        const ScriptRun opened = RunGlimra("--open \"" + png + "\"");
        ASSERT_EQ(opened.exitCode, 0u) << opened.err;
        ASSERT_TRUE(CopyWithTheButton(main));
        EXPECT_TRUE(ClipboardPixels() == PatternPart({300, 300, 380, 360}));

        // The last region again, as the region before it was taken.
        const std::string last = folder + "\\last.png";
        ASSERT_EQ(RunGlimra("--last-region --save \"" + last + "\"").exitCode, 0u);
        EXPECT_TRUE(PixelsOf(DecodePng(ReadFile(last))) == PatternPart({300, 300, 380, 360}));
        // The window in front, with its frame.
        HWND framed = other.PatternWindow({600, 100, 900, 300}, WS_POPUP | WS_CAPTION);
        ::SetForegroundWindow(framed);
        ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == framed; }, 3000));
        const std::string front = folder + "\\front.png";
        const ScriptRun window = RunGlimra("--window --save \"" + front + "\"");
        ASSERT_EQ(window.exitCode, 0u) << window.err;
        const Pixels windowPicture = PixelsOf(DecodePng(ReadFile(front)));
        EXPECT_EQ(windowPicture.width, 300);
        EXPECT_EQ(windowPicture.height, 200);

        ASSERT_TRUE(WriteBytes(folder + "\\all.txt", "no picture"));
        const ScriptRun notAPicture = RunGlimra("--open \"" + folder + "\\all.txt\"");
        EXPECT_EQ(notAPicture.exitCode, 3u);
        EXPECT_NE(notAPicture.err.find("all.txt"), std::string::npos) << notAPicture.err;
        ExitWithTheMenu(program, main, 'F', 'X');
    }
    // The screen and all displays are full-screen captures; an opened picture
    // is no capture.
    EXPECT_EQ(Setting("Capture"), "2");
}

// A recording for a script: of a rectangle, for a given time, saved as a GIF
// without the preview; as an MP4 under Wine, which has no H.264 encoder, it
// fails with the reason and leaves no file.
TEST_F(Script, ARecordingOfARectangleForTwoSeconds_IsSavedAsAGif) {
    const std::string gif = folder + "\\recorded.gif", mp4 = folder + "\\recorded.mp4";
    const ScriptRun recorded = RunGlimra(
        "--record 200,150,160,120 --duration 2 --rate 10 --save \"" + gif + "\" --no-window");
    ASSERT_EQ(recorded.exitCode, 0u) << recorded.err;
    const DecodedAnimation animation = DecodeAnimation(ReadFile(gif));
    EXPECT_EQ(animation.width, 160);
    EXPECT_EQ(animation.height, 120);
    ASSERT_FALSE(animation.frames.empty());
    int played = 0;
    for (const auto& frame : animation.frames)
        played += frame.delay * 10;
    // The pattern does not move: one frame that lasts the recording's time.
    EXPECT_GE(played, 1900);
    EXPECT_TRUE(WaitFor([] { return RunningCopies() == 0; }, 15000));

    const ScriptRun video =
        RunGlimra("--record 200,150,160,120 --duration 1 --save \"" + mp4 + "\" --no-window");
    EXPECT_EQ(video.exitCode, 3u);
    EXPECT_NE(video.err.find("H.264"), std::string::npos) << video.err;
    EXPECT_EQ(::GetFileAttributesA(mp4.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(WaitFor([] { return RunningCopies() == 0; }, 15000));
}

}  // namespace
