// Driving glimra.exe from outside, as a person at the desktop does: its windows,
// menus, dialogs, the reminder and the captures by key; and reading back what it
// leaves, as another program would: the screen's pixels, the clipboard, the
// registry.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "testing/output/decoders.h"
#include "testing/desktop/Desktop.h"
#include "testing/desktop/Program.h"

namespace glimra::test {

// ---- What the screen, the clipboard and the registry hold.

struct Pixels {
    int width = 0, height = 0;
    std::vector<COLORREF> colours;  // rows from the top
    COLORREF At(int x, int y) const { return colours[std::size_t(y) * width + x]; }
    bool operator==(const Pixels&) const = default;
};

// The pixels of a bitmap, read through a 32-bit DIB.
Pixels PixelsOf(HDC dc, HBITMAP bitmap, int width, int height);

// What the screen shows in a rectangle.
Pixels ScreenPixels(RECT r);

// What another program learns of the clipboard at a glance: who put something
// there last, and whether a bitmap is among its formats.
struct ClipboardState {
    DWORD sequence;
    HWND owner;
    bool bitmap;
};

// What the clipboard holds now.
ClipboardState Clipboard();

// A string value of the settings key, or nothing.
std::optional<std::string> Setting(const char* name);
// Stores a string value in the settings key, made when missing, as the program
// will read it; false when the key cannot be made.
bool StoreSetting(const char* name, const std::string& value);

// The settings key is there.
bool SettingsKeyExists();

// The gray of a colour, its channels weighted 30, 59 and 11 in a hundred.
std::uint8_t Gray(COLORREF c);

// The channels differ by at most `tolerance`.
bool IsGray(COLORREF c, int tolerance);

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
Pixels Part(const Pixels& p, RECT r);

// The pattern in shades of gray: the weighted sum of its channels, rounded (a
// sum that ends in exactly one half may round either way, so comparisons allow
// one level).
COLORREF GrayPattern(int x, int y);

// The decoded file as pixels.
Pixels PixelsOf(const glimra::test::RgbImage& image);

// The picture on the clipboard, as another program reads it (its packed bitmap);
// no pixels when there is none.
Pixels ClipboardPixels();

// ---- The program's windows, seen from outside.

// A window's text.
std::string TextOf(HWND window);

// A visible top-level window of the program of that class ("#32768" for an open
// menu, "#32770" for a dialog), or null.
HWND ShownWindowOfClass(const Program& program, const char* cls);
// The first visible top-level window of the program for which `which` (the window
// and its class name) holds, or null.
HWND ShownWindowOf(const Program& program,
                   const std::function<bool(HWND, const std::string& cls)>& which);

// The program's menu once it is open, or null after 5 s.
HWND WaitForMenu(const Program& program);

// Waits until no menu of the program is open.
bool MenusClosed(const Program& program);

// Presses the keys one after another.
void Keys(std::initializer_list<WORD> keys);

// Alt with a letter, as for a menu's accelerator.
void AltAnd(WORD letter);

// A right click at a screen point.
void RightClickAt(POINT p);

// The mouse away from every window of the program, so that nothing shows a hover.
void MouseAside();

// The title bar's minimise box, found as the window itself answers hit tests.
std::optional<POINT> MinimiseBox(HWND window);

// Right-clicks the program's icon in the notification area, at the right end of
// the task bar, and returns its menu. Icons that ended programs left behind may
// stand right of it, so the places are tried from the right until the program's
// own menu opens.
HWND OpenTrayMenu(const Program& program);

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
bool CopyWithTheButton(HWND main);

// What the image view shows of the picture's top-left corner, at 100 %.
Pixels ViewShows(HWND main, int width, int height);

// The view ends right of and below a picture of this size: the image area's
// own colour shows there.
bool ViewEndsAt(HWND main, int width, int height);

// "Save &As..." from the File menu: the real save dialog once it is up, or null.
HWND OpenSaveDialog(const Program& program, HWND main);
// In the open save dialog: the type as a pick in its drop-down list (1 BMP,
// 2 JPEG, 3 GIF, 4 PNG), the full name typed into its name box, and a click on
// its Save button; waits for the file. A file of that name is removed first,
// or, with `replace`, saved over: the dialog's question whether to replace it
// is answered with a click on Yes, and the wait is for the file to change.
void SaveInDialog(HWND dialog, int type, const std::string& path, bool replace = false);
// Both of the above.
void SaveAs(const Program& program, HWND main, int type, const std::string& path,
            const std::string& screenshot = "");

// Waits through the donation reminder's countdown and clicks its "Ok".
void PassTheReminder(const Program& program, HWND main, const std::string& screenshot);

// Presses a capture key and waits until the main window has gone and come back.
bool CaptureWithKey(WORD key, HWND main);

// The window's thread answers a message within the time: it is not hung.
bool Responds(HWND window, DWORD milliseconds = 2000);

// The overlay of a selection or window capture, once it is up and in front.
HWND WaitForOverlay(const char* caption);

// Under Wine a sent move now and then reaches a window late, or a stale pointer
// event puts the pointer back for a moment: a move counts once the pointer has
// stayed there.
void MoveAndRest(POINT p);
// A drag with the left button in the image view, between two points of the
// picture (not scrolled), through the point half-way, each move at rest.
void DragInView(HWND main, POINT from, POINT to);

// Ends the program with the exit entry of its File menu, both chosen by their
// accelerator letters (which a language may change).
void ExitWithTheMenu(Program& program, HWND main, WORD fileLetter, WORD exitLetter);

}  // namespace glimra::test
