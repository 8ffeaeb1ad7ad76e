// The program's command line, glimra.exe [capture] [options], read into a Command:
// what to take, what to do around it and where the result goes. The reading knows
// nothing of Windows; the program carries the command out.
//
// Arguments are UTF-8 texts without the program's name. Options are long names
// ("--screen"), matched with ASCII letter case ignored, and "-h" and "/?" for help.
// An option's value is given either as the next argument ("--save shot.png") or
// after "=" in the same one ("--save=shot.png"). As the next argument, a value must
// not look like an option (start with "--", or be "-h" or "/?"), so that
// "--record --save a.gif" records without a rectangle; the "=" form takes any text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace glimra {

// What the program returns to the script that started it.
enum ExitCode : int {
    kExitDone = 0,       // the capture was taken and went where it was asked to
    kExitCancelled = 1,  // the user cancelled it (Esc in the overlay or picker)
    kExitBadUsage = 2,   // the command line was refused
    kExitFailed = 3,     // the capture or its saving failed
};

enum class CaptureKind {
    None,         // no capture: --open or --help
    Screen,       // the primary display, as the desktop capture takes it
    AllDisplays,  // the whole virtual screen
    Window,       // the window in front
    Region,       // Command::area, or the overlay when there is none
    Pick,         // the window and control picker
    LastRegion,   // the rectangle of the last selection
    Scrolling,    // the scrolling capture
    Record,       // a screen recording of Command::area, or of what the overlay asks
    Text,         // the text read off Command::area, or off what the overlay asks
};

// A rectangle in virtual-screen pixels: x and y from -32768 to 32767 (the range of
// a pointer position in a window message), width and height from 1 to 65535. It
// may reach past the screen; the program decides what that means.
struct ScreenArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ScreenArea&) const = default;
};

// The type of file --save asks for, from its extension; Folder for a path that
// ends in "\" or "/", where the program names the file by its own pattern.
enum class SaveFormat { Folder, Bmp, Jpeg, Gif, Png, Mp4 };

enum class PointerChoice {
    AsSet,  // neither --pointer nor --no-pointer: the program's setting
    Show,
    Hide,
};

inline constexpr int kMaxDelaySeconds = 3600;
inline constexpr int kMaxDurationSeconds = 36000;
inline constexpr int kCommandLineRates[] = {5, 10, 15, 20, 25, 30};

struct Command {
    bool help = false;  // --help: print HelpText() and nothing else
    CaptureKind capture = CaptureKind::None;
    // --region, --record or --text X,Y,W,H; none: the overlay lets the user choose.
    std::optional<ScreenArea> area;
    int delaySeconds = 0;  // no --delay: none
    PointerChoice pointer = PointerChoice::AsSet;
    // --save: the path as given and its type (a picture type, or for a recording
    // Gif or Mp4), or Folder.
    std::optional<std::string> savePath;
    SaveFormat saveFormat = SaveFormat::Folder;
    bool copy = false;      // the picture to the clipboard; for a recording, its saved file
    bool pin = false;       // the picture in a pinned window (not with --record)
    bool noWindow = false;  // the editor stays closed; the result only goes where asked
    // --open: a picture file for the editor; only with no capture and no option.
    std::optional<std::string> openPath;
    // Only with --record. No duration: until the user stops it; no rate: the
    // recorder's own.
    std::optional<int> durationSeconds;
    std::optional<int> frameRate;

    bool operator==(const Command&) const = default;
};

// Either a command or why the line was refused: the argument at fault, then what
// is wrong with it, as in `--region: "10,20,0,5": width and height must be 1 to
// 65535`. A quoted value is shortened when long and shows control bytes as "?".
struct CommandLineResult {
    std::optional<Command> command;
    std::string error;  // empty when there is a command
};

// Reads the arguments. An empty list is refused like any other line without a
// capture; the program starts normally without arguments and should not ask.
CommandLineResult ParseCommandLine(const std::vector<std::string>& args);

// The option that asks for a capture of this kind, such as "--record"; empty
// for CaptureKind::None. Messages about a command name the option it came from.
std::string_view CaptureOption(CaptureKind kind);

// The usage text that --help prints: every capture and option, examples and the
// exit codes. Lines end in "\n".
std::string HelpText();

}  // namespace glimra
