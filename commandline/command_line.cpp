#include "commandline/command_line.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <iterator>
#include <limits>
#include <string_view>

#include "commandline/utf8_text.h"

namespace glimra {

namespace {

enum class Option {
    Screen,
    AllDisplays,
    Window,
    Region,
    Pick,
    LastRegion,
    Scrolling,
    Record,
    Text,
    Delay,
    Pointer,
    NoPointer,
    Save,
    Copy,
    Pin,
    Open,
    NoWindow,
    Duration,
    Rate,
    Help,
};

enum class Value { None, Optional, Required };

struct OptionEntry {
    std::string_view name;
    Option option;
    Value value;
    const char* valueName;  // for "needs ..." when a required value is missing
    CaptureKind capture;    // None for the options that are not captures
};

constexpr OptionEntry kOptions[] = {
    {"--screen", Option::Screen, Value::None, "", CaptureKind::Screen},
    {"--all-displays", Option::AllDisplays, Value::None, "", CaptureKind::AllDisplays},
    {"--window", Option::Window, Value::None, "", CaptureKind::Window},
    {"--region", Option::Region, Value::Optional, "", CaptureKind::Region},
    {"--pick", Option::Pick, Value::None, "", CaptureKind::Pick},
    {"--last-region", Option::LastRegion, Value::None, "", CaptureKind::LastRegion},
    {"--scrolling", Option::Scrolling, Value::None, "", CaptureKind::Scrolling},
    {"--record", Option::Record, Value::Optional, "", CaptureKind::Record},
    {"--text", Option::Text, Value::Optional, "", CaptureKind::Text},
    {"--delay", Option::Delay, Value::Required, "a number of seconds", CaptureKind::None},
    {"--pointer", Option::Pointer, Value::None, "", CaptureKind::None},
    {"--no-pointer", Option::NoPointer, Value::None, "", CaptureKind::None},
    {"--save", Option::Save, Value::Required, "a file or folder path", CaptureKind::None},
    {"--copy", Option::Copy, Value::None, "", CaptureKind::None},
    {"--pin", Option::Pin, Value::None, "", CaptureKind::None},
    {"--open", Option::Open, Value::Required, "a picture file", CaptureKind::None},
    {"--no-window", Option::NoWindow, Value::None, "", CaptureKind::None},
    {"--duration", Option::Duration, Value::Required, "a number of seconds", CaptureKind::None},
    {"--rate", Option::Rate, Value::Required, "a number of frames a second", CaptureKind::None},
    {"--help", Option::Help, Value::None, "", CaptureKind::None},
    {"-h", Option::Help, Value::None, "", CaptureKind::None},
    {"/?", Option::Help, Value::None, "", CaptureKind::None},
};

constexpr std::size_t kOptionCount = static_cast<std::size_t>(Option::Help) + 1;

constexpr std::int64_t kMinWhole = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMaxWhole = std::numeric_limits<std::int64_t>::max();

// Quoted values are cut to this, so that an error stays a line.
constexpr std::size_t kShownBytes = 100;

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameAscii(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

const OptionEntry* FindOption(std::string_view name) {
    for (const OptionEntry& entry : kOptions)
        if (SameAscii(entry.name, name)) return &entry;
    return nullptr;
}

// An argument that reads as an option, and so is never taken as the value of the
// option before it.
bool LooksLikeOption(std::string_view arg) {
    return arg.starts_with("--") || SameAscii(arg, "-h") || arg == "/?";
}

// An argument as an error shows it: long ones cut, control bytes as "?".
std::string Shown(std::string_view text) {
    std::string shown(CutUtf8(text, kShownBytes));
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    if (shown.size() < text.size()) shown += "...";
    return shown;
}

std::string Quoted(std::string_view text) {
    // Appended rather than "\"" + ...: GCC 12 at -O3 takes the prepend for an
    // overlapping copy and warns.
    std::string quoted = "\"";
    quoted += Shown(text);
    quoted += '"';
    return quoted;
}

// A whole decimal number with an optional "-", nothing around it; nothing when the
// text is not one or does not fit.
std::optional<std::int64_t> ParseWhole(std::string_view text) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

// True for a whole number that is too long for any range here, which is out of
// range rather than malformed.
bool IsHugeWhole(std::string_view text) {
    if (text.starts_with('-')) text.remove_prefix(1);
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view Extension(std::string_view path) {
    std::size_t slash = path.find_last_of("\\/");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

class Reader {
  public:
    explicit Reader(const std::vector<std::string>& args) : args_(args) {}

    CommandLineResult Read() {
        for (next_ = 0; next_ < args_.size() && error_.empty();)
            ReadArgument();
        if (error_.empty()) CheckCombination();
        CommandLineResult result;
        if (error_.empty()) {
            result.command = command_;
        } else {
            result.error = error_;
        }
        return result;
    }

  private:
    void Fail(std::string_view name, std::string_view what) {
        error_ = Shown(name);
        error_ += ": ";
        error_ += what;
    }
    void FailValue(std::string_view name, std::string_view value, std::string_view what) {
        Fail(name, Quoted(value) + ": " + std::string(what));
    }

    // The name as typed of an option already read.
    std::string_view Typed(Option option) const { return typed_[static_cast<std::size_t>(option)]; }
    bool Has(Option option) const { return !Typed(option).empty(); }

    void ReadArgument() {
        std::string_view arg = args_[next_++];
        if (!arg.starts_with("--") && !LooksLikeOption(arg)) {
            if (arg.starts_with('-') || arg.starts_with('/')) return Fail(arg, "unknown option");
            error_ = Quoted(arg) + ": unexpected argument; options start with --";
            return;
        }
        std::string_view name = arg;
        std::optional<std::string_view> value;
        if (std::size_t equals = arg.find('='); equals != std::string_view::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        const OptionEntry* entry = FindOption(name);
        if (!entry) return Fail(name, "unknown option");
        if (Has(entry->option)) return Fail(name, "given twice");
        typed_[static_cast<std::size_t>(entry->option)] = name;
        order_.push_back(entry->option);

        if (value && entry->value == Value::None) return Fail(name, "takes no value");
        if (!value && entry->value != Value::None && next_ < args_.size() &&
            !LooksLikeOption(args_[next_])) {
            value = args_[next_++];
        }
        if (!value && entry->value == Value::Required) {
            return Fail(name, std::string("needs ") + entry->valueName);
        }
        if (entry->capture != CaptureKind::None) return ReadCapture(*entry, name, value);
        ReadOption(entry->option, name, value.value_or(""));
    }

    void ReadCapture(const OptionEntry& entry, std::string_view name,
                     std::optional<std::string_view> value) {
        if (command_.capture != CaptureKind::None) {
            return Fail(name, "cannot be combined with " + std::string(captureName_) +
                                  "; one capture at a time");
        }
        command_.capture = entry.capture;
        captureName_ = name;
        if (value) ReadArea(name, *value);
    }

    void ReadArea(std::string_view name, std::string_view text) {
        constexpr std::string_view kForm = "expected X,Y,W,H, four whole numbers";
        std::int64_t numbers[4];
        std::size_t count = 0;
        std::string_view rest = text;
        for (bool more = true; more; ++count) {
            std::size_t comma = rest.find(',');
            more = comma != std::string_view::npos;
            std::string_view part = rest.substr(0, comma);
            rest = more ? rest.substr(comma + 1) : std::string_view();
            if (count == 4) return FailValue(name, text, kForm);
            if (std::optional<std::int64_t> number = ParseWhole(part)) {
                numbers[count] = *number;
            } else if (IsHugeWhole(part)) {
                // Too long to read: out of every range, on its side of zero.
                numbers[count] = part.starts_with('-') ? kMinWhole : kMaxWhole;
            } else {
                return FailValue(name, text, kForm);
            }
        }
        if (count != 4) return FailValue(name, text, kForm);
        auto inside = [](std::int64_t v, std::int64_t low, std::int64_t high) {
            return v >= low && v <= high;
        };
        if (!inside(numbers[0], -32768, 32767) || !inside(numbers[1], -32768, 32767)) {
            return FailValue(name, text, "X and Y must be -32768 to 32767");
        }
        if (!inside(numbers[2], 1, 65535) || !inside(numbers[3], 1, 65535)) {
            return FailValue(name, text, "width and height must be 1 to 65535");
        }
        command_.area = ScreenArea{static_cast<int>(numbers[0]), static_cast<int>(numbers[1]),
                                   static_cast<int>(numbers[2]), static_cast<int>(numbers[3])};
    }

    // A whole number from `low` to `high` of `unit`s.
    std::optional<int> ReadWhole(std::string_view name, std::string_view text, int low, int high,
                                 std::string_view unit) {
        std::optional<std::int64_t> number = ParseWhole(text);
        if (!number && !IsHugeWhole(text)) {
            FailValue(name, text, "expected a whole number of " + std::string(unit));
            return std::nullopt;
        }
        if (!number || *number < low || *number > high) {
            FailValue(name, text,
                      "must be " + std::to_string(low) + " to " + std::to_string(high) + " " +
                          std::string(unit));
            return std::nullopt;
        }
        return static_cast<int>(*number);
    }

    void ReadOption(Option option, std::string_view name, std::string_view value) {
        switch (option) {
            case Option::Delay:
                if (auto seconds = ReadWhole(name, value, 0, kMaxDelaySeconds, "seconds")) {
                    command_.delaySeconds = *seconds;
                }
                break;
            case Option::Duration:
                command_.durationSeconds =
                    ReadWhole(name, value, 1, kMaxDurationSeconds, "seconds");
                break;
            case Option::Rate: {
                std::optional<std::int64_t> rate = ParseWhole(value);
                if (!rate || std::find(std::begin(kCommandLineRates), std::end(kCommandLineRates),
                                       *rate) == std::end(kCommandLineRates)) {
                    return FailValue(name, value,
                                     "must be 5, 10, 15, 20, 25 or 30 frames a second");
                }
                command_.frameRate = static_cast<int>(*rate);
                break;
            }
            case Option::Pointer:
            case Option::NoPointer: {
                Option other = option == Option::Pointer ? Option::NoPointer : Option::Pointer;
                if (Has(other)) return Fail(name, "cannot be combined with " + Str(Typed(other)));
                command_.pointer =
                    option == Option::Pointer ? PointerChoice::Show : PointerChoice::Hide;
                break;
            }
            case Option::Save:
                if (value.empty()) return Fail(name, "needs a file or folder path");
                command_.savePath = std::string(value);
                break;
            case Option::Open:
                if (value.empty()) return Fail(name, "needs a picture file");
                command_.openPath = std::string(value);
                break;
            case Option::Copy:
                command_.copy = true;
                break;
            case Option::Pin:
                command_.pin = true;
                break;
            case Option::NoWindow:
                command_.noWindow = true;
                break;
            case Option::Help:
                command_.help = true;
                break;
            default:
                break;  // the captures: ReadCapture
        }
    }

    static std::string Str(std::string_view text) { return std::string(text); }

    void CheckCombination() {
        if (Has(Option::Help)) {
            if (args_.size() > 1) Fail(Typed(Option::Help), "must be used alone");
            return;
        }
        if (Has(Option::Open)) {
            // Opening a file is a command of its own: nothing is taken, so no
            // option about a capture applies.
            if (command_.capture != CaptureKind::None) {
                return Fail(Typed(Option::Open), "cannot be combined with " + Str(captureName_) +
                                                     "; open a file or take a capture");
            }
            for (Option option : order_) {
                if (option != Option::Open) {
                    return Fail(Typed(option),
                                "cannot be combined with " + Str(Typed(Option::Open)));
                }
            }
            return;
        }
        if (command_.capture == CaptureKind::None) {
            if (order_.empty()) {
                error_ = "no capture given; name one such as --screen, or see --help";
                return;
            }
            return Fail(Typed(order_.front()), "needs a capture such as --screen; see --help");
        }
        if (command_.capture == CaptureKind::Text) {
            // The text goes to the clipboard and back to this command: no picture
            // is kept, saved or pinned.
            for (Option option : {Option::Save, Option::Copy, Option::Pin, Option::Pointer,
                                  Option::NoPointer, Option::Duration, Option::Rate}) {
                if (Has(option)) {
                    return Fail(Typed(option), "cannot be combined with " + Str(captureName_) +
                                                   "; the text goes to the clipboard and here");
                }
            }
            return;
        }
        bool recording = command_.capture == CaptureKind::Record;
        if (recording) {
            if (Has(Option::Pin)) {
                return Fail(Typed(Option::Pin), "cannot be combined with " + Str(captureName_) +
                                                    "; only a picture can be pinned");
            }
        } else {
            for (Option option : {Option::Duration, Option::Rate}) {
                if (Has(option)) return Fail(Typed(option), "only with --record");
            }
            if (command_.noWindow && !command_.savePath && !command_.copy && !command_.pin) {
                return Fail(Typed(Option::NoWindow),
                            "the picture would go nowhere; add --save, --copy or --pin");
            }
        }
        if (command_.savePath) CheckSaveFormat(*command_.savePath, recording);
    }

    void CheckSaveFormat(std::string_view path, bool recording) {
        if (path.ends_with('\\') || path.ends_with('/')) {
            command_.saveFormat = SaveFormat::Folder;
            return;
        }
        std::string_view extension = Extension(path);
        struct Known {
            std::string_view extension;
            SaveFormat format;
            bool picture, recording;
        };
        constexpr Known kKnown[] = {
            {"png", SaveFormat::Png, true, false},   {"jpg", SaveFormat::Jpeg, true, false},
            {"jpeg", SaveFormat::Jpeg, true, false}, {"gif", SaveFormat::Gif, true, true},
            {"bmp", SaveFormat::Bmp, true, false},   {"mp4", SaveFormat::Mp4, false, true},
        };
        for (const Known& known : kKnown) {
            if (SameAscii(extension, known.extension) &&
                (recording ? known.recording : known.picture)) {
                command_.saveFormat = known.format;
                return;
            }
        }
        FailValue(Typed(Option::Save), path,
                  recording ? "a recording is saved as .gif or .mp4, or into a folder ending in \\"
                            : "a picture is saved as .png, .jpg, .jpeg, .gif or .bmp, or into a "
                              "folder ending in \\");
    }

    const std::vector<std::string>& args_;
    std::size_t next_ = 0;
    Command command_;
    std::string error_;
    std::string_view typed_[kOptionCount];  // each option's name as typed, once read
    std::vector<Option> order_;             // the options in the order given
    std::string_view captureName_;
};

}  // namespace

std::string_view CaptureOption(CaptureKind kind) {
    if (kind != CaptureKind::None)
        for (const OptionEntry& entry : kOptions)
            if (entry.capture == kind) return entry.name;
    return {};
}

CommandLineResult ParseCommandLine(const std::vector<std::string>& args) {
    return Reader(args).Read();
}

std::string HelpText() {
    return R"(Usage: glimra.exe CAPTURE [OPTIONS]
       glimra.exe --open FILE
       glimra.exe --help

Takes one capture and sends it where the options say. Without --no-window the
picture also opens in the editor. When Glimra is already running, the running
copy takes the capture and this command waits for it to finish.

Captures (one at a time):
  --screen              the primary display
  --all-displays        all displays as one picture
  --window              the window in front
  --region X,Y,W,H      the rectangle at X,Y, W by H pixels, in virtual-screen
                        pixels (X and Y may be negative)
  --region              a rectangle you drag on the frozen screen
  --pick                a window or control you point at
  --last-region         the rectangle of the last region taken, again
  --scrolling           a window you point at, scrolled through to its end
  --record [X,Y,W,H]    a screen recording of the rectangle, or of an area you
                        drag when none is given; it runs until you stop
                        it or --duration ends
  --text [X,Y,W,H]      the text read off the rectangle, or off an area you
                        drag when none is given: copied to the clipboard and
                        printed here

Options:
  --delay S             wait S seconds (0 to 3600) before the capture
  --pointer             draw the mouse pointer into the capture
  --no-pointer          leave it out (default: as set in the Config menu)
  --save PATH           save to PATH; its extension gives the type: .png, .jpg,
                        .jpeg, .gif or .bmp, for a recording .gif or .mp4.
                        A PATH ending in \ is a folder: the file is named as for
                        automatic saving
  --copy                copy the picture to the clipboard; for a recording,
                        its saved file
  --pin                 pin the picture to the screen (not with --record)
  --no-window           keep the editor closed; needs --save, --copy or --pin
                        unless recording
  --duration S          stop the recording after S seconds (1 to 36000)
  --rate N              record N frames a second: 5, 10, 15, 20, 25 or 30
  --open FILE           open a picture file in the editor (no capture)
  -h, --help, /?        show this help

A value may also follow an equals sign, as in --save=shot.png.

Examples:
  glimra.exe --region 0,0,800,600 --save shot.png
  glimra.exe --window --delay 3 --copy --no-window
  glimra.exe --record --duration 30 --rate 15 --save C:\Clips\
  glimra.exe --text 0,0,800,600 --no-window

Exit codes:
  0  done
  1  cancelled by the user
  2  bad usage: the command line was refused
  3  failed: the capture could not be taken or saved
)";
}

}  // namespace glimra
