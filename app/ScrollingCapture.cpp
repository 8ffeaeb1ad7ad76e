#include "app/ScrollingCapture.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "app/ScrollingProgress.h"
#include "capture/Displays.h"
#include "capture/ScrnCap.h"
#include "imaging/scroll_stitch.h"
#include "ui/TApplication.h"

namespace {

enum class Method { Lines, Wheel, Keys };
constexpr Method kMethods[] = {Method::Lines, Method::Wheel, Method::Keys};

// How long a frame may take to change after a scroll, and to settle.
constexpr DWORD kChangeWait = 500, kSettle = 15;

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

// Sends `count` steps down (or up) in the way of `method`.
void Scroll(HWND window, Method method, int count, bool down) {
    DWORD_PTR ignored;
    const RECT area = ClientArea(window);
    const POINT centre{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    for (int i = 0; i < count; ++i)
        switch (method) {
            case Method::Lines:
                ::SendMessageTimeoutA(window, WM_VSCROLL, down ? SB_LINEDOWN : SB_LINEUP, 0,
                                      SMTO_ABORTIFHUNG, 1000, &ignored);
                break;
            case Method::Wheel:
                ::SendMessageTimeoutA(
                    window, WM_MOUSEWHEEL, MAKEWPARAM(0, down ? -WHEEL_DELTA : WHEEL_DELTA),
                    MAKELPARAM(centre.x, centre.y), SMTO_ABORTIFHUNG, 1000, &ignored);
                break;
            case Method::Keys: {
                const WORD key = down ? VK_NEXT : VK_PRIOR;
                const LPARAM scan = LPARAM(::MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16;
                ::PostMessageA(window, WM_KEYDOWN, key, scan | 1);
                ::PostMessageA(window, WM_KEYUP, key, scan | 1 | (3u << 30));
                break;
            }
        }
    if (method == Method::Lines)
        ::SendMessageTimeoutA(window, WM_VSCROLL, SB_ENDSCROLL, 0, SMTO_ABORTIFHUNG, 1000,
                              &ignored);
}

class Capture {
  public:
    explicit Capture(HWND window) : window_(window), area_(ClientArea(window)), progress_(area_) {}

    ScrollingResult Run() {
        ScrollingResult result;
        if (area_.right <= area_.left || area_.bottom <= area_.top) {
            result.failure = "The window to scroll is not on the screen.";
            return result;
        }
        SCROLLINFO before{sizeof before, SIF_POS, 0, 0, 0, 0, 0};
        const bool known = ::GetScrollInfo(window_, SB_VERT, &before);
        Settle(150);
        std::unique_ptr<ui::TBitmap> frame = progress_.Grab(area_);
        glimra::ScrollStitch stitch(frame->View());
        progress_.Show(1);
        const int moving = frame->Height();
        std::optional<Method> method;
        int count = 1, screens = 1;
        bool uncertain = false, bounded = false;
        for (;;) {
            if (!method) {
                // The first scroll finds the way that the window answers.
                for (Method m : kMethods) {
                    Scroll(window_, m, 1, true);
                    sent_[int(m)] += 1;
                    if (std::unique_ptr<ui::TBitmap> next = NextFrame(*frame)) {
                        method = m;
                        frame = std::move(next);
                        break;
                    }
                }
                if (!method) {
                    result.failure =
                        "This window does not scroll: it answers neither its scroll bar, nor "
                        "the mouse wheel, nor Page Down, or it is already at its end.";
                    return result;
                }
            } else {
                Scroll(window_, *method, count, true);
                sent_[int(*method)] += count;
                std::unique_ptr<ui::TBitmap> next = NextFrame(*frame);
                if (!next) break;
                frame = std::move(next);
            }
            const int rowsBefore = stitch.Height();
            const glimra::ScrollStitch::Join join = stitch.Add(frame->View());
            if (join == glimra::ScrollStitch::Join::Still) break;
            if (join == glimra::ScrollStitch::Join::Uncertain) {
                uncertain = true;
                break;
            }
            progress_.Show(++screens);
            // Lines and wheel steps: as many as move about half the moving part.
            const int moved = std::max(1, stitch.Height() - rowsBefore);
            const int part = moving - stitch.FixedTop() - stitch.FixedBottom();
            if (*method != Method::Keys)
                count = std::clamp(count * std::max(1, part / 2) / moved, 1, 64);
            if (stitch.Height() >= MaxRows(stitch.Width(), frame->View().bytesPerPixel)) {
                bounded = true;
                break;
            }
            Settle(0);
            if (progress_.Stopped()) break;
        }
        ScrollBack(known ? std::optional<int>(before.nPos) : std::nullopt);

        const int rows =
            std::min(stitch.Height(), MaxRows(stitch.Width(), frame->View().bytesPerPixel));
        result.picture = std::make_unique<ui::TBitmap>();
        result.picture->Recreate(frame->PixelFormat(), stitch.Width(), rows);
        stitch.CopyTo(result.picture->View(), rows);
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

    // Back to the position before: by the scroll bar where the position can be
    // read, else by as many steps up as were sent down.
    void ScrollBack(std::optional<int> position) {
        DWORD_PTR ignored;
        const auto now = [&]() -> std::optional<int> {
            SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, 0, 0};
            if (!::GetScrollInfo(window_, SB_VERT, &info)) return std::nullopt;
            return info.nPos;
        };
        if (position && position <= 0xFFFF) {
            ::SendMessageTimeoutA(window_, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, *position), 0,
                                  SMTO_ABORTIFHUNG, 1000, &ignored);
            ::SendMessageTimeoutA(window_, WM_VSCROLL, SB_ENDSCROLL, 0, SMTO_ABORTIFHUNG, 1000,
                                  &ignored);
        }
        for (Method m : kMethods)
            for (int i = 0; i < sent_[int(m)]; ++i) {
                const std::optional<int> at = now();
                if (position && at && *at <= *position) return;
                Scroll(window_, m, 1, false);
            }
        Settle(0);
    }

    HWND window_;
    RECT area_;
    ScrollingProgress progress_;
    int sent_[3] = {};
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

ScrollingResult CaptureScrolling(HWND window) {
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
        result = capture->Run();
    }
    // The main window comes back while the progress window is still up. That one
    // is active, and when it goes the system activates the next window: the main
    // window then, not the scrolled one, which under Wine could otherwise stay
    // above the main window after its return.
    ui::Application->Restore();
    return result;
}
