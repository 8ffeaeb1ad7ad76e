// One scroll bar of a scrolling control (the window's own WS_HSCROLL or
// WS_VSCROLL bar): the scrolled distance (Position) within the content's extent
// (Range), and how the bar behaves.
#pragma once

#include <windows.h>

namespace ui {

class TScrollingWinControl;

enum class TScrollBarKind { sbHorizontal, sbVertical };
enum class TScrollBarStyle { ssRegular, ssFlat, ssHotTrack };

class TControlScrollBar {
  public:
    TControlScrollBar(TScrollingWinControl& control, TScrollBarKind kind);

    TScrollBarKind Kind() const { return kind_; }
    // How far the content is scrolled; always within 0 .. Range - the page.
    int Position() const { return position_; }
    void SetPosition(int position);
    // The extent of the content along the bar; set by the control while its
    // AutoScroll holds.
    int Range() const { return range_; }
    void SetRange(int range);
    // The visible extent along the bar (the control's client size).
    int Page() const { return page_; }
    // The largest position the range allows.
    int MaxPosition() const;
    // The distance of one arrow click; a smooth bar makes it a tenth of the page.
    int Increment() const;
    void SetIncrement(int increment) { increment_ = increment; }
    bool Smooth() const { return smooth_; }
    void SetSmooth(bool smooth) { smooth_ = smooth; }
    // The content moves while the thumb is dragged, not only when it is let go.
    bool Tracking() const { return tracking_; }
    void SetTracking(bool tracking) { tracking_ = tracking; }
    // A hidden bar never scrolls.
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // The look asked for. The program runs with the common controls' visual
    // styles, whose scroll bars light up the part under the mouse by themselves
    // (the flat scroll bars of older versions are gone there), so every style
    // shows the system's themed bar.
    TScrollBarStyle Style() const { return style_; }
    void SetStyle(TScrollBarStyle style);

    // Handles a WM_HSCROLL or WM_VSCROLL request (SB_LINEUP, SB_THUMBTRACK...).
    void Scroll(int request);

  private:
    friend class TScrollingWinControl;
    int Bar() const { return kind_ == TScrollBarKind::sbHorizontal ? SB_HORZ : SB_VERT; }
    // Sets the range, page and position of the window's bar, which shows or hides
    // it, without drawing it; true when they changed.
    bool Show(HWND window) const;

    TScrollingWinControl& control_;
    TScrollBarKind kind_;
    int position_ = 0, range_ = 0, page_ = 0, increment_ = 8;
    bool smooth_ = false, tracking_ = false, visible_ = true;
    TScrollBarStyle style_ = TScrollBarStyle::ssRegular;
};

}  // namespace ui
