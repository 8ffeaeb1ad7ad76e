// A long, seeded random journey through glimra.exe, driven from outside only by
// keys and the mouse: every capture but the scrolling one (its scrolls take
// seconds), short screen recordings saved, dropped and cancelled, captures by
// the command line, every edit, tool and brush, undo and redo, saves of each
// type to new files and over old ones, copies, languages, the tray, pins,
// and dialogs opened and cancelled. After every action the program still answers (the slowest
// answer is printed; none in 30 seconds is a hang), shows no window the action
// should not give, and holds the picture that a model of the journey predicts: a
// stack of picture hashes that mirrors the undo history, with the pictures of
// invert, turns, flips, crops, rectangles, the highlighter and the selections
// computed from the one before. Every saved file decodes to the picture it was
// saved from. The program's GDI objects and windows stay within what the first
// round of every action needed, and its private memory, less what the undo
// history keeps on purpose, too.
//
// GLIMRA_SOAK_SEED (or --seed=N) chooses the journey, GLIMRA_SOAK_ACTIONS (or
// --actions=N) its length, 150 by default; scripts/soak runs a long one.
#include <windows.h>

#include <dlgs.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "testing/desktop/Desktop.h"
#include "testing/desktop/MainWindowLayout.h"
#include "testing/desktop/OtherProgram.h"
#include "testing/desktop/ProcessObjects.h"
#include "testing/desktop/Program.h"
#include "testing/desktop/ProgramDriving.h"
#include "testing/desktop/Script.h"
#include "testing/output/decoders.h"
#include "testing/recording/decoded_animation.h"

