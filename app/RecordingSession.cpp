#include "app/RecordingSession.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "win/SystemFunction.h"

namespace {

constexpr const char* kBarClass = "GlimraRecordingBar";
constexpr const char* kFrameClass = "GlimraRecordingFrame";
constexpr int kBorder = 2, kGap = 4, kBarWidth = 300, kBarHeight = 34;
// Apart from IDOK and IDCANCEL, which Enter and Escape send.
constexpr int kPause = 101, kStop = 102, kCancel = 103;
// Windows 10 2004 and later: the window is left out of the screen's pictures.
constexpr DWORD kExcludeFromCapture = 0x11;

enum class Ending { None, Stop, Cancel };

// What the bar's buttons asked for.
struct Asked {
    Ending ending = Ending::None;
    bool pause = false;  // Pause or Resume
};

LRESULT CALLBACK BarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* asked = reinterpret_cast<Asked*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!asked) return ::DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_COMMAND:
            // Enter presses the default button, Stop.
            if (LOWORD(wParam) == kStop || LOWORD(wParam) == IDOK) asked->ending = Ending::Stop;
            if (LOWORD(wParam) == kCancel || LOWORD(wParam) == IDCANCEL)
                asked->ending = Ending::Cancel;
            if (LOWORD(wParam) == kPause) asked->pause = true;
            return 0;
        case WM_CLOSE:
            asked->ending = Ending::Cancel;
            return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

void Register() {
    static const bool registered = [] {
        WNDCLASSA bar{};
        bar.lpfnWndProc = BarProc;
        bar.hInstance = ::GetModuleHandleA(nullptr);
        bar.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        bar.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
        bar.lpszClassName = kBarClass;
        WNDCLASSA frame{};
        frame.lpfnWndProc = ::DefWindowProcA;
        frame.hInstance = ::GetModuleHandleA(nullptr);
        frame.hbrBackground = ::CreateSolidBrush(RGB(220, 30, 30));
        frame.lpszClassName = kFrameClass;
        return ::RegisterClassA(&bar) && ::RegisterClassA(&frame);
    }();
    (void)registered;
}

