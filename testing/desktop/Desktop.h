// Acting at the desktop as a person would, and keeping what the screen showed:
// mouse and keys through SendInput, screenshots of windows as PNG files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace glimra::test {

// Moves the mouse to a screen point, as a mouse would (SendInput).
void MoveMouseTo(POINT screenPoint);
// Moves the mouse to a screen point and clicks the left button there.
void ClickAt(POINT screenPoint);
// Clicks the centre of a window.
void ClickWindow(HWND window);
// Presses and releases a key (a virtual-key code).
void PressKey(WORD key);
// One mouse event at the pointer's position (MOUSEEVENTF_LEFTDOWN, ...).
void MouseEvent(DWORD flags);
// Key presses (true) and releases (false) in one SendInput call, so that the
// system takes them all in before anything else runs.
void KeyEvents(const std::vector<std::pair<WORD, bool>>& keys);

// The header of a top-down device-independent bitmap of this size, without a
// colour table.
BITMAPINFO TopDownDib(int width, int height, WORD bitsPerPixel);

// Opens the clipboard for `owner`, waiting up to two seconds while another program
// holds it open: one whose data is there already may still be adding formats.
bool OpenClipboardSoon(HWND owner = nullptr);

// The clipboard's data of one format as bytes, read as any other program reads
// it; empty when it has none or stays held.
std::vector<std::uint8_t> ClipboardBytes(UINT format);

// The clipboard's packed bitmap (CF_DIB) as the bytes of a BMP file, read as any
// other program reads it; empty when the clipboard holds none or stays held.
std::vector<std::uint8_t> ClipboardPictureFile();

// Writes what the screen shows inside `screenArea` to
// test-output/screenshots/NAME.png and returns the file's path.
std::string SaveScreenshot(const RECT& screenArea, const std::string& name);
// The same for the window's outer rectangle.
std::string SaveScreenshot(HWND window, const std::string& name);

// The clipboard's bitmap (CF_BITMAP) as this process reads it; all 0 and no pixels
// when the clipboard holds none or stays held (OpenClipboardSoon).
struct ClipboardBitmap {
    int width = 0, height = 0, bitsPerPixel = 0;
    std::vector<COLORREF> pixels;  // from the top, as GetPixel reads them
};
ClipboardBitmap ReadClipboardBitmap(HWND owner = nullptr);

// Calls `step` every 20 ms until it returns true or the time is up.
template <class F>
bool WaitFor(F step, DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    while (!step()) {
        if (::GetTickCount() - start > milliseconds) return false;
        ::Sleep(20);
    }
    return true;
}

}  // namespace glimra::test