namespace {

using namespace glimra::test;

constexpr const char* kEnglish = "Norvanta Glimra 1.3";
constexpr const char* kSwedish = "Norvanta Glimra 1.3 (svenska)";
// Two languages that name the same texts; the menu bar keeps its letters.
struct Translation {
    const char* key;
    const char* english;
    const char* swedish;
};
constexpr Translation kTexts[] = {
    {"MAIN.Caption", kEnglish, kSwedish},
    {"MenuFile.Caption", "&File", "&Fil"},
    {"MenuEdit.Caption", "&Edit", "R&edigera"},
    {"MenuView.Caption", "&View", "&Visa"},
    {"MenuSaveAs.Caption", "Save &As...", "Spara &som..."},
    {"MenuGrayscale.Caption", "Grayscale", "Gr\xE5skala"},
    {"MenuInvert.Caption", "Invert", "Invertera"},
    {"info.Caption", "Ready", "Klar"},
    {"SM.Caption", "Screenshots made:", "Tagna sk\xE4rmbilder:"},
};

// The desktop: the pattern behind everything; a framed window of the pattern
// with a button of the pattern, right of the main window, for F8 and F10. F7
// and F9 see the backdrop alone left of it and above the task bar.
constexpr RECT kFramed{860, 40, 1016, 220};
constexpr RECT kButton{10, 10, 110, 50};
constexpr RECT kBackdropOnly{0, 0, 850, 700};

std::uint64_t HashOf(const Pixels& p) {
    std::uint64_t h = 1469598103934665603ull;
    const auto mix = [&h](std::uint32_t v) {
        for (int i = 0; i < 4; ++i, v >>= 8)
            h = (h ^ (v & 255)) * 1099511628211ull;
    };
    mix(std::uint32_t(p.width));
    mix(std::uint32_t(p.height));
    for (COLORREF c : p.colours)
        mix(c);
    return h;
}

// The picture each pixel of which is `at(x, y)`.
template <class F>
Pixels Made(int width, int height, F at) {
    Pixels p{width, height, {}};
    p.colours.reserve(std::size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.colours.push_back(at(x, y));
    return p;
}

// A quarter turn clockwise: the left column becomes the top row.
Pixels Turned(const Pixels& p) {
    return Made(p.height, p.width, [&](int x, int y) { return p.At(y, p.height - 1 - x); });
}

std::size_t Raw(const Pixels& p) {
    return std::size_t(p.width) * p.height * 4;
}

// The first pixel where `after` differs from `before` outside `r`, or "".
std::string ChangedOutside(const Pixels& before, const Pixels& after, RECT r) {
    if (after.width != before.width || after.height != before.height) return "another size";
    for (int y = 0; y < after.height; ++y)
        for (int x = 0; x < after.width; ++x)
            if ((x < r.left || x >= r.right || y < r.top || y >= r.bottom) &&
                after.At(x, y) != before.At(x, y))
                return "changed at " + std::to_string(x) + "," + std::to_string(y);
    return "";
}

// The mean difference of the brightness of blocks of 8 x 8 pixels (those of
// JPEG's own grid) of two pictures of one size.
double BlockError(const Pixels& a, const Pixels& b) {
    double sum = 0;
    int blocks = 0;
    for (int y = 0; y + 8 <= a.height; y += 8)
        for (int x = 0; x + 8 <= a.width; x += 8, ++blocks) {
            int difference = 0;
            for (int v = y; v < y + 8; ++v)
                for (int u = x; u < x + 8; ++u)
                    difference += Gray(a.At(u, v)) - Gray(b.At(u, v));
            sum += std::abs(difference) / 64.0;
        }
    return blocks ? sum / blocks : 0;
}

// The mean difference of the channels of two pictures of one size.
double MeanError(const Pixels& a, const Pixels& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.colours.size(); ++i)
        sum += std::abs(GetRValue(a.colours[i]) - GetRValue(b.colours[i])) +
               std::abs(GetGValue(a.colours[i]) - GetGValue(b.colours[i])) +
               std::abs(GetBValue(a.colours[i]) - GetBValue(b.colours[i]));
    return a.colours.empty() ? 0 : sum / (3.0 * double(a.colours.size()));
}

// The GIF writer's octree tells colours apart by the top six bits of each
// channel: a picture of at most 256 colours, no two alike in those bits, comes
// back exactly.
bool GifKeepsEveryColour(const Pixels& p) {
    std::set<COLORREF> colours, keys;
    for (COLORREF c : p.colours) {
        if (colours.insert(c).second && !keys.insert(c & 0xFCFCFC).second) return false;
        if (colours.size() > 256) return false;
    }
    return true;
}

Pixels Decoded(int type, const std::string& path) {
    const std::vector<std::uint8_t> file = ReadFile(path);
    switch (type) {
        case 1:
            return PixelsOf(DecodeBmp(file));
        case 2:
            return PixelsOf(DecodeJpeg(file).image);
        case 3: {
            const DecodedGif gif = DecodeGif(file);
            Pixels p{gif.width, gif.height, {}};
            for (std::uint8_t i : gif.indexes)
                p.colours.push_back(
                    RGB(gif.colors[i].red, gif.colors[i].green, gif.colors[i].blue));
            return p;
        }
        default:
            return PixelsOf(DecodePng(file));
    }
}

unsigned Number(const char* variable, const char* flag, unsigned otherwise) {
    for (const std::string& arg : ::testing::internal::GetArgvs())
        if (arg.rfind(flag, 0) == 0) return unsigned(std::stoul(arg.substr(std::strlen(flag))));
    const char* value = std::getenv(variable);
    return value && *value ? unsigned(std::stoul(value)) : otherwise;
}

double MiB(std::size_t bytes) {
    return double(bytes) / (1 << 20);
}

void CtrlAnd(WORD key, bool shift = false) {
    std::vector<std::pair<WORD, bool>> keys{{VK_CONTROL, true}};
    if (shift) keys.push_back({VK_SHIFT, true});
    keys.insert(keys.end(), {{key, true}, {key, false}});
    if (shift) keys.push_back({VK_SHIFT, false});
    keys.push_back({VK_CONTROL, false});
    KeyEvents(keys);
}

// In an open menu: to each level's entry, into the next level, and Enter on the
// last. An entry from the top counts from 0, one from the end from -1 (Up
// wraps round). A menu opened from the menu bar starts on its first entry, one
// opened by a click on nothing.
void Walk(const std::vector<int>& path, bool fromNothing) {
    for (std::size_t level = 0; level < path.size(); ++level) {
        for (int i = 0; i < path[level] + (level == 0 && fromNothing); ++i)
            Keys({VK_DOWN});
        for (int i = path[level]; i < 0; ++i)
            Keys({VK_UP});
        Keys({level + 1 < path.size() ? WORD(VK_RIGHT) : WORD(VK_RETURN)});
    }
}

// clang-format off
enum Action {
    Desktop, Foreground, Selection, Pick, AllDisplays, LastRegion, CancelledCapture,
    Grayscale, Brighten, Darken, Invert, TurnOrFlip, RotateButton, Crop, Rectangle, Ellipse,
    Line, Arrow, Highlighter, Text, StepNumber, Pixelate, Brush, BrushSettings, ToolColour,
    ToolWidth, Undo, Redo, Save, SaveOver, Copy, Language, Tray, CancelledDialog, Pin,
    Record, ReadText, Script, ClearStatistics, MoveMark, DeleteMark, Open, Paste, Effect, Clear,
    Rewind, kActions
};
constexpr const char* kNames[] = {
    "F7 desktop", "F8 window in front", "F9 selection", "F10 pick", "Ctrl+Alt+Shift+F7 all displays",
    "Ctrl+Alt+Shift+F8 last region", "capture cancelled", "grayscale", "brighten", "darken", "invert",
    "turn or flip", "rotate button", "crop", "rectangle", "ellipse", "line", "arrow",
    "highlighter", "text", "step number", "pixelate", "brush", "brush settings", "tool colour",
    "line width", "undo", "redo", "save", "save over", "copy", "language", "tray",
    "dialog cancelled", "pin", "short recording", "text read", "command line", "clear statistics",
    "mark moved", "mark deleted", "open", "paste", "effect", "clear", "back to the first picture"};
// clang-format on
static_assert(std::size(kNames) == kActions);

// What an action did to the picture, as the model sees it.
struct Outcome {
    enum Kind { Same, New, Undone, Redone } kind = Same;
    std::optional<Pixels> exactly;  // the new picture, where it follows from the one before
    std::function<std::string(const Pixels& before, const Pixels& after)> like;  // "" when right
};

class Soak : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InThrowAwayPrefix()) GTEST_SKIP() << "outside the test harness's Wine prefix";
        folder = TestFolder("soak");
        ::CreateDirectoryA((folder + "\\Lang").c_str(), nullptr);
        for (int language = 0; language < 2; ++language) {
            std::string text = "[General]\r\nLanguageName=";
            text += language ? "Svenska" : "English";
            text += "\r\n\r\n[MAIN]\r\n";
            for (const Translation& t : kTexts)
                text += std::string(t.key) + "=" + (language ? t.swedish : t.english) + "\r\n";
            const std::string path =
                folder + "\\Lang\\" + (language ? "Svenska" : "English") + ".lng";
            std::FILE* file = std::fopen(path.c_str(), "wb");
            std::fputs(text.c_str(), file);
            std::fclose(file);
        }
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
        ::Sleep(60);
        for (int key : {VK_F7, VK_F8, VK_F9, VK_F10})
            ::GetAsyncKeyState(key);
        // Above the task bar (20 pixels high), which Wine lets go under a window
        // that covers the whole display once that one has been in front: its
        // icon in the notification area must stay where a click reaches it.
        backdrop = other.PatternWindow({0, 0, 1024, 740}, WS_POPUP, WS_EX_NOACTIVATE);
        framed = other.PatternWindow(kFramed, WS_POPUP | WS_CAPTION);
        button = other.PatternButton(framed, kButton);
    }
    void TearDown() override {
        if (!InThrowAwayPrefix()) return;
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
        // The whole journey goes to a file; a failed one shows its last actions
        // here, after the failure, where a shortened log keeps them.
        if (std::FILE* file = std::fopen((folder + "\\journey.txt").c_str(), "wb")) {
            for (const std::string& line : journal)
                std::fputs(line.c_str(), file);
            std::fclose(file);
        }
        if (!HasFailure()) return;
        std::printf("the journey's last actions (all of them in %s\\journey.txt):\n",
                    folder.c_str());
        for (std::size_t i = journal.size() > 16 ? journal.size() - 16 : 0; i < journal.size(); ++i)
            std::fputs(journal[i].c_str(), stdout);
        std::fflush(stdout);
    }

    // A line of the journey's journal.
    template <typename... Values>
    void Note(const char* format, Values... values) {
        char line[512];
        std::snprintf(line, sizeof line, format, values...);
        journal.emplace_back(line);
    }

    // ---- Acting.

    void Activate() {
        if (::GetForegroundWindow() == main) return;
        ::SetForegroundWindow(main);
        WaitFor([&] { return ::GetForegroundWindow() == main; }, 3000);
        ::Sleep(100);
    }
    bool MenuBar(WORD letter, const std::vector<int>& path) {
        Activate();
        AltAnd(letter);
        if (!WaitForMenu(*program)) return false;
        Walk(path, false);
        return MenusClosed(*program);
    }
    bool PictureMenu(const std::vector<int>& path) {
        Activate();
        RightClickAt(PicturePoint(main, 5, 5));
        if (!WaitForMenu(*program)) return false;
        Walk(path, true);
        return MenusClosed(*program);
    }
    HWND WaitForDialog() {
        HWND dialog = nullptr;
        WaitFor([&] { return (dialog = ShownWindowOfClass(*program, "#32770")) != nullptr; }, 8000);
        ::Sleep(200);
        return dialog;
    }
    void ClickPicture(POINT p) {
        MoveAndRest(PicturePoint(main, p.x, p.y));
        MouseEvent(MOUSEEVENTF_LEFTDOWN);
        MouseEvent(MOUSEEVENTF_LEFTUP);
        ::Sleep(250);
    }
    int Random(int from, int to) { return std::uniform_int_distribution<int>(from, to)(rng); }
    // One of an action's ways: in the warm-up each in turn, then at random.
    int Variant(Action action, int ways) {
        return warming ? seen[action]++ % ways : Random(0, ways - 1);
    }
    // A rectangle of the picture's part that the view shows, at least `least` wide and high.
    RECT SomeArea(int least) {
        const int w = std::min(now.width, 600), h = std::min(now.height, 330);
        const int left = Random(2, w - least - 2), top = Random(2, h - least - 2);
        return {left, top, Random(left + least, w - 2), Random(top + least, h - 2)};
    }
    bool Overlay(WORD key, const char* caption) {
        PressKey(key);
        return (overlay = WaitForOverlay(caption)) != nullptr;
    }
    bool OverlayGone() {
        return WaitFor([&] { return !::IsWindow(overlay); }, 5000) &&
               WaitFor([&] { return ::IsWindowVisible(main) && !::IsIconic(main); }, 5000) &&
               (::Sleep(300), true);
    }
    Outcome Captured(std::function<std::string(const Pixels&, const Pixels&)> like) {
        return {Outcome::New, std::nullopt, std::move(like)};
    }
    static std::string Screen(const Pixels&, const Pixels& after) {
        if (after.width != 1024 || after.height != 768) return "not the whole display";
        return Mismatch(Part(after, kBackdropOnly), Pattern);
    }
    static Pixels PatternPart(RECT r) {
        return Made(r.right - r.left, r.bottom - r.top,
                    [&](int x, int y) { return Pattern(r.left + x, r.top + y); });
    }

    Outcome Act(Action action) {
        // The rectangle or ellipse that the action just before drew, if it did.
        const std::optional<Mark> mark = std::exchange(lastMark, std::nullopt);
        switch (action) {
            case Desktop:
                if (!CaptureWithKey(VK_F7, main)) return Failed("no capture");
                return Captured(Screen);
            case AllDisplays: {
                KeyEvents({{VK_CONTROL, true}, {VK_MENU, true}, {VK_SHIFT, true}});
                const bool taken = CaptureWithKey(VK_F7, main);
                KeyEvents({{VK_SHIFT, false}, {VK_MENU, false}, {VK_CONTROL, false}});
                if (!taken) return Failed("no capture");
                return Captured(Screen);
            }
            case Foreground: {
                ::SetForegroundWindow(framed);
                WaitFor([&] { return ::GetForegroundWindow() == framed; }, 3000);
                if (!CaptureWithKey(VK_F8, main)) return Failed("no capture");
                RECT w;
                ::GetWindowRect(framed, &w);
                POINT client{0, 0};
                ::ClientToScreen(framed, &client);
                return Captured([=](const Pixels&, const Pixels& after) -> std::string {
                    if (after.width != w.right - w.left || after.height != w.bottom - w.top)
                        return "not the window's size: " + std::to_string(after.width) + " x " +
                               std::to_string(after.height);
                    // Below the button, the window's own pattern.
                    const RECT below{client.x - w.left, client.y - w.top + 60,
                                     client.x - w.left + 140, client.y - w.top + 140};
                    return Mismatch(Part(after, below),
                                    [](int x, int y) { return Pattern(x, y + 60); });
                });
            }
            case Selection:
            case LastRegion: {
                if (action == Selection) {
                    const int left = Random(0, 700), top = Random(0, 600);
                    region = {left, top, Random(left + 8, 850), Random(top + 8, 700)};
                    if (!Overlay(VK_F9, "CaptureForm")) return Failed("no overlay");
                    MoveAndRest({region->left, region->top});
                    MouseEvent(MOUSEEVENTF_LEFTDOWN);
                    ::Sleep(100);
                    MoveAndRest({(region->left + region->right) / 2, region->bottom - 3});
                    MoveAndRest({region->right, region->bottom});
                    MouseEvent(MOUSEEVENTF_LEFTUP);
                    if (!OverlayGone()) return Failed("the overlay stays");
                } else {
                    KeyEvents({{VK_CONTROL, true}, {VK_MENU, true}, {VK_SHIFT, true}});
                    const bool taken = CaptureWithKey(VK_F8, main);
                    KeyEvents({{VK_SHIFT, false}, {VK_MENU, false}, {VK_CONTROL, false}});
                    if (!taken) return Failed("no capture");
                }
                return {Outcome::New, PatternPart(*region), {}};
            }
            case Pick: {
                if (!Overlay(VK_F10, "CaptureControl")) return Failed("no overlay");
                ClickWindow(button);
                if (!OverlayGone()) return Failed("the overlay stays");
                return {Outcome::New, PatternPart({0, 0, 100, 40}), {}};
            }
            case CancelledCapture: {
                const int way = Variant(action, 3);
                const bool pick = way == 0;
                if (!Overlay(pick ? VK_F10 : VK_F9, pick ? "CaptureControl" : "CaptureForm"))
                    return Failed("no overlay");
                if (way == 1) {
                    ClickAt({400, 300});  // a click without a drag takes nothing
                } else {
                    PressKey(VK_ESCAPE);
                }
                if (!OverlayGone()) return Failed("the overlay stays");
                return {};
            }
            case Grayscale:
            case Brighten:
            case Darken:
            case Invert: {
                const int way = Random(0, 2);
                const int index = action - Grayscale;
                if (way == 0) {
                    ClickAt(CentreOf(main, EditButton(int(EditButton::Grayscale) + index)));
                    ::Sleep(300);
                } else if (way == 1) {
                    MenuBar('E', {6 + index});
                } else {
                    PictureMenu({action == Invert ? -2 : index - 6});
                }
                if (action == Invert)
                    return {Outcome::New,
                            Made(now.width, now.height,
                                 [&](int x, int y) { return RGB(255, 255, 255) - now.At(x, y); }),
                            {}};
                return {Outcome::New, std::nullopt,
                        [action](const Pixels& before, const Pixels& after) -> std::string {
                            if (after.width != before.width || after.height != before.height)
                                return "another size";
                            for (std::size_t i = 0; i < after.colours.size(); ++i) {
                                const COLORREF a = after.colours[i], b = before.colours[i];
                                const bool right =
                                    action == Grayscale
                                        ? IsGray(a, 0) && std::abs(GetRValue(a) - Gray(b)) <= 1
                                    : action == Brighten ? GetRValue(a) >= GetRValue(b) &&
                                                               GetGValue(a) >= GetGValue(b) &&
                                                               GetBValue(a) >= GetBValue(b)
                                                         : GetRValue(a) <= GetRValue(b) &&
                                                               GetGValue(a) <= GetGValue(b) &&
                                                               GetBValue(a) <= GetBValue(b);
                                if (!right) return "pixel " + std::to_string(i);
                            }
                            return "";
                        }};
            }
            case TurnOrFlip:
            case RotateButton: {
                int turn = repeat;
                if (action == TurnOrFlip) {
                    turn = Random(0, 3);
                    if (Random(0, 1))
                        MenuBar('E', {11, turn});
                    else
                        PictureMenu({-1, turn});
                    repeat = turn;
                } else {
                    ClickAt(CentreOf(main, EditButton::Rotate));
                    ::Sleep(300);
                }
                const Pixels& p = now;
                const int w = p.width, h = p.height;
                switch (turn) {
                    case 0:
                        return {Outcome::New, Turned(p), {}};
                    case 1:
                        return {
                            Outcome::New,
                            Made(w, h, [&](int x, int y) { return p.At(w - 1 - x, h - 1 - y); }),
                            {}};
                    case 2:
                        return {Outcome::New,
                                Made(w, h, [&](int x, int y) { return p.At(x, h - 1 - y); }),
                                {}};
                    default:
                        return {Outcome::New,
                                Made(w, h, [&](int x, int y) { return p.At(w - 1 - x, y); }),
                                {}};
                }
            }
            case Crop:
            case Rectangle:
            case Ellipse:
            case Line:
            case Arrow:
            case Highlighter: {
                Activate();
                PressKey("CRELAH"[action - Crop]);
                ::Sleep(100);
                const RECT r = SomeArea(action == Crop ? 30 : 6);
                DragInView(main, {r.left, r.top}, {r.right, r.bottom});
                if (action == Crop) return {Outcome::New, Part(now, r), {}};
                if (action == Rectangle || action == Ellipse) lastMark = Mark{r, now};
                if (action == Rectangle || action == Highlighter) {
                    const int wide = width;
                    const COLORREF colour = this->colour;
                    const bool mark = action == Highlighter;
                    return {Outcome::New,
                            Made(now.width, now.height,
                                 [&](int x, int y) {
                                     const COLORREF was = now.At(x, y);
                                     const bool inside =
                                         x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                                     if (!inside) return was;
                                     if (mark) return was & 0x00FFFF;
                                     const bool edge = x < r.left + wide || x >= r.right - wide ||
                                                       y < r.top + wide || y >= r.bottom - wide;
                                     return edge ? colour : was;
                                 }),
                            {}};
                }
                const int reach = 4 * width + 4;
                return Confined({r.left - reach, r.top - reach, r.right + reach, r.bottom + reach});
            }
            case Text: {
                Activate();
                PressKey('T');
                const RECT r = SomeArea(6);
                ClickPicture({r.left, r.top});
                KeyEvents({{VK_SHIFT, true}, {'G', true}, {'G', false}, {VK_SHIFT, false}});
                Keys({'L', 'I', 'M', 'R', 'A'});
                CtrlAnd(VK_RETURN);
                ::Sleep(300);
                return Confined({r.left, r.top, r.left + 160, r.top + 60});
            }
            case StepNumber: {
                Activate();
                PressKey('N');
                const RECT r = SomeArea(6);
                ClickPicture({r.left, r.top});
                return Confined({r.left - 40, r.top - 40, r.left + 40, r.top + 40});
            }
            case Pixelate:
            case Brush: {
                Activate();
                const int left = action == Brush ? 213 : 497;
                ClickAt(CentreOfSpeedButton(main, left));
                ::Sleep(200);
                const RECT r = SomeArea(10);
                DragInView(main, {r.left, r.top}, {r.right, r.bottom});
                ClickAt(CentreOfSpeedButton(main, left));
                ::Sleep(200);
                const int reach = action == Brush ? diameter / 2 + 3 : 8;
                return Confined({r.left - reach, r.top - reach, r.right + reach, r.bottom + reach});
            }
            case BrushSettings:
                // Brush > Diameter > 1 to 10, or Brush > Color > one of five.
                if (Random(0, 1)) {
                    diameter = Random(1, 10);
                    if (!PictureMenu({6, 0, diameter <= 5 ? diameter - 1 : diameter - 11}))
                        return Failed("no brush menu");
                } else if (!PictureMenu({6, 1, Random(0, 4)})) {
                    return Failed("no brush menu");
                }
                return {};
            case ToolColour: {
                static const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 0, 255),
                                                   RGB(0, 128, 0), RGB(255, 255, 0),
                                                   RGB(0, 0, 0),   RGB(255, 255, 255)};
                const int pick = Random(0, 5);
                if (!MenuBar('E', {-3, pick < 4 ? pick : pick - 7}))
                    return Failed("no colour menu");
                colour = colours[pick];
                return {};
            }
            case ToolWidth: {
                static const int widths[] = {1, 2, 3, 5, 8};
                const int pick = Random(0, 4);
                if (!MenuBar('E', {-2, pick})) return Failed("no width menu");
                width = widths[pick];
                return {};
            }
            case Undo:
            case Redo: {
                const bool undo = action == Undo;
                const bool can = undo ? model.at > 0 : model.at + 1 < model.hashes.size();
                const int way = can ? Random(0, model.sizes[model.at] ? 3 : 1) : 0;
                Activate();
                if (way == 0)
                    CtrlAnd(undo ? 'Z' : Random(0, 1) ? 'Y' : 'Z', !undo);
                else if (way == 1)
                    MenuBar('E', {undo ? 0 : 1});
                else
                    PictureMenu({undo ? 0 : 1});
                ::Sleep(200);
                return {undo ? Outcome::Undone : Outcome::Redone, {}, {}};
            }
            case Save:
            case SaveOver: {
                const int type = Variant(action, 4) + 1;
                static const char* extensions[] = {"bmp", "jpg", "gif", "png"};
                std::vector<std::string>& files = saved[type];
                const bool over = action == SaveOver && !files.empty();
                const std::string path = over ? files[std::size_t(Random(0, int(files.size()) - 1))]
                                              : folder + "\\soak-" + std::to_string(++saves) + "." +
                                                    extensions[type - 1];
                Activate();
                const int way = Random(0, 2);
                if (way == 0)
                    CtrlAnd('S');
                else if (way == 1)
                    MenuBar('F', {1});
                else
                    ClickAt(CentreOfSpeedButton(main, 142));
                HWND dialog = WaitForDialog();
                // Under load the desktop can lose the key, the menu's walk or the
                // click: Save is asked for once more, by its key.
                if (!dialog) {
                    Activate();
                    CtrlAnd('S');
                    dialog = WaitForDialog();
                }
                if (!dialog) return Failed("no save dialog");
                SaveInDialog(dialog, type, path, over);
                if (!over) files.push_back(path);
                const Pixels file = Decoded(type, path);
                if (file.width != now.width || file.height != now.height)
                    return Failed("the file " + path + " has another size");
                // GIF exact where its palette holds every colour; else JPEG and
                // GIF keep the brightness of small blocks, which their
                // quantisation and dithering spread the error over.
                const bool exact =
                    type == 1 || type == 4 || (type == 3 && GifKeepsEveryColour(now));
                const double error = MeanError(file, now), blocks = BlockError(file, now);
                Note("        %s: error %.2f, of block brightness %.2f%s\n", path.c_str(), error,
                     blocks, exact ? " (exact)" : "");
                if (exact ? !(file == now) : blocks > 3.0)
                    return Failed("the file " + path + " is not the picture");
                return {};
            }
            case Copy: {
                const DWORD before = ::GetClipboardSequenceNumber();
                const int way = Random(0, 2);
                if (way == 0)
                    Activate(), CtrlAnd('C');
                else if (way == 1)
                    MenuBar('E', {2});
                else
                    PictureMenu({2});
                if (!WaitFor([&] { return Clipboard().sequence != before && Clipboard().bitmap; },
                             3000))
                    return Failed("nothing copied");
                Pixels copied;
                WaitFor([&] { return (copied = ClipboardPixels()).width > 0; }, 2000);
                if (HashOf(copied) != model.hashes[model.at])
                    return Failed("another picture copied");
                return {};
            }
            case Language: {
                const int entry = Variant(action, 2);
                if (!MenuBar('O', {1, entry})) return Failed("no language menu");
                std::string caption;
                if (!WaitFor(
                        [&] {
                            caption = TextOf(main);
                            return caption == kEnglish || caption == kSwedish;
                        },
                        3000))
                    return Failed("the caption is " + caption);
                if (!languages.count(entry)) languages[entry] = caption;
                if (languages[entry] != caption) return Failed("another language: " + caption);
                return {};
            }
            case Tray: {
                const std::optional<POINT> box = MinimiseBox(main);
                if (!box || !ClickUntil(*box, [&] { return !::IsWindowVisible(main); }))
                    return Failed("not minimised");
                if (!OpenTrayMenu(*program)) return Failed("no tray menu");
                const bool capture = Variant(action, 2) == 0;
                Walk({capture ? 0 : -5}, true);  // "Capture Desktop" or "Main Window"
                if (!WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }, 5000))
                    return Failed("not back");
                ::Sleep(400);
                if (capture) return Captured(Screen);
                return {};
            }
            case CancelledDialog: {
                const int which = Variant(action, 6);
                if (which == 0)
                    Activate(), CtrlAnd('S');
                else if (which == 1)
                    MenuBar('O', {-2});  // Keys...
                else if (which == 2)
                    MenuBar('O', {2});  // Save Every Capture...
                else if (which == 3)
                    MenuBar('E', {-1});  // Font...
                else if (which == 4)
                    MenuBar('E', {-3, -1});  // a custom colour
                if (which == 5) {
                    ClickAt(CentreOfSpeedButton(main, 426));
                    HWND about = program->WaitForWindow("About Glimra", 5000);
                    HWND ok = about ? ::FindWindowExA(about, nullptr, "Button", "Ok") : nullptr;
                    if (!ok) return Failed("no about box");
                    RECT r;
                    ::GetWindowRect(ok, &r);
                    if (!ClickUntil({(r.left + r.right) / 2, (r.top + r.bottom) / 2},
                                    [&] { return !::IsWindowVisible(about); }))
                        return Failed("the about box stays");
                    return {};
                }
                HWND dialog = WaitForDialog();
                if (!dialog) return Failed("no dialog");
                // Under Wine a click on a dialog just shown is now and then lost:
                // it is clicked again until the dialog goes.
                RECT r;
                ::GetWindowRect(::GetDlgItem(dialog, IDCANCEL), &r);
                if (!ClickUntil(
                        {(r.left + r.right) / 2, (r.top + r.bottom) / 2},
                        [&] { return !::IsWindowVisible(dialog); }, 5000))
                    return Failed("the dialog stays");
                return {};
            }
            case Pin: {
                Activate();
                CtrlAnd('T');
                HWND pin = nullptr;
                WaitFor([&] { return (pin = Stranger()) != nullptr; }, 3000);
                if (!pin) return Failed("no pin");
                RECT r;
                ::GetWindowRect(pin, &r);
                MoveAndRest({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
                for (int i = 0; i < 2; ++i) {
                    MouseEvent(MOUSEEVENTF_LEFTDOWN);
                    MouseEvent(MOUSEEVENTF_LEFTUP);
                }
                if (!WaitFor([&] { return !::IsWindow(pin) || !::IsWindowVisible(pin); }, 3000))
                    return Failed("the pin stays");
                return {};
            }
            case Record:
                return ShortRecording(Variant(action, 3));
            case ReadText:
                return TextRead(Variant(action, 3));
            case Script: {
                // glimra.exe started by a script: the running copy takes a
                // region saved to a PNG, or copied, or the whole screen.
                const int way = Variant(action, 3);
                if (way == 2) {
                    const ScriptRun run = RunGlimra("--screen --no-pointer");
                    if (run.exitCode != 0)
                        return Failed("the command failed (" + std::to_string(run.exitCode) +
                                      "): " + run.err + run.out);
                    return Captured(Screen);
                }
                const int left = Random(0, 700), top = Random(0, 600);
                const RECT r{left, top, Random(left + 8, 850), Random(top + 8, 700)};
                const std::string area = std::to_string(r.left) + "," + std::to_string(r.top) +
                                         "," + std::to_string(r.right - r.left) + "," +
                                         std::to_string(r.bottom - r.top);
                const std::string path = folder + "\\command" + std::to_string(++saves) + ".png";
                const ScriptRun run = RunGlimra(
                    "--region " + area + (way == 0 ? " --save \"" + path + "\"" : " --copy"));
                if (run.exitCode != 0)
                    return Failed("the command failed (" + std::to_string(run.exitCode) +
                                  "): " + run.err + run.out);
                if (way == 0 && !(PixelsOf(DecodePng(ReadFile(path))) == PatternPart(r)))
                    return Failed("the command's file is not the region");
                // The command's region is the last region from now on.
                region = r;
                ::Sleep(300);
                return {Outcome::New, PatternPart(r), {}};
            }
            case ClearStatistics:
                MenuBar('O', {0});
                return {};
            case MoveMark:
            case DeleteMark: {
                // The mark just drawn, picked at its middle with the Select tool:
                // moved 10 pixels right with Shift+Right, or deleted, which gives
                // back the picture it was drawn on.
                if (!mark) return {};
                Activate();
                PressKey('V');
                ::Sleep(100);
                const RECT r = mark->area;
                ClickPicture({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
                if (action == DeleteMark)
                    PressKey(VK_DELETE);
                else
                    KeyEvents(
                        {{VK_SHIFT, true}, {VK_RIGHT, true}, {VK_RIGHT, false}, {VK_SHIFT, false}});
                ::Sleep(200);
                PressKey(VK_ESCAPE);  // the selection goes
                PressKey(VK_ESCAPE);  // and the tool: panning again
                ::Sleep(100);
                if (action == DeleteMark) return {Outcome::New, mark->before, {}};
                return Confined({r.left, r.top, r.right + 10, r.bottom});
            }
            case Open: {
                // A picture saved earlier as BMP or PNG, opened with Ctrl+O: it
                // comes back exactly.
                std::vector<std::string> files = saved[1];
                files.insert(files.end(), saved[4].begin(), saved[4].end());
                if (files.empty()) return {};
                const std::string path = files[std::size_t(Random(0, int(files.size()) - 1))];
                const Pixels file = Decoded(path.back() == 'p' ? 1 : 4, path);
                Activate();
                CtrlAnd('O');
                HWND dialog = WaitForDialog();
                if (!dialog) return Failed("no open dialog");
                HWND name = ::GetDlgItem(dialog, cmb13) ? ::GetDlgItem(dialog, cmb13)
                                                        : ::GetDlgItem(dialog, edt1);
                ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
                RECT ok;
                ::GetWindowRect(::GetDlgItem(dialog, IDOK), &ok);
                if (!ClickUntil(
                        {(ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2},
                        [&] { return !::IsWindow(dialog); }, 5000))
                    return Failed("the open dialog stays");
                ::Sleep(300);
                return {Outcome::New, file, {}};
            }
            case Paste: {
                // The picture copied and pasted back: a new step of the same pixels.
                Activate();
                const DWORD before = ::GetClipboardSequenceNumber();
                CtrlAnd('C');
                if (!WaitFor([&] { return Clipboard().sequence != before; }, 3000))
                    return Failed("nothing copied");
                CtrlAnd('V');
                ::Sleep(300);
                return {Outcome::New, now, {}};
            }
            case Effect: {
                // A border from the picture's menu, its dialog taken as it opens:
                // the picture grows on every side by the same width.
                if (!PictureMenu({effectsItem, 0})) return Failed("no effects menu");
                HWND dialog = WaitForDialog();
                if (!dialog) return Failed("no border dialog");
                Keys({VK_RETURN});
                if (!WaitFor([&] { return !::IsWindow(dialog); }, 5000))
                    return Failed("the border dialog stays");
                ::Sleep(300);
                return {Outcome::New, std::nullopt, [](const Pixels& before, const Pixels& after) {
                            const int grown = after.width - before.width;
                            if (grown <= 0 || after.height - before.height != grown)
                                return std::string("no border around the picture");
                            return Part(after, {grown / 2, grown / 2, grown / 2 + before.width,
                                                grown / 2 + before.height}) == before
                                       ? std::string()
                                       : std::string("the picture changed inside its border");
                        }};
            }
            case Clear: {
                // A click or menu walk that the loaded desktop lost leaves the
                // picture shown: it is made once more.
                const bool button = Random(0, 1);
                for (int attempt = 0; attempt < 2; ++attempt) {
                    Activate();
                    if (button)
                        ClickAt(CentreOfSpeedButton(main, 284));
                    else
                        PictureMenu({-3});
                    if (WaitFor([&] { return ViewEmpty(); }, 3000)) break;
                }
                return {Outcome::New, Pixels{}, {}};
            }
            case Rewind:
            default: {
                // Back to the first picture, then a new capture drops every step after it.
                Activate();
                while (model.at > 1) {
                    CtrlAnd('Z');
                    --model.at;
                    ::Sleep(50);
                }
                ::Sleep(300);
                Settle({});
                if (HasFatalFailure()) return {};
                return Act(Desktop);
            }
        }
    }
    // A recording of under a second, started with its key: of a dragged area
    // saved as a GIF from the preview (way 0), of the framed window picked with
    // W and closed unsaved in the preview, which asks first (1), or of a dragged
    // area cancelled with Escape in the bar (2). The picture stays as it was.
    // Clicks a button of the program's until `done`: under Wine a click on a
    // window just shown is now and then lost.
    template <class Done>
    static bool Press(HWND button, Done done) {
        RECT r;
        if (!button || !::GetWindowRect(button, &r)) return false;
        return ClickUntil({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, done, 4000);
    }
    Outcome ShortRecording(int way) {
        Activate();
        KeyEvents({{VK_CONTROL, true}, {VK_MENU, true}, {VK_SHIFT, true}});
        ::Sleep(100);
        KeyEvents({{VK_F11, true}});
        ::Sleep(150);
        KeyEvents({{VK_F11, false}, {VK_SHIFT, false}, {VK_MENU, false}, {VK_CONTROL, false}});
        if (!(overlay = WaitForOverlay("CaptureForm"))) return Failed("no overlay");
        RECT area;
        if (way == 1) {
            ::GetWindowRect(framed, &area);
            MoveAndRest({(area.left + area.right) / 2, area.bottom - 40});
            PressKey('W');
        } else {
            const int left = Random(0, 600), top = Random(0, 500);
            area = {left, top, left + Random(16, 300), top + Random(16, 200)};
            MoveAndRest({area.left, area.top});
            MouseEvent(MOUSEEVENTF_LEFTDOWN);
            MoveAndRest({(area.left + area.right) / 2, (area.top + area.bottom) / 2});
            MoveAndRest({area.right, area.bottom});
            MouseEvent(MOUSEEVENTF_LEFTUP);
        }
        HWND bar = nullptr;
        if (!WaitFor([&] { return (bar = ::FindWindowA("GlimraRecordingBar", nullptr)); }, 8000))
            return Failed("no recording bar");
        ::Sleep(DWORD(Random(300, 900)));
        if (way == 2) {
            ::SetForegroundWindow(bar);
            ::Sleep(200);
            PressKey(VK_ESCAPE);
        } else {
            Press(::FindWindowExA(bar, nullptr, "Button", "Stop"),
                  [&] { return !::IsWindow(bar); });
        }
        if (!WaitFor([&] { return !::IsWindow(bar); }, 5000)) return Failed("the bar stays");
        if (way == 2) return OverlayGone() ? Outcome{} : Failed("the window does not come back");
        HWND preview = nullptr;
        if (!WaitFor([&] { return (preview = ::FindWindowA("GlimraRecordingPreview", nullptr)); },
                     8000))
            return Failed("no preview");
        ::Sleep(300);
        if (way == 0) {
            Press(::FindWindowExA(preview, nullptr, "Button", "&Save..."),
                  [&] { return ShownWindowOfClass(*program, "#32770") != nullptr; });
            HWND dialog = WaitForDialog();
            if (!dialog) return Failed("no save dialog");
            const std::string path = folder + "\\recording" + std::to_string(++saves) + ".gif";
            SaveInDialog(dialog, 1, path);
            if (!WaitFor(
                    [&] {
                        return TextOf(::GetDlgItem(preview, 208)).find("Saved.") !=
                               std::string::npos;
                    },
                    8000))
                return Failed("not saved");
            Press(::FindWindowExA(preview, nullptr, "Button", "&Close"),
                  [&] { return !::IsWindow(preview); });
            const DecodedAnimation gif = DecodeAnimation(ReadFile(path));
            if (gif.frames.empty() || gif.width != area.right - area.left ||
                gif.height != area.bottom - area.top)
                return Failed("the recording's GIF is " + std::to_string(gif.width) + " x " +
                              std::to_string(gif.height) + " with " +
                              std::to_string(gif.frames.size()) + " frames");
        } else {
            ::PostMessageA(preview, WM_CLOSE, 0, 0);
            HWND question = WaitForDialog();
            if (!question) return Failed("closed unsaved without a question");
            // In front first: under Wine the question can open behind the window
            // last clicked, where a click on its Yes would land on that window.
            ::SetForegroundWindow(question);
            ::Sleep(200);
            Press(::GetDlgItem(question, IDYES), [&] { return !::IsWindow(question); });
        }
        if (!WaitFor([&] { return !::IsWindow(preview); }, 5000))
            return Failed("the preview stays");
        return OverlayGone() ? Outcome{} : Failed("the window does not come back");
    }
    // The text of the picture read with the picture menu's "Copy Text" (way
    // 0), of a part dragged with the Text Area tool (1), or of an area of the
    // screen with "Text from Region", cancelled with Escape while it is read
    // (2). The pictures here hold no words, so a reading ends in its result
    // window or in the message that no text was found; either is closed. The
    // picture stays as it was.
    Outcome TextRead(int way) {
        const DWORD before = ::GetClipboardSequenceNumber();
        // The reading has started, or has already shown what it read.
        const auto started = [&] {
            return WaitFor(
                [&] {
                    return ::FindWindowA("GlimraScrollingProgress", nullptr) ||
                           ShownWindowOf(*program, [](HWND, const std::string& cls) {
                               return cls == "GlimraTextResult" || cls == "#32770";
                           });
                },
                5000);
        };
        if (way == 0) {
            // Under load the desktop can lose the right click or a key of the
            // menu's walk: the walk is made again once.
            if (!(PictureMenu({3}) && started()) && !PictureMenu({3}))
                return Failed("no picture menu");
        } else if (way == 1) {
            // A lost X would leave the tool before it (a Text tool would start
            // typing at the drag): Escape ends that and the key is pressed again.
            for (int attempt = 0; attempt < 2; ++attempt) {
                Activate();
                if (attempt) {
                    PressKey(VK_ESCAPE);
                    PressKey(VK_ESCAPE);
                }
                PressKey('X');
                ::Sleep(100);
                const RECT r = SomeArea(12);
                DragInView(main, {r.left, r.top}, {r.right, r.bottom});
                if (started()) break;
            }
        } else {
            Activate();
            KeyEvents({{VK_CONTROL, true}, {VK_MENU, true}, {VK_SHIFT, true}, {VK_F12, true}});
            ::Sleep(150);
            KeyEvents({{VK_F12, false}, {VK_SHIFT, false}, {VK_MENU, false}, {VK_CONTROL, false}});
            if (!(overlay = WaitForOverlay("CaptureForm"))) return Failed("no overlay");
            const int left = Random(0, 600), top = Random(0, 400);
            MoveAndRest({left, top});
            MouseEvent(MOUSEEVENTF_LEFTDOWN);
            MoveAndRest({left + 150, top + 100});
            MoveAndRest({left + Random(200, 400), top + Random(150, 300)});
            MouseEvent(MOUSEEVENTF_LEFTUP);
            HWND reading = nullptr;
            WaitFor([&] { return (reading = ::FindWindowA("GlimraScrollingProgress", nullptr)); },
                    5000);
            if (reading) {
                ::SetForegroundWindow(reading);
                PressKey(VK_ESCAPE);
            }
        }
        HWND said = nullptr;
        const bool ended = WaitFor(
            [&] {
                said = ShownWindowOf(*program, [](HWND, const std::string& cls) {
                    return cls == "GlimraTextResult" || cls == "#32770";
                });
                return said || (way == 2 && !::FindWindowA("GlimraScrollingProgress", nullptr) &&
                                !::FindWindowA(nullptr, "CaptureForm"));
            },
            60000);
        if (!ended) return Failed("the reading does not end");
        // A reading that ended before the Escape shows its window a moment after
        // the progress window has gone.
        if (!said)
            WaitFor(
                [&] {
                    said = ShownWindowOf(*program, [](HWND, const std::string& cls) {
                        return cls == "GlimraTextResult" || cls == "#32770";
                    });
                    return said != nullptr;
                },
                1500);
        if (said) {
            ::PostMessageA(said, WM_CLOSE, 0, 0);
            if (!WaitFor([&] { return !::IsWindow(said); }, 5000))
                return Failed("the reading's window stays");
        }
        if (!said && ::GetClipboardSequenceNumber() != before)
            return Failed("a cancelled reading changed the clipboard");
        if (way == 1) {
            Activate();
            PressKey(VK_ESCAPE);
        }
        if (way == 2 && !OverlayGone()) return Failed("the window does not come back");
        ::Sleep(200);
        return {};
    }
    Outcome Failed(const std::string& what) {
        ADD_FAILURE() << what << "\n"
                      << program->DescribeWindows()
                      << "\nthe screen: " << SaveScreenshot(RECT{0, 0, 1024, 768}, "soak-failure");
        return {};
    }
    Outcome Confined(RECT r) {
        return {Outcome::New, std::nullopt, [r](const Pixels& before, const Pixels& after) {
                    return ChangedOutside(before, after, r);
                }};
    }
    // A shown window of the program other than the main window and its tooltips.
    HWND Stranger() {
        return ShownWindowOf(*program, [this](HWND window, const std::string& cls) {
            return window != main && cls != "tooltips_class32";
        });
    }

    // ---- Checking.

    // Whether the view shows no picture: its top left is the empty area's colour.
    bool ViewEmpty() {
        const COLORREF area = ::GetSysColor(COLOR_APPWORKSPACE);
        const Pixels view = ViewShows(main, 24, 24);
        return std::all_of(view.colours.begin(), view.colours.end(),
                           [area](COLORREF c) { return c == area; });
    }
    // The picture the program holds: copied and read back, or none shown.
    Pixels Read(bool none) {
        if (none) {
            if (!ViewEmpty()) Failed("the view shows a picture");
            return {};
        }
        // In front first, as a person brings a covered window forward: under Wine
        // the main window shown again after a capture can stay behind the window
        // clicked last, which would take the click.
        if (::GetForegroundWindow() != main) {
            ::SetForegroundWindow(main);
            WaitFor([&] { return ::GetForegroundWindow() == main; }, 2000);
        }
        // A click the loaded desktop lost is made once more.
        if (!CopyWithTheButton(main) && !(Activate(), CopyWithTheButton(main)))
            ADD_FAILURE() << "no copy";
        // The clipboard may still be open while the program puts the picture there.
        Pixels p;
        WaitFor([&] { return (p = ClipboardPixels()).width > 0; }, 2000);
        return p;
    }
    // After an action: the program answers, shows no other window, holds the
    // picture the model says, and keeps its objects and memory within bounds.
    void Settle(const Outcome& o) {
        ASSERT_EQ(::WaitForSingleObject(process, 0), WAIT_TIMEOUT) << "the program has ended";
        const DWORD asked = ::GetTickCount();
        ASSERT_TRUE(Responds(main, 30000)) << "hung: no answer within 30 s";
        longestAnswer = std::max(longestAnswer, ::GetTickCount() - asked);
        ASSERT_TRUE(WaitFor([&] { return !Stranger(); }, 1500))
            << "a window shows: " << TextOf(Stranger())
            << " saying: " << TextOf(::GetDlgItem(Stranger(), 0xFFFF))  // a message box's text
            << "\n"
            << program->DescribeWindows()
            << "\nthe screen: " << SaveScreenshot(RECT{0, 0, 1024, 768}, "soak-failure");
        if (o.kind == Outcome::Undone && model.at > 0) --model.at;
        if (o.kind == Outcome::Redone && model.at + 1 < model.hashes.size()) ++model.at;
        if (o.kind == Outcome::New) {
            const bool none = o.exactly && o.exactly->width == 0;
            const Pixels after = Read(none);
            ASSERT_FALSE(HasFailure());
            if (o.exactly) {
                ASSERT_TRUE(after == *o.exactly)
                    << Mismatch(after,
                                [&](int x, int y) {
                                    return x < o.exactly->width && y < o.exactly->height
                                               ? o.exactly->At(x, y)
                                               : 0xFFFFFFFF;
                                })
                    << " (" << after.width << " x " << after.height << ")";
            }
            if (o.like) {
                ASSERT_EQ(o.like(now, after), "");
            }
            model.hashes.resize(model.at + 1);
            model.kept.resize(model.at + 1);
            model.sizes.resize(model.at + 1);
            model.hashes.push_back(HashOf(after));
            model.kept.push_back(Raw(now));
            model.sizes.push_back(Raw(after));
            ++model.at;
            now = after;
        } else {
            now = Read(model.sizes[model.at] == 0);
            ASSERT_FALSE(HasFailure());
            ASSERT_EQ(HashOf(now), model.hashes[model.at])
                << "not the picture " << model.at << " of the history";
        }
    }

    // What the undo history may hold on purpose: at most the whole picture
    // before each step (packed, it holds far less); the picture itself, and
    // its copy on the clipboard.
    std::size_t Allowance() const {
        std::size_t bytes = 2 * Raw(now);
        for (std::size_t k : model.kept)
            bytes += k;
        return bytes;
    }

    std::string folder;
    OtherProgram other;
    HWND backdrop = nullptr, framed = nullptr, button = nullptr, main = nullptr, overlay = nullptr;
    Program* program = nullptr;
    HANDLE process = nullptr;
    std::mt19937 rng;
    struct {
        std::vector<std::uint64_t> hashes{HashOf({})};
        std::vector<std::size_t> kept{0}, sizes{0};
        std::size_t at = 0;
    } model;
    Pixels now;
    std::optional<RECT> region;
    int repeat = 0, width = 3, diameter = 1, saves = 0;
    COLORREF colour = RGB(255, 0, 0);
    std::map<int, std::vector<std::string>> saved;
    // A mark drawn by the last action: its rectangle, and the picture before it.
    struct Mark {
        RECT area;
        Pixels before;
    };
    std::optional<Mark> lastMark;
    // The Effects submenu's place in the picture's menu.
    static constexpr int effectsItem = 7;
    std::map<int, std::string> languages;
    DWORD longestAnswer = 0;
    bool warming = true;
    std::map<Action, int> seen;
    std::vector<std::string> journal;
};

TEST_F(Soak, ARandomJourneyKeepsThePictureTheModelPredicts_AndObjectsAndMemoryBounded) {
    const unsigned seed =
        Number("GLIMRA_SOAK_SEED", "--seed=", unsigned(::GetTickCount() ^ ::GetCurrentProcessId()));
    const int actions = int(Number("GLIMRA_SOAK_ACTIONS", "--actions=", 150));
    std::printf("soak: seed %u, %d actions (GLIMRA_SOAK_SEED=%u reproduces it)\n", seed, actions,
                seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    rng.seed(seed);

    Program started(ProgramPath(), folder);
    program = &started;
    main = started.WaitForWindow(kEnglish);
    ASSERT_NE(main, nullptr) << started.DescribeWindows();
    PassTheReminder(started, main, "");
    MouseAside();
    process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE,
                            started.Id());
    ASSERT_NE(process, nullptr);
    const DWORD began = ::GetTickCount();
    const auto report = [&](const char* when, int done, const ProcessObjects& o) {
        std::printf("soak %s, after %d actions (%.0f s): %s; history allowance %.1f MiB\n", when,
                    done, (::GetTickCount() - began) / 1000.0, o.Describe().c_str(),
                    MiB(Allowance()));
        std::fflush(stdout);
    };
    report("start", 0, CountProcessObjects(process));

    // First every action once, in an order of the seed's, from a capture to
    // back to the first picture: the warm-up. Then actions at random, the way
    // back to the first picture also in the middle and at the end.
    std::vector<Action> order;
    // Each way of the actions that open something of the system's (dialogs,
    // their fonts, the file types' libraries) once: what they keep for later.
    for (int a = Foreground; a < Clear; ++a)
        order.insert(order.end(),
                     a == CancelledDialog                                                   ? 6
                     : a == Save                                                            ? 4
                     : a == CancelledCapture || a == Record || a == Script || a == ReadText ? 3
                     : a == Language || a == Tray                                           ? 2
                                                                                            : 1,
                     Action(a));
    std::shuffle(order.begin(), order.end(), rng);
    // A mark is moved or deleted right after it is drawn.
    for (const auto& [drawn, then] :
         {std::pair{Rectangle, MoveMark}, std::pair{Ellipse, DeleteMark}}) {
        order.erase(std::find(order.begin(), order.end(), then));
        order.insert(std::find(order.begin(), order.end(), drawn) + 1, then);
    }
    order.insert(order.begin(), Desktop);
    order.insert(order.end(), {Clear, Rewind});
    const int warmUp = int(order.size());
    ProcessObjects peak{};
    long long peakExcess = 0;
    // The built-in recogniser stays loaded 30 seconds after a reading, with
    // memory that follows how much it read: memory is checked while it is not,
    // and at the end once it has gone.
    constexpr DWORD kRecogniserKept = 33000;
    DWORD lastReading = 0;
    const auto recogniserHeld = [&] {
        return lastReading != 0 && ::GetTickCount() - lastReading < kRecogniserKept;
    };
    constexpr int kGdiMargin = 16, kWindowMargin = 3;
    constexpr long long kMemoryMargin = 24ll << 20;
    for (int done = 0; done < actions; ++done) {
        Action action;
        if (done < warmUp) {
            action = order[std::size_t(done)];
        } else if (done == actions / 2 || done == actions - 1 || Allowance() > (160u << 20)) {
            action = Rewind;
        } else {
            do
                action = Action(Random(0, kActions - 1));
            while ((action == Rewind && Random(0, 3)) || (action == Clear && Random(0, 2)));
            if (lastMark && Random(0, 1)) action = Random(0, 1) ? MoveMark : DeleteMark;
        }
        const bool picture = model.sizes[model.at] != 0;
        const bool needsPicture =
            !(action <= CancelledCapture || action == Undo || action == Redo ||
              action == Language || action == Tray || action == Record || action == Script ||
              action == ClearStatistics || action == Rewind);
        const bool needsRoom = action >= Crop && action <= Brush;
        if ((needsPicture && !picture) || (action == Clear && !picture) ||
            (needsRoom && (std::min(now.width, 600) < 70 || std::min(now.height, 330) < 70)) ||
            (action == LastRegion && !region) || (action == Rewind && model.at < 1))
            action = Desktop;
        SCOPED_TRACE("action " + std::to_string(done + 1) + ", " + kNames[action]);
        // Behind everything, whatever a click on it did.
        ::SetWindowPos(backdrop, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        warming = done < warmUp;
        const Outcome outcome = Act(action);
        if (action == ReadText) lastReading = ::GetTickCount();
        ASSERT_FALSE(HasFailure());
        Settle(outcome);
        ASSERT_FALSE(HasFailure());
        const ProcessObjects o = CountProcessObjects(process);
        Note("%5d %-26s GDI %d, windows %d, private %.1f MiB, allowance %.1f MiB\n", done + 1,
             kNames[action], o.gdi, o.windows, MiB(o.privateBytes), MiB(Allowance()));
        const long long excess = (long long)o.privateBytes - (long long)Allowance();
        if (done < warmUp) {
            peak.gdi = std::max(peak.gdi, o.gdi);
            peak.windows = std::max(peak.windows, o.windows);
            peakExcess = std::max(peakExcess, excess);
            if (done + 1 == warmUp) report("warm-up", done + 1, o);
            continue;
        }
        ASSERT_LE(o.gdi, peak.gdi + kGdiMargin) << o.Describe();
        ASSERT_LE(o.windows, peak.windows + kWindowMargin) << o.Describe();
        if (!recogniserHeld()) {
            ASSERT_LE(excess, peakExcess + kMemoryMargin)
                << o.Describe() << ", history allowance " << MiB(Allowance()) << " MiB";
        }
        if (done + 1 == actions / 2 + 1) report("middle", done + 1, o);
    }
    // At the end the memory is bounded in any case, once the recogniser has gone.
    if (recogniserHeld()) ::Sleep(kRecogniserKept - (::GetTickCount() - lastReading));
    const ProcessObjects end = CountProcessObjects(process);
    EXPECT_LE((long long)end.privateBytes - (long long)Allowance(), peakExcess + kMemoryMargin)
        << end.Describe() << ", history allowance " << MiB(Allowance()) << " MiB";
    report("end", actions, end);
    std::printf("soak: seed %u, %d actions in %.0f s; slowest answer %lu ms\n", seed, actions,
                (::GetTickCount() - began) / 1000.0, longestAnswer);
    ::CloseHandle(process);
    ExitWithTheMenu(started, main, 'F', 'X');
}

}  // namespace
