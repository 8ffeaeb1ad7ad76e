// Windows that behave like another program's: they live on a thread of their own
// with its own message loop, so they paint and answer while the test's thread is
// busy (inside a capture, a modal overlay or a message box). Each window shows a
// known pattern, so that a grab can be checked pixel by pixel.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace glimra::test {

// The colour of pixel (x, y) of a pattern window's client area.
COLORREF Pattern(int x, int y);
// Fills (0, 0, width, height) of `dc` with the pattern.
void PaintPattern(HDC dc, int width, int height);

// Lines of text as a text window draws them: in a font of the system at a size
// in points, ink on paper, smoothed as `quality` says (ANTIALIASED_QUALITY,
// CLEARTYPE_QUALITY, ...), from a margin at the top left, one line under the other.
struct TextLook {
    std::string font;
    int points = 10;
    COLORREF ink = RGB(0, 0, 0), paper = RGB(255, 255, 255);
    BYTE quality = ANTIALIASED_QUALITY;
    std::vector<std::string> lines;
};

class OtherProgram {
  public:
    OtherProgram();
    ~OtherProgram();
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    // A top-level window with the pattern in its client area, at the outer rectangle.
    HWND PatternWindow(RECT outer, DWORD style = WS_POPUP, DWORD exStyle = 0);
    // A push button inside `parent` (client coordinates) that draws the pattern itself.
    HWND PatternButton(HWND parent, RECT bounds);
    // A top-level window whose client area is one colour, shown without taking
    // the focus.
    HWND SolidWindow(RECT outer, COLORREF colour, DWORD style = WS_POPUP);
    // A top-level window that draws nothing; for sizes no screen could show.
    HWND BlankWindow(RECT outer);
    // A top-level window that shows the text, shown without taking the focus.
    HWND TextWindow(RECT outer, const TextLook& look);

    // Runs `work` on the windows' thread and waits for it.
    void Run(const std::function<void()>& work);

  private:
    void Loop();

    std::thread thread_;
    DWORD threadId_ = 0;
    HANDLE ready_;
    std::vector<HWND> windows_;
    std::vector<std::unique_ptr<TextLook>> looks_;
};

}  // namespace glimra::test
