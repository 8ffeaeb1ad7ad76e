// A windowed control whose content can be larger than its client area: the
// children keep their positions in the content and are shown shifted by the
// scroll bars' positions. With AutoScroll the ranges follow the children's
// extent. The scroll box and the forms both scroll this way.
#pragma once

#include "ui/TControlScrollBar.h"
#include "ui/TWinControl.h"

namespace ui {

class TScrollingWinControl : public TWinControl {
  public:
    explicit TScrollingWinControl(TComponent* owner);

    TControlScrollBar& HorzScrollBar() { return horz_; }
    const TControlScrollBar& HorzScrollBar() const { return horz_; }
    TControlScrollBar& VertScrollBar() { return vert_; }
    const TControlScrollBar& VertScrollBar() const { return vert_; }
    // The ranges are the extent of the visible children.
    bool AutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool autoScroll);

    // Shows the scroll bars that the ranges need and keeps the positions in them.
    void UpdateScrollBars();
    void Realign() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  protected:
    // Aligned children fill the content, which is at least the client area.
    void AdjustClientRect(RECT& r) const override;
    void WindowCreated() override;

  private:
    friend class TControlScrollBar;
    // Scrolls to these positions (already within the ranges).
    void ScrollTo(int x, int y);
    // The extent of the visible children, padding included.
    SIZE ContentExtent() const;

    TControlScrollBar horz_, vert_;
    bool autoScroll_ = true;
    bool updating_ = false;
};

}  // namespace ui
