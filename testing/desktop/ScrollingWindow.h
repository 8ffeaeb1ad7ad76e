// Another program's window that scrolls a tall picture, for the scrolling
// capture: a client area of 300 x 300 pixels over a content of 300 x 5,000 in
// which no two rows are alike, with a vertical scroll bar, an optional fixed
// header and footer, and one way of being scrolled.
#pragma once

#include <windows.h>

#include <atomic>
#include <vector>

#include "testing/desktop/OtherProgram.h"

namespace glimra::test {

class ScrollingWindow {
  public:
    static constexpr int kSide = 300, kContentHeight = 5000, kLine = 20;
    enum class Scrolls {
        // The scroll bar's requests: lines of 20 pixels, pages, the top and the
        // end, the thumb.
        ByLines,
        // No scroll bar request: Page Down and Page Up (the moving part less one
        // line), Home and End, the arrow keys (a line).
        ByPageKeys,
        // The wheel, in steps of 37, 61 and 89 pixels in turn, and of the scroll
        // bar's requests only the thumb's.
        ByWheel,
        Never,  // nothing
    };
    struct Options {
        Scrolls scrolls = Scrolls::ByLines;
        int header = 0, footer = 0;  // fixed rows at the top and the foot
        int start = 0;               // the content row first shown
        DWORD pause = 0;             // milliseconds each scroll takes
    };

    // The window with its client area's top left at `at`, on `thread`.
    ScrollingWindow(OtherProgram& thread, POINT at, Options options);
    ~ScrollingWindow();

    HWND Handle() const { return window_; }
    // The content row at the top of the moving part.
    int Position() const { return position_; }

    // The colours of the content, the header and the footer.
    static COLORREF Content(int x, int y);
    static COLORREF Header(int x, int y);
    static COLORREF Footer(int x, int y);
    // What a full capture gives: the header, the content, the footer.
    COLORREF Whole(int x, int y) const;

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void ScrollTo(int position);
    void Paint(HDC dc) const;
    int Moving() const { return kSide - options_.header - options_.footer; }

    OtherProgram& thread_;
    Options options_;
    HWND window_ = nullptr;
    std::atomic<int> position_{0};
    int wheelTurn_ = 0;
};

}  // namespace glimra::test
