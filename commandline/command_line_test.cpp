#include "commandline/command_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "commandline/utf8_text.h"

namespace glimra {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using Args = std::vector<std::string>;

std::string Joined(const Args& args) {
    std::string line;
    for (const std::string& arg : args)
        line += (line.empty() ? "" : " ") + arg;
    return line;
}

Command Parsed(const Args& args) {
    CommandLineResult result = ParseCommandLine(args);
    EXPECT_TRUE(result.command.has_value()) << Joined(args) << " -> " << result.error;
    EXPECT_EQ(result.error, "") << Joined(args);
    return result.command.value_or(Command{});
}

std::string Refused(const Args& args) {
    CommandLineResult result = ParseCommandLine(args);
    EXPECT_FALSE(result.command.has_value()) << Joined(args) << " was taken";
    return result.error;
}

Command Capture(CaptureKind kind) {
    Command command;
    command.capture = kind;
    return command;
}

TEST(CommandLineCaptures, EachAloneGivesItsKindAndNothingElse) {
    struct Case {
        const char* arg;
        CaptureKind kind;
    };
    for (Case c :
         {Case{"--screen", CaptureKind::Screen}, Case{"--all-displays", CaptureKind::AllDisplays},
          Case{"--window", CaptureKind::Window}, Case{"--region", CaptureKind::Region},
          Case{"--pick", CaptureKind::Pick}, Case{"--last-region", CaptureKind::LastRegion},
          Case{"--scrolling", CaptureKind::Scrolling}, Case{"--record", CaptureKind::Record},
          Case{"--text", CaptureKind::Text}}) {
        EXPECT_EQ(Parsed({c.arg}), Capture(c.kind)) << c.arg;
        EXPECT_EQ(CaptureOption(c.kind), c.arg);
    }
    // Names are matched with letter case ignored, as Windows users type them.
    EXPECT_EQ(Parsed({"--All-Displays"}).capture, CaptureKind::AllDisplays);
}

TEST(CommandLineCaptures, RegionAndRecordTakeARectangleAsNextArgumentOrAfterEquals) {
    Command region = Capture(CaptureKind::Region);
    region.area = ScreenArea{10, 20, 30, 40};
    EXPECT_EQ(Parsed({"--region", "10,20,30,40"}), region);
    EXPECT_EQ(Parsed({"--region=10,20,30,40"}), region);

    // Negative positions are not taken for options; the extremes are inside.
    EXPECT_EQ(Parsed({"--region", "-32768,-5,1,65535"}).area, (ScreenArea{-32768, -5, 1, 65535}));
    EXPECT_EQ(Parsed({"--record", "32767,0,65535,1"}).area, (ScreenArea{32767, 0, 65535, 1}));

    // Without a rectangle the option after it stays an option.
    Command asked = Parsed({"--record", "--save", "clip.gif"});
    EXPECT_EQ(asked.capture, CaptureKind::Record);
    EXPECT_EQ(asked.area, std::nullopt);
    EXPECT_EQ(asked.savePath, "clip.gif");
    EXPECT_EQ(Parsed({"--region", "--copy"}).area, std::nullopt);

    // The text of a rectangle, read with the editor kept closed.
    Command text = Parsed({"--text=5,6,70,80", "--no-window", "--delay", "1"});
    EXPECT_EQ(text.capture, CaptureKind::Text);
    EXPECT_EQ(text.area, (ScreenArea{5, 6, 70, 80}));
    EXPECT_TRUE(text.noWindow);
    EXPECT_EQ(text.delaySeconds, 1);
}

TEST(CommandLineOptions, EveryOptionOfAPictureLandsInTheCommand) {
    Command expected = Capture(CaptureKind::Window);
    expected.delaySeconds = 3600;
    expected.pointer = PointerChoice::Show;
    expected.savePath = "C:\\Shots\\Über.PNG";
    expected.saveFormat = SaveFormat::Png;
    expected.copy = true;
    expected.pin = true;
    expected.noWindow = true;
    EXPECT_EQ(Parsed({"--delay", "3600", "--pointer", "--window", "--save", "C:\\Shots\\Über.PNG",
                      "--copy", "--pin", "--no-window"}),
              expected);
    EXPECT_EQ(Parsed({"--no-window", "--pin", "--copy", "--save=C:\\Shots\\Über.PNG", "--pointer",
                      "--delay=3600", "--window"}),
              expected);

    EXPECT_EQ(Parsed({"--screen", "--no-pointer", "--delay", "0"}).pointer, PointerChoice::Hide);
}

TEST(CommandLineOptions, ARecordingTakesDurationRateAndCopy) {
    Command expected = Capture(CaptureKind::Record);
    expected.area = ScreenArea{0, 0, 800, 600};
    expected.durationSeconds = 36000;
    expected.frameRate = 5;
    expected.copy = true;
    expected.noWindow = true;  // a recording is saved anyway
    expected.savePath = "clip.MP4";
    expected.saveFormat = SaveFormat::Mp4;
    EXPECT_EQ(Parsed({"--record", "0,0,800,600", "--duration", "36000", "--rate=5", "--copy",
                      "--no-window", "--save", "clip.MP4"}),
              expected);
    for (int rate : {5, 10, 15, 20, 25, 30})
        EXPECT_EQ(Parsed({"--record", "--rate", std::to_string(rate)}).frameRate, rate);
    EXPECT_EQ(Parsed({"--record", "--duration", "1"}).durationSeconds, 1);
}

TEST(CommandLineOptions, OpenAndHelpStandAlone) {
    Command open;
    open.openPath = "D:\\Pictures\\été.jpg";
    EXPECT_EQ(Parsed({"--open", "D:\\Pictures\\été.jpg"}), open);
    EXPECT_EQ(Parsed({"--OPEN=D:\\Pictures\\été.jpg"}), open);

    Command help;
    help.help = true;
    for (const char* spelling : {"--help", "-h", "-H", "/?", "--Help"})
        EXPECT_EQ(Parsed({spelling}), help) << spelling;
}

TEST(CommandLineOptions, AValueAfterEqualsIsTakenEvenWhenItLooksLikeAnOption) {
    EXPECT_EQ(Parsed({"--screen", "--save=--odd.png"}).savePath, "--odd.png");
    EXPECT_EQ(Parsed({"--screen", "--save", "-odd.png"}).savePath, "-odd.png");
    EXPECT_EQ(Parsed({"--screen", "--save=a=b.png"}).savePath, "a=b.png");
}

TEST(CommandLineSave, TheExtensionGivesTheTypeAndATrailingSlashAFolder) {
    struct Case {
        const char* path;
        SaveFormat format;
    };
    for (Case c : {Case{"a.bmp", SaveFormat::Bmp}, Case{"a.jpg", SaveFormat::Jpeg},
                   Case{"a.JPEG", SaveFormat::Jpeg}, Case{"a.Gif", SaveFormat::Gif},
                   Case{"x.y\\a.png", SaveFormat::Png}, Case{"C:\\Shots\\", SaveFormat::Folder},
                   Case{"shots.png/", SaveFormat::Folder},
                   Case{"\\\\server\\share\\", SaveFormat::Folder}}) {
        Command command = Parsed({"--pick", "--save", c.path});
        EXPECT_EQ(command.saveFormat, c.format) << c.path;
        EXPECT_EQ(command.savePath, c.path);
    }
    EXPECT_EQ(Parsed({"--record", "--save", "a.GIF"}).saveFormat, SaveFormat::Gif);
    EXPECT_EQ(Parsed({"--record", "--save", "clips/"}).saveFormat, SaveFormat::Folder);
}

// Each refused line, and the error it gives: the argument at fault first.
struct Refusal {
    Args args;
    std::string error;
};

void ExpectRefusals(const std::vector<Refusal>& refusals) {
    for (const Refusal& refusal : refusals)
        EXPECT_EQ(Refused(refusal.args), refusal.error) << Joined(refusal.args);
}

TEST(CommandLineErrors, MalformedAndOutOfRangeRectangles) {
    const std::string form = "expected X,Y,W,H, four whole numbers";
    ExpectRefusals({
        {{"--region", "10,20,0,5"},
         R"(--region: "10,20,0,5": width and height must be 1 to 65535)"},
        {{"--record", "0,0,-5,5"}, R"(--record: "0,0,-5,5": width and height must be 1 to 65535)"},
        {{"--region", "32768,0,5,5"},
         R"(--region: "32768,0,5,5": X and Y must be -32768 to 32767)"},
        {{"--region", "0,-32769,5,5"},
         R"(--region: "0,-32769,5,5": X and Y must be -32768 to 32767)"},
        // Numbers too long for any integer are out of range, not malformed.
        {{"--region", "0,0,5,99999999999999999999999"},
         R"(--region: "0,0,5,99999999999999999999999": width and height must be 1 to 65535)"},
        {{"--region", "-99999999999999999999,0,5,5"},
         R"(--region: "-99999999999999999999,0,5,5": X and Y must be -32768 to 32767)"},
        {{"--region", "1,2,3"}, "--region: \"1,2,3\": " + form},
        {{"--region=1,2,3,4,5"}, "--region: \"1,2,3,4,5\": " + form},
        {{"--record", "1.5,2,3,4"}, "--record: \"1.5,2,3,4\": " + form},
        {{"--region", "1,,3,4"}, "--region: \"1,,3,4\": " + form},
        {{"--region", "+1,2,3,4"}, "--region: \"+1,2,3,4\": " + form},
        {{"--region", "1, 2,3,4"}, "--region: \"1, 2,3,4\": " + form},
        {{"--region="}, "--region: \"\": " + form},
        // A word after --region is taken as its rectangle, so a forgotten --save
        // is reported about what was written.
        {{"--region", "shot.png"}, "--region: \"shot.png\": " + form},
    });
}

TEST(CommandLineErrors, MalformedAndOutOfRangeNumbers) {
    ExpectRefusals({
        {{"--screen", "--delay", "3601"}, R"(--delay: "3601": must be 0 to 3600 seconds)"},
        {{"--screen", "--delay", "-1"}, R"(--delay: "-1": must be 0 to 3600 seconds)"},
        {{"--screen", "--delay=2.5"}, R"(--delay: "2.5": expected a whole number of seconds)"},
        {{"--screen", "--delay", "99999999999999999999"},
         R"(--delay: "99999999999999999999": must be 0 to 3600 seconds)"},
        {{"--record", "--duration", "0"}, R"(--duration: "0": must be 1 to 36000 seconds)"},
        {{"--record", "--rate", "12"},
         R"(--rate: "12": must be 5, 10, 15, 20, 25 or 30 frames a second)"},
        {{"--record", "--rate=fast"},
         R"(--rate: "fast": must be 5, 10, 15, 20, 25 or 30 frames a second)"},
    });
}

TEST(CommandLineErrors, MissingValuesUnknownArgumentsAndRepeats) {
    ExpectRefusals({
        {{"--screen", "--save"}, "--save: needs a file or folder path"},
        {{"--screen", "--save="}, "--save: needs a file or folder path"},
        {{"--screen", "--delay", "--copy"}, "--delay: needs a number of seconds"},
        {{"--record", "--rate", "-h"}, "--rate: needs a number of frames a second"},
        {{"--open"}, "--open: needs a picture file"},
        {{"--screen", "--bogus"}, "--bogus: unknown option"},
        {{"-s"}, "-s: unknown option"},
        {{"/screen"}, "/screen: unknown option"},
        {{"--screen", "shot.png"}, R"("shot.png": unexpected argument; options start with --)"},
        {{"--screen=1"}, "--screen: takes no value"},
        {{"--screen", "--copy=yes"}, "--copy: takes no value"},
        {{"--screen", "--copy", "--copy"}, "--copy: given twice"},
        {{"--screen", "--SCREEN"}, "--SCREEN: given twice"},
        {{"-h", "--help"}, "--help: given twice"},
    });
}

TEST(CommandLineErrors, OptionsThatDoNotGoTogether) {
    ExpectRefusals({
        {{"--screen", "--window"},
         "--window: cannot be combined with --screen; one capture at a time"},
        {{"--region", "1,1,1,1", "--record"},
         "--record: cannot be combined with --region; one capture at a time"},
        {{"--screen", "--pointer", "--no-pointer"},
         "--no-pointer: cannot be combined with --pointer"},
        {{"--screen", "--no-pointer", "--pointer"},
         "--pointer: cannot be combined with --no-pointer"},
        {{"--screen", "--open", "a.png"},
         "--open: cannot be combined with --screen; open a file or take a capture"},
        {{"--open", "a.png", "--copy"}, "--copy: cannot be combined with --open"},
        {{"--delay", "2", "--open", "a.png"}, "--delay: cannot be combined with --open"},
        {{"--record", "--pin"},
         "--pin: cannot be combined with --record; only a picture can be pinned"},
        {{"--text", "--copy"},
         "--copy: cannot be combined with --text; the text goes to the clipboard and here"},
        {{"--text", "1,1,9,9", "--save", "a.png"},
         "--save: cannot be combined with --text; the text goes to the clipboard and here"},
        {{"--text", "--pointer"},
         "--pointer: cannot be combined with --text; the text goes to the clipboard and here"},
        {{"--text", "--record"}, "--record: cannot be combined with --text; one capture at a time"},
        {{"--screen", "--duration", "5"}, "--duration: only with --record"},
        {{"--window", "--rate", "10"}, "--rate: only with --record"},
        {{"--screen", "--no-window"},
         "--no-window: the picture would go nowhere; add --save, --copy or --pin"},
        {{"--screen", "--help"}, "--help: must be used alone"},
        {{"/?", "--screen"}, "/?: must be used alone"},
    });
}

TEST(CommandLineErrors, NoCaptureGiven) {
    ExpectRefusals({
        {{}, "no capture given; name one such as --screen, or see --help"},
        {{"--copy"}, "--copy: needs a capture such as --screen; see --help"},
        {{"--delay", "3", "--save", "a.png"},
         "--delay: needs a capture such as --screen; see --help"},
    });
}

TEST(CommandLineErrors, SaveTypesThatDoNotFitTheCapture) {
    const std::string picture =
        "a picture is saved as .png, .jpg, .jpeg, .gif or .bmp, or into a folder ending in \\";
    const std::string recording =
        "a recording is saved as .gif or .mp4, or into a folder ending in \\";
    ExpectRefusals({
        {{"--screen", "--save", "shot.tif"}, "--save: \"shot.tif\": " + picture},
        {{"--screen", "--save", "clip.mp4"}, "--save: \"clip.mp4\": " + picture},
        {{"--screen", "--save", "shot"}, "--save: \"shot\": " + picture},
        {{"--screen", "--save", "shot."}, "--save: \"shot.\": " + picture},
        {{"--screen", "--save", "dir.png\\shot"}, "--save: \"dir.png\\shot\": " + picture},
        {{"--record", "--save", "clip.png"}, "--save: \"clip.png\": " + recording},
        {{"--record", "--save", "clip.avi"}, "--save: \"clip.avi\": " + recording},
    });
}

TEST(CommandLineErrors, QuotedValuesAreShortenedAndShowNoControlBytes) {
    std::string error = Refused({"--screen", "--save", std::string(5000, 'x') + ".tif"});
    EXPECT_LT(error.size(), 300u);
    EXPECT_THAT(error, HasSubstr("xxx...\": a picture is saved as"));

    // A cut never splits a character.
    std::string accents;
    for (int i = 0; i < 300; ++i)
        accents += "é";
    EXPECT_TRUE(IsUtf8(Refused({"--region", accents})));
    EXPECT_TRUE(IsUtf8(Refused({"--bogus" + accents})));

    EXPECT_EQ(Refused({"--region", "1,2\n,3,\x1b[4"}),
              R"(--region: "1,2?,3,?[4": expected X,Y,W,H, four whole numbers)");
    EXPECT_THAT(Refused({"--\r\x07"}), Not(HasSubstr("\r")));
}

std::vector<std::string> HelpLines() {
    std::vector<std::string> lines;
    std::istringstream text(HelpText());
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

TEST(CommandLineHelp, NamesEveryOptionAndItsExamplesAreValidCommandLines) {
    std::string help = HelpText();
    for (const char* option :
         {"--screen",         "--all-displays", "--window",    "--region X,Y,W,H",
          "--pick",           "--last-region",  "--scrolling", "--record [X,Y,W,H]",
          "--text [X,Y,W,H]", "--delay S",      "--pointer",   "--no-pointer",
          "--save PATH",      "--copy",         "--pin",       "--no-window",
          "--duration S",     "--rate N",       "--open FILE", "-h, --help, /?"}) {
        EXPECT_THAT(help, HasSubstr("\n  " + std::string(option) + " ")) << option;
    }
    for (const char* code : {"0  done", "1  cancelled", "2  bad usage", "3  failed"})
        EXPECT_THAT(help, HasSubstr("\n  " + std::string(code))) << code;

    int examples = 0;
    for (const std::string& line : HelpLines()) {
        EXPECT_LE(line.size(), 80u) << line;
        const std::string prefix = "  glimra.exe ";
        if (!line.starts_with(prefix)) continue;
        ++examples;
        Args args;
        std::istringstream words(line.substr(prefix.size()));
        for (std::string word; words >> word;)
            args.push_back(word);
        Parsed(args);
    }
    EXPECT_GE(examples, 3);
}

}  // namespace
}  // namespace glimra
