#include "ui/TControlScrollBar.h"

#include <algorithm>

#include "ui/TScrollingWinControl.h"

namespace ui {

TControlScrollBar::TControlScrollBar(TScrollingWinControl& control, TScrollBarKind kind)
    : control_(control), kind_(kind) {}

int TControlScrollBar::MaxPosition() const {
    return visible_ ? std::max(0, range_ - page_) : 0;
}

int TControlScrollBar::Increment() const {
    return smooth_ ? std::max(1, page_ / 10) : increment_;
}

void TControlScrollBar::SetPosition(int position) {
    position = std::clamp(position, 0, MaxPosition());
    const POINT now = control_.ScrollOffset();
    if (kind_ == TScrollBarKind::sbHorizontal)
        control_.ScrollTo(position, now.y);
    else
        control_.ScrollTo(now.x, position);
}

void TControlScrollBar::SetRange(int range) {
    range_ = std::max(0, range);
    control_.UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool visible) {
    visible_ = visible;
    control_.UpdateScrollBars();
}

void TControlScrollBar::SetStyle(TScrollBarStyle style) {
    style_ = style;
}

bool TControlScrollBar::Show(HWND window) const {
    if (!visible_) {
        ::ShowScrollBar(window, Bar(), FALSE);
        return false;
    }
    // A page as large as the range hides the bar.
    SCROLLINFO info{sizeof info,
                    SIF_RANGE | SIF_PAGE | SIF_POS,
                    0,
                    std::max(0, range_ - 1),
                    UINT(std::max(0, page_)),
                    position_,
                    0};
    SCROLLINFO now{sizeof now, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    if (::GetScrollInfo(window, Bar(), &now) && now.nMin == info.nMin && now.nMax == info.nMax &&
        now.nPage == info.nPage && now.nPos == info.nPos)
        return false;
    ::SetScrollInfo(window, Bar(), &info, FALSE);
    return true;
}

void TControlScrollBar::Scroll(int request) {
    int position = position_;
    switch (request) {
        case SB_LINEUP:
            position -= Increment();
            break;
        case SB_LINEDOWN:
            position += Increment();
            break;
        case SB_PAGEUP:
            position -= page_;
            break;
        case SB_PAGEDOWN:
            position += page_;
            break;
        case SB_THUMBTRACK:
            if (!tracking_) return;
            [[fallthrough]];
        case SB_THUMBPOSITION: {
            SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
            if (!control_.HandleAllocated() || !::GetScrollInfo(control_.Handle(), Bar(), &info))
                return;
            position = info.nTrackPos;
            break;
        }
        case SB_TOP:
            position = 0;
            break;
        case SB_BOTTOM:
            position = MaxPosition();
            break;
        default:
            return;
    }
    SetPosition(position);
}

}  // namespace ui
