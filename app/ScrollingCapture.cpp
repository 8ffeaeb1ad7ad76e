#include "app/ScrollingCapture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "app/ScrollingProgress.h"
#include "capture/Displays.h"
#include "capture/ScrnCap.h"
#include "imaging/scroll_stitch.h"
#include "ui/TApplication.h"

namespace {

// The ways to scroll a window by a step. The capture goes down by the first of
// the first three that the window answers; the arrow keys are a finer step for
// the way back.
enum class Method { Lines, Wheel, Keys, Arrows };
constexpr Method kMethods[] = {Method::Lines, Method::Wheel, Method::Keys};

// How long a frame may take to change after a scroll, and to settle.
constexpr DWORD kChangeWait = 500, kSettle = 15;
// At most this many rounds of steps in one way up to the top or towards a place.
constexpr int kMaxRounds = 400;

bool HasVerticalBar(HWND window) {
    if (::GetWindowLongA(window, GWL_STYLE) & WS_VSCROLL) return true;
    SCROLLBARINFO bar{};
    bar.cbSize = sizeof bar;
    return ::GetScrollBarInfo(window, OBJID_VSCROLL, &bar) &&
           !(bar.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN));
}

// The window's client area on the screen, within the virtual screen.
RECT ClientArea(HWND window) {
    RECT r{};
    ::GetClientRect(window, &r);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    const RECT screen = VirtualScreen();
    RECT inside{};
    ::IntersectRect(&inside, &r, &screen);
    return inside;
}

bool SamePixels(ui::TBitmap& a, ui::TBitmap& b) {
    const glimra::PixelView va = a.View(), vb = b.View();
    if (va.width != vb.width || va.height != vb.height || va.bytesPerPixel != vb.bytesPerPixel)
        return false;
    for (int y = 0; y < va.height; ++y)
        if (std::memcmp(va.Row(y), vb.Row(y),
                        std::size_t(va.width) * std::size_t(va.bytesPerPixel)))
            return false;
    return true;
}

// The window's scroll bar position, where it has one to read.
std::optional<int> BarPosition(HWND window) {
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, 0, 0};
    if (!::GetScrollInfo(window, SB_VERT, &info)) return std::nullopt;
    return info.nPos;
}