HWND Popup(const char* cls, RECT r, DWORD extra = 0, DWORD style = 0) {
    HWND window = ::CreateWindowExA(
        WS_EX_TOPMOST | WS_EX_TOOLWINDOW | extra, cls, "Glimra", WS_POPUP | style, r.left, r.top,
        r.right - r.left, r.bottom - r.top, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    // Found at run time: Windows 7 has it, older systems do not.
    static auto* const affinity = win::OptionalSystemFunction<decltype(::SetWindowDisplayAffinity)>(
        "user32.dll", "SetWindowDisplayAffinity");
    if (window && affinity) affinity(window, kExcludeFromCapture);
    return window;
}

// Where the bar stands: below the area, else above it, else inside its display's
// lower right corner, within the work area of the area's display.
RECT BarPlace(RECT area) {
    MONITORINFO monitor{sizeof monitor, {}, {}, 0};
    ::GetMonitorInfoA(::MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT work = monitor.rcWork;
    const int x = std::clamp(int(area.left) - kBorder, int(work.left), int(work.right) - kBarWidth);
    const int below = area.bottom + kBorder + kGap, above = area.top - kBorder - kGap - kBarHeight;
    if (below + kBarHeight <= work.bottom) return {x, below, x + kBarWidth, below + kBarHeight};
    if (above >= work.top) return {x, above, x + kBarWidth, above + kBarHeight};
    return {work.right - kBarWidth, work.bottom - kBarHeight, work.right, work.bottom};
}

// Where the recordings' frames are kept while they are taken.
std::string TemporaryFolder() {
    char temp[MAX_PATH];
    const DWORD length = ::GetTempPathA(MAX_PATH, temp);
    return length > 0 && length < MAX_PATH ? std::string(temp, length) : std::string(".");
}

}  // namespace

std::string RecordingClock(std::int64_t milliseconds) {
    char text[32];
    const long long s = milliseconds / 1000;
    std::snprintf(text, sizeof text, "%lld:%02lld.%lld", s / 60, s % 60, milliseconds % 1000 / 100);
    return text;
}

void RemoveRecordingLeftovers() {
    RecordingFrames::RemoveLeftovers(TemporaryFolder());
}

Recording RecordArea(RECT area, int rate, bool pointer, const RecordingLimits& limits,
                     const std::function<bool()>& stopKey) {
    Register();
    const std::string temp = TemporaryFolder();
    auto frames =
        std::make_unique<RecordingFrames>(temp, area.right - area.left, area.bottom - area.top);

    // The frame: a window around the area whose region leaves the area out.
    const RECT outer{area.left - kBorder, area.top - kBorder, area.right + kBorder,
                     area.bottom + kBorder};
    HWND frame = Popup(kFrameClass, outer, WS_EX_NOACTIVATE);
    HRGN ring = ::CreateRectRgn(0, 0, outer.right - outer.left, outer.bottom - outer.top);
    HRGN hole = ::CreateRectRgn(kBorder, kBorder, kBorder + area.right - area.left,
                                kBorder + area.bottom - area.top);
    ::CombineRgn(ring, ring, hole, RGN_DIFF);
    ::DeleteObject(hole);
    // The window owns the region from now on.
    if (!::SetWindowRgn(frame, ring, FALSE)) ::DeleteObject(ring);
    ::ShowWindow(frame, SW_SHOWNOACTIVATE);

    // The bar: the time, then the buttons.
    Asked asked;
    HWND bar = Popup(kBarClass, BarPlace(area), 0, WS_BORDER);
    ::SetWindowLongPtrA(bar, GWLP_USERDATA, LONG_PTR(&asked));
    const auto child = [&](const char* cls, const char* text, int id, int x, int width,
                           DWORD style) {
        HWND c = ::CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, 5, width, 24,
                                   bar, reinterpret_cast<HMENU>(INT_PTR(id)),
                                   ::GetModuleHandleA(nullptr), nullptr);
        ::SendMessageA(c, WM_SETFONT, WPARAM(::GetStockObject(DEFAULT_GUI_FONT)), TRUE);
        return c;
    };
    HWND time = child("STATIC", "0:00.0", 0, 8, 64, SS_CENTERIMAGE);
    HWND pause = child("BUTTON", "Pause", kPause, 76, 70, BS_PUSHBUTTON | WS_TABSTOP);
    child("BUTTON", "Stop", kStop, 150, 70, BS_DEFPUSHBUTTON | WS_TABSTOP);
    child("BUTTON", "Cancel", kCancel, 224, 70, BS_PUSHBUTTON | WS_TABSTOP);
    ::ShowWindow(bar, SW_SHOW);
    // Both above every window, the area's own included.
    for (HWND w : {frame, bar})
        ::SetWindowPos(w, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetForegroundWindow(bar);
    ::SetFocus(::GetDlgItem(bar, kStop));

    Recording result;
    {
        ScreenRecorder recorder(area, rate, pointer, *frames);
        while (asked.ending == Ending::None && !recorder.Failed()) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                // The bar works as a dialog does: Tab, Enter, Escape.
                if (::IsDialogMessageA(bar, &msg)) continue;
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
            if (asked.pause) {
                asked.pause = false;
                if (recorder.Paused())
                    recorder.Resume();
                else
                    recorder.Pause();
                ::SetWindowTextA(pause, recorder.Paused() ? "Resume" : "Pause");
            }
            if (stopKey()) asked.ending = Ending::Stop;
            const std::int64_t elapsed = recorder.Elapsed();
            ::SetWindowTextA(time, RecordingClock(elapsed).c_str());
            ULARGE_INTEGER free{};
            if (elapsed >= std::int64_t(limits.minutes) * 60000) {
                result.limit = "The recording reached its limit of " +
                               std::to_string(limits.minutes) + " minutes and ended there.";
            } else if (::GetDiskFreeSpaceExA(temp.c_str(), &free, nullptr, nullptr) &&
                       free.QuadPart < std::uint64_t(limits.freeMegabytes) << 20) {
                result.limit = "The recording ended: the disk of " + temp + " had less than " +
                               std::to_string(limits.freeMegabytes) + " MB free.";
            }
            if (!result.limit.empty()) asked.ending = Ending::Stop;
        }
        result.summary = recorder.Stop();
    }
    ::DestroyWindow(bar);
    ::DestroyWindow(frame);
    if (asked.ending != Ending::Cancel && frames->Count() > 0) result.frames = std::move(frames);
    return result;
}