void SendBar(HWND window, WPARAM request) {
    DWORD_PTR ignored;
    ::SendMessageTimeoutA(window, WM_VSCROLL, request, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
}

// A key as the keyboard sends it to the window with the focus.
void PostKey(HWND window, WORD key) {
    const LPARAM scan = LPARAM(::MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16;
    ::PostMessageA(window, WM_KEYDOWN, key, scan | 1);
    ::PostMessageA(window, WM_KEYUP, key, scan | 1 | (3u << 30));
}

// Sends `count` steps down (or up) in the way of `method`.
void Scroll(HWND window, Method method, int count, bool down) {
    DWORD_PTR ignored;
    const RECT area = ClientArea(window);
    const POINT centre{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    for (int i = 0; i < count; ++i)
        switch (method) {
            case Method::Lines:
                SendBar(window, down ? SB_LINEDOWN : SB_LINEUP);
                break;
            case Method::Wheel:
                ::SendMessageTimeoutA(
                    window, WM_MOUSEWHEEL, MAKEWPARAM(0, down ? -WHEEL_DELTA : WHEEL_DELTA),
                    MAKELPARAM(centre.x, centre.y), SMTO_ABORTIFHUNG, 1000, &ignored);
                break;
            case Method::Keys:
                PostKey(window, down ? VK_NEXT : VK_PRIOR);
                break;
            case Method::Arrows:
                PostKey(window, down ? VK_DOWN : VK_UP);
                break;
        }
    if (method == Method::Lines) SendBar(window, SB_ENDSCROLL);
}

class Capture {
  public:
    explicit Capture(HWND window) : window_(window), area_(ClientArea(window)), progress_(area_) {}

    ScrollingResult Run(bool fromTop) {
        fromTop_ = fromTop;
        ScrollingResult result;
        if (area_.right <= area_.left || area_.bottom <= area_.top) {
            result.failure = "The window to scroll is not on the screen.";
            return result;
        }
        SCROLLINFO before{sizeof before, SIF_POS | SIF_RANGE, 0, 0, 0, 0, 0};
        const bool known = ::GetScrollInfo(window_, SB_VERT, &before);
        Settle(150);
        // The place the window stands at, to bring it back there afterwards.
        const std::unique_ptr<ui::TBitmap> start = progress_.Grab(area_);
        std::unique_ptr<ui::TBitmap> frame = fromTop && !(known && before.nPos <= before.nMin)
                                                 ? ToTop(*start)
                                                 : progress_.Grab(area_);
        stitch_.emplace(frame->View());
        progress_.Show(1);
        const int moving = frame->Height();
        std::optional<Method> method;
        int count = 1, screens = 1;
        bool uncertain = false, bounded = false;
        while (!progress_.Stopped()) {
            if (!method) {
                // The first scroll finds the way that the window answers.
                for (Method m : kMethods) {
                    Scroll(window_, m, 1, true);
                    if (std::unique_ptr<ui::TBitmap> next = NextFrame(*frame)) {
                        method = m;
                        frame = std::move(next);
                        break;
                    }
                }
                if (!method) {
                    if (!ReturnTo(known ? std::optional<int>(before.nPos) : std::nullopt, *start,
                                  method))
                        result.place = kNotBack;
                    result.failure =
                        "This window does not scroll: it answers neither its scroll bar, nor "
                        "the mouse wheel, nor Page Down, or it is already at its end.";
                    return result;
                }
            } else {
                Scroll(window_, *method, count, true);
                std::unique_ptr<ui::TBitmap> next = NextFrame(*frame);
                if (!next) break;
                frame = std::move(next);
            }
            const int rowsBefore = stitch_->Height();
            const glimra::ScrollStitch::Join join = stitch_->Add(frame->View());
            if (join == glimra::ScrollStitch::Join::Still) break;
            if (join == glimra::ScrollStitch::Join::Uncertain) {
                uncertain = true;
                break;
            }
            progress_.Show(++screens);
            // Lines and wheel steps: as many as move about half the moving part.
            const int moved = std::max(1, stitch_->Height() - rowsBefore);
            const int part = moving - stitch_->FixedTop() - stitch_->FixedBottom();
            if (*method != Method::Keys)
                count = std::clamp(count * std::max(1, part / 2) / moved, 1, 64);
            if (stitch_->Height() >= MaxRows(stitch_->Width(), frame->View().bytesPerPixel)) {
                bounded = true;
                break;
            }
            Settle(0);
        }
        if (!ReturnTo(known ? std::optional<int>(before.nPos) : std::nullopt, *start, method))
            result.place = kNotBack;

        const int rows =
            std::min(stitch_->Height(), MaxRows(stitch_->Width(), frame->View().bytesPerPixel));
        result.picture = std::make_unique<ui::TBitmap>();
        result.picture->Recreate(frame->PixelFormat(), stitch_->Width(), rows);
        stitch_->CopyTo(result.picture->View(), rows);
        result.origin = {area_.left, area_.top};
        if (uncertain)
            result.ended =
                "Scrolling capture: a screen could not be joined exactly; the picture "
                "ends with the last part that could.";
        else if (bounded)
            result.ended =
                "Scrolling capture: the picture reached its largest size and ends there.";
        return result;
    }

  private:
    static constexpr const char* kNotBack =
        "Scrolling capture: the window could not be scrolled back to where it was.";

    // Where the window's content stands: the picture row at the top of its
    // moving part, and the frame it was read from.
    struct Place {
        int row;
        std::unique_ptr<ui::TBitmap> frame;
    };

    static int MaxRows(int width, int bytesPerPixel) {
        const std::size_t row = std::size_t(std::max(1, width)) * std::size_t(bytesPerPixel);
        return int(std::min<std::size_t>(kScrollingMaxRows, kScrollingMaxBytes / row));
    }

    // Handles the program's own messages (the progress window's paint and keys)
    // for a while.
    void Settle(DWORD milliseconds) {
        ui::Application->HandleMessagesUntil(nullptr, milliseconds);
        ui::Application->ProcessMessages();
    }

    // The frame once the window has changed from `last` and stays as it is; null
    // when it does not change in time.
    std::unique_ptr<ui::TBitmap> NextFrame(ui::TBitmap& last) {
        const DWORD start = ::GetTickCount();
        std::unique_ptr<ui::TBitmap> previous;
        for (;;) {
            ::UpdateWindow(window_);
            std::unique_ptr<ui::TBitmap> grab = progress_.Grab(area_);
            const bool changed = !SamePixels(*grab, last);
            if (changed && previous && SamePixels(*grab, *previous)) return grab;
            if (::GetTickCount() - start > kChangeWait) return changed ? std::move(grab) : nullptr;
            if (changed) previous = std::move(grab);
            Settle(kSettle);
        }
    }

    // Brings the content to its top: by the scroll bar's SB_TOP or the Home key,
    // whichever moves it, else by steps up of the wheel, the scroll bar's lines
    // or Page Up until it stops. Returns the frame it shows then.
    std::unique_ptr<ui::TBitmap> ToTop(ui::TBitmap& from) {
        SendBar(window_, SB_TOP);
        SendBar(window_, SB_ENDSCROLL);
        if (std::unique_ptr<ui::TBitmap> top = NextFrame(from)) return top;
        PostKey(window_, VK_HOME);
        if (std::unique_ptr<ui::TBitmap> top = NextFrame(from)) return top;
        std::unique_ptr<ui::TBitmap> frame;
        for (Method m : {Method::Wheel, Method::Lines, Method::Keys}) {
            for (int round = 0; round < kMaxRounds && !progress_.Stopped(); ++round) {
                Scroll(window_, m, 16, false);
                std::unique_ptr<ui::TBitmap> next = NextFrame(frame ? *frame : from);
                if (!next) break;
                frame = std::move(next);
            }
            if (frame) return frame;
        }
        return progress_.Grab(area_);
    }

    // Back to the place the capture started from, `start` showing it. First by
    // the scroll bar, to the position it had, where it can be read; a window that
    // does not follow its scroll bar is brought back by its content: the steps
    // that scroll it, each place measured where it stands in the picture, until
    // it stands where `start` does, tried from where it is and again from the top.
    bool ReturnTo(std::optional<int> position, ui::TBitmap& start, std::optional<Method> method) {
        if (position && *position >= 0 && *position <= 0xFFFF) {
            SendBar(window_, MAKEWPARAM(SB_THUMBPOSITION, *position));
            SendBar(window_, SB_ENDSCROLL);
            Settle(0);
            if (BarPosition(window_) == position) return true;
        }
        if (!stitch_) return false;
        const std::optional<int> target = stitch_->Locate(start.View(), 0);
        if (!target) return false;
        {
            std::unique_ptr<ui::TBitmap> frame = progress_.Grab(area_);
            const std::optional<int> row = stitch_->Locate(frame->View(), stitch_->Height());
            if (!row) return false;
            Place place{*row, std::move(frame)};
            if (ThumbTo(*target, place)) return true;
        }
        // Again from the top only where the picture begins there.
        for (int attempt = 0; attempt < (fromTop_ ? 2 : 1); ++attempt) {
            std::unique_ptr<ui::TBitmap> frame =
                attempt == 0 ? progress_.Grab(area_) : ToTop(*progress_.Grab(area_));
            const std::optional<int> row =
                stitch_->Locate(frame->View(), attempt == 0 ? stitch_->Height() : 0);
            if (!row) return false;
            Place place{*row, std::move(frame)};
            if (method) Approach(*method, *target, place);
            for (Method m : {Method::Lines, Method::Arrows, Method::Wheel})
                if (m != method) Approach(m, *target, place);
            if (place.row == *target) return true;
        }
        return false;
    }

    // Where the position cannot be read (the scroll bar of another process's
    // window, under Wine) or is not in pixels: the thumb is sent to the top, then
    // to the value that the places measured so far point at, taken as a straight
    // line through the last two, until the content stands at `target`. False when
    // the window does not follow its thumb or its thumb cannot reach the place.
    bool ThumbTo(int target, Place& place) {
        std::optional<std::pair<int, int>> before;  // the last value sent, and its row
        int value = 0;
        for (int round = 0; round < 8; ++round) {
            SendBar(window_, MAKEWPARAM(SB_THUMBPOSITION, value));
            SendBar(window_, SB_ENDSCROLL);
            if (std::unique_ptr<ui::TBitmap> next = NextFrame(*place.frame)) {
                const std::optional<int> row = stitch_->Locate(next->View(), place.row);
                if (!row) return false;
                place = {*row, std::move(next)};
            } else if (round == 0 && place.row != target) {
                return false;
            }
            if (place.row == target) return true;
            const int rows = target - place.row;
            const int next = before && before->second != place.row
                                 ? value + int(std::lround(double(rows) * (value - before->first) /
                                                           (place.row - before->second)))
                                 : value + rows;
            before = {value, place.row};
            if (next == value || next < 0 || next > 0xFFFF) return false;
            value = next;
        }
        return false;
    }

    // Steps towards `target` by `method`, measuring after each batch where the
    // content stands; stops there, where the next step would pass it, or where
    // the content does not move or is not in the picture.
    void Approach(Method method, int target, Place& place) {
        int step = 0;
        for (int round = 0; round < kMaxRounds && place.row != target; ++round) {
            const int remaining = std::abs(target - place.row);
            if (step > remaining) return;
            // Keys are posted and taken in the window's own time, so a frame
            // between them could look settled: one at a time.
            const bool posted = method == Method::Keys || method == Method::Arrows;
            const int count = step && !posted ? std::clamp(remaining / step, 1, 64) : 1;
            Scroll(window_, method, count, place.row < target);
            std::unique_ptr<ui::TBitmap> next = NextFrame(*place.frame);
            if (!next) return;
            const std::optional<int> row = stitch_->Locate(next->View(), place.row);
            if (!row) return;
            step = std::max(1, std::abs(*row - place.row) / count);
            place = {*row, std::move(next)};
        }
    }

    HWND window_;
    RECT area_;
    ScrollingProgress progress_;
    std::optional<glimra::ScrollStitch> stitch_;
    bool fromTop_ = true;  // the picture begins at the top of the content
};

}  // namespace

HWND ScrollableAt(POINT p) {
    HWND at = ::WindowFromPoint(p);
    for (HWND w = at; w; w = ::GetAncestor(w, GA_PARENT)) {
        if (w == ::GetDesktopWindow()) break;
        if (HasVerticalBar(w)) return w;
    }
    return at;
}

ScrollingResult CaptureScrolling(HWND window, bool fromTop) {
    std::optional<Capture> capture;
    ScrollingResult result;
    {
        // The area, its grabs and the progress window beside it, all in the
        // physical pixels that the grabs take, whatever the scale of the window's
        // display.
        PhysicalPixels physical;
        HWND top = ::GetAncestor(window, GA_ROOT);
        ::SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        capture.emplace(window);
        result = capture->Run(fromTop);
    }
    // The main window comes back while the progress window is still up. That one
    // is active, and when it goes the system activates the next window: the main
    // window then, not the scrolled one, which under Wine could otherwise stay
    // above the main window after its return.
    ui::Application->Restore();
    return result;
}
