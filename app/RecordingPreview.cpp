#include "app/RecordingPreview.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <vector>

#include "app/RecordingFrames.h"
#include "app/RecordingSave.h"
#include "app/RecordingSession.h"

namespace {

constexpr const char* kClass = "GlimraRecordingPreview";
constexpr int kMargin = 8, kSliderHeight = 30, kButtonHeight = 26, kInfoHeight = 20;
constexpr int kMinWidth = 600;
// Apart from IDOK (Enter: the default button, Save) and IDCANCEL (Escape: Close).
constexpr int kSlider = 200, kPlay = 201, kBack = 202, kForward = 203, kTrimStart = 204,
              kTrimEnd = 205, kSave = 206, kClose = 207, kInfo = 208;
constexpr UINT_PTR kPlayTimer = 1;

std::int64_t Now() {
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return now.QuadPart * 1000 / frequency.QuadPart;
}

class Preview {
  public:
    Preview(RecordingFrames& frames, std::int64_t end, const std::string& folder,
            const std::string& name)
        : frames_(frames),
          end_(end),
          folder_(folder),
          name_(name),
          last_(frames.Count() - 1),
          pixels_(std::size_t(frames.Width()) * std::size_t(frames.Height()) * 4) {}

    PreviewResult Run();
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    void Create();
    void Show(int frame);
    void Update();
    void Command(int id);
    void Play();
    void Stop();
    void Tick();
    void Save();
    void Close();
    void Paint();
    // The time the kept part ends: where the frame after it starts, or the end.
    std::int64_t KeptEnd() const {
        return last_ + 1 < frames_.Count() ? frames_.Time(last_ + 1) : end_;
    }

    RecordingFrames& frames_;
    const std::int64_t end_;
    const std::string folder_, name_;
    int current_ = -1, first_ = 0, last_;
    std::vector<std::uint8_t> pixels_;  // the frame shown, 4 bytes a pixel
    bool readFailed_ = false;
    RECT picture_{};  // where the frame is drawn in the client area
    HWND window_ = nullptr, slider_ = nullptr, play_ = nullptr, info_ = nullptr;
    bool playing_ = false;
    std::int64_t playedFrom_ = 0, playedAt_ = 0;  // recording time and clock at Play
    bool saved_ = false, done_ = false;
    bool everSaved_ = false;
    std::string said_;
};

LRESULT CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        ::SetWindowLongPtrA(window, GWLP_USERDATA,
                            LONG_PTR(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* preview = reinterpret_cast<Preview*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    // Until CreateWindowEx returns, the preview does not know its window.
    if (!preview || message == WM_NCCREATE || message == WM_CREATE)
        return ::DefWindowProcA(window, message, wParam, lParam);
    return preview->Handle(message, wParam, lParam);
}

void Preview::Create() {
    static const bool registered = [] {
        WNDCLASSA c{};
        c.lpfnWndProc = PreviewProc;
        c.hInstance = ::GetModuleHandleA(nullptr);
        c.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        c.hIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
        c.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
        c.lpszClassName = kClass;
        return ::RegisterClassA(&c) != 0;
    }();
    (void)registered;

    // The frame at 100 % where it fits in most of the work area of the display
    // under the pointer, else made smaller to fit.
    POINT pointer;
    ::GetCursorPos(&pointer);
    MONITORINFO monitor{sizeof monitor, {}, {}, 0};
    ::GetMonitorInfoA(::MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT work = monitor.rcWork;
    const int below = kSliderHeight + kButtonHeight + kInfoHeight + 4 * kMargin;
    const double room =
        std::min({1.0, (work.right - work.left) * 0.85 / frames_.Width(),
                  ((work.bottom - work.top) * 0.85 - below - ::GetSystemMetrics(SM_CYCAPTION)) /
                      frames_.Height()});
    const int width = std::max(1, int(frames_.Width() * room)),
              height = std::max(1, int(frames_.Height() * room));
    const int clientWidth = std::max(width + 2 * kMargin, kMinWidth);
    picture_ = {(clientWidth - width) / 2, kMargin, (clientWidth - width) / 2 + width,
                kMargin + height};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT outer{0, 0, clientWidth, kMargin + height + below};
    ::AdjustWindowRectEx(&outer, style, FALSE, WS_EX_APPWINDOW);
    const int w = outer.right - outer.left, h = outer.bottom - outer.top;
    window_ = ::CreateWindowExA(WS_EX_APPWINDOW, kClass, "Recording - Glimra", style,
                                work.left + (work.right - work.left - w) / 2,
                                work.top + (work.bottom - work.top - h) / 2, w, h, nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), this);
    if (!window_) throw std::runtime_error("The recording's preview could not be opened.");

    const auto child = [&](const char* cls, const char* text, int id, int x, int y, int cx, int cy,
                           DWORD style) {
        HWND c = ::CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, cx, cy,
                                   window_, reinterpret_cast<HMENU>(INT_PTR(id)),
                                   ::GetModuleHandleA(nullptr), nullptr);
        ::SendMessageA(c, WM_SETFONT, WPARAM(::GetStockObject(DEFAULT_GUI_FONT)), TRUE);
        return c;
    };
    int y = picture_.bottom + kMargin;
    slider_ = child(TRACKBAR_CLASSA, "", kSlider, kMargin, y, clientWidth - 2 * kMargin,
                    kSliderHeight, WS_TABSTOP | TBS_HORZ | TBS_ENABLESELRANGE | TBS_NOTICKS);
    ::SendMessageA(slider_, TBM_SETRANGEMIN, FALSE, 0);
    ::SendMessageA(slider_, TBM_SETRANGEMAX, FALSE, last_);
    ::SendMessageA(slider_, TBM_SETPAGESIZE, 0, 10);
    y += kSliderHeight + kMargin;
    const struct {
        int id;
        const char* text;
        int width;
        DWORD style;
    } buttons[] = {
        {kPlay, "&Play", 64, BS_PUSHBUTTON},        {kBack, "<", 32, BS_PUSHBUTTON},
        {kForward, ">", 32, BS_PUSHBUTTON},         {kTrimStart, "Trim &Start", 84, BS_PUSHBUTTON},
        {kTrimEnd, "Trim &End", 84, BS_PUSHBUTTON}, {kSave, "&Save...", 80, BS_DEFPUSHBUTTON},
        {kClose, "&Close", 72, BS_PUSHBUTTON}};
    int x = kMargin;
    for (const auto& b : buttons) {
        // Save and Close stand at the right.
        if (b.id == kSave) x = clientWidth - kMargin - 80 - 6 - 72;
        HWND button =
            child("BUTTON", b.text, b.id, x, y, b.width, kButtonHeight, WS_TABSTOP | b.style);
        if (b.id == kPlay) play_ = button;
        x += b.width + 6;
    }
    y += kButtonHeight + kMargin;
    info_ = child("STATIC", "", kInfo, kMargin, y, clientWidth - 2 * kMargin, kInfoHeight,
                  SS_LEFT | SS_NOPREFIX);
    Show(0);
    ::ShowWindow(window_, SW_SHOW);
    ::SetForegroundWindow(window_);
    ::SetFocus(slider_);
}

void Preview::Show(int frame) {
    frame = std::clamp(frame, 0, frames_.Count() - 1);
    if (frame != current_) {
        const glimra::PixelView view{pixels_.data(), frames_.Width(), frames_.Height(),
                                     std::ptrdiff_t(frames_.Width()) * 4, 4};
        readFailed_ = !frames_.Read(frame, view);
        if (readFailed_) std::fill(pixels_.begin(), pixels_.end(), std::uint8_t(0));
        current_ = frame;
        ::InvalidateRect(window_, &picture_, FALSE);
    }
    ::SendMessageA(slider_, TBM_SETPOS, TRUE, current_);
    Update();
}

// The slider's kept part and the line of text under the buttons.
void Preview::Update() {
    ::SendMessageA(slider_, TBM_SETSEL, TRUE, MAKELPARAM(first_, last_));
    const std::int64_t kept = KeptEnd() - frames_.Time(first_);
    char text[256];
    std::snprintf(
        text, sizeof text, "Frame %d of %d at %s.  Kept: frames %d to %d, %s.%s%s", current_ + 1,
        frames_.Count(), RecordingClock(frames_.Time(current_)).c_str(), first_ + 1, last_ + 1,
        RecordingClock(kept).c_str(),
        readFailed_ ? "  This frame could not be read back from the recording's file." : "",
        saved_ ? "  Saved." : "");
    ::SetWindowTextA(info_, text);
}

void Preview::Play() {
    if (current_ >= last_ || current_ < first_) Show(first_);
    playing_ = true;
    playedFrom_ = frames_.Time(current_);
    playedAt_ = Now();
    ::SetWindowTextA(play_, "&Pause");
    ::SetTimer(window_, kPlayTimer, 10, nullptr);
}

void Preview::Stop() {
    if (!playing_) return;
    playing_ = false;
    ::KillTimer(window_, kPlayTimer);
    ::SetWindowTextA(play_, "&Play");
}

// Playing: the frame whose time has come, in the recording's own timing, up to
// the end of the kept part.
void Preview::Tick() {
    const std::int64_t at = playedFrom_ + (Now() - playedAt_);
    int frame = current_;
    while (frame < last_ && frames_.Time(frame + 1) <= at)
        ++frame;
    Show(frame);
    if (at >= KeptEnd()) Stop();
}

void Preview::Save() {
    Stop();
    const std::optional<std::string> said =
        SaveRecording(window_, frames_, first_, last_, KeptEnd(), folder_, name_);
    if (!said) return;
    saved_ = everSaved_ = true;
    said_ = *said;
    Update();
}

void Preview::Close() {
    Stop();
    if (!saved_ &&
        ::MessageBoxA(window_, "The recording is not saved. Close it and drop the recording?",
                      "Record Screen", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    if (!everSaved_) said_ = "The recording was dropped.";
    done_ = true;
}

void Preview::Command(int id) {
    switch (id) {
        case kPlay:
            return playing_ ? Stop() : Play();
        case kBack:
            Stop();
            return Show(current_ - 1);
        case kForward:
            Stop();
            return Show(current_ + 1);
        case kTrimStart:
            // The kept part starts at the frame shown, and still holds it.
            first_ = current_;
            last_ = std::max(last_, first_);
            saved_ = false;
            return Update();
        case kTrimEnd:
            last_ = current_;
            first_ = std::min(first_, last_);
            saved_ = false;
            return Update();
        case kSave:
        case IDOK:
            return Save();
        case kClose:
        case IDCANCEL:
            return Close();
    }
}

void Preview::Paint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window_, &paint);
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), frames_.Width(), -frames_.Height(), 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    ::SetStretchBltMode(dc, HALFTONE);
    ::SetBrushOrgEx(dc, 0, 0, nullptr);
    ::StretchDIBits(dc, picture_.left, picture_.top, picture_.right - picture_.left,
                    picture_.bottom - picture_.top, 0, 0, frames_.Width(), frames_.Height(),
                    pixels_.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    ::EndPaint(window_, &paint);
}

LRESULT Preview::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_TIMER:
            if (wParam == kPlayTimer) Tick();
            return 0;
        case WM_HSCROLL:
            // The slider moved by the mouse or its keys: Left, Right, Page Up and
            // Down, Home, End.
            if (HWND(lParam) == slider_ && LOWORD(wParam) != TB_ENDTRACK) {
                Stop();
                Show(int(::SendMessageA(slider_, TBM_GETPOS, 0, 0)));
            }
            return 0;
        case WM_COMMAND:
            Command(LOWORD(wParam));
            return 0;
        case WM_CLOSE:
            Close();
            return 0;
    }
    return ::DefWindowProcA(window_, message, wParam, lParam);
}

PreviewResult Preview::Run() {
    Create();
    MSG msg;
    while (!done_) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: the quit is left for the main loop.
            if (got == 0) ::PostQuitMessage(int(msg.wParam));
            break;
        }
        // Space plays and pauses, unless a button has the focus (there it presses it).
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_SPACE && ::GetFocus() == slider_) {
            Command(kPlay);
            continue;
        }
        if (::IsDialogMessageA(window_, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    Stop();
    ::DestroyWindow(window_);
    return {everSaved_, said_};
}

}  // namespace

PreviewResult PreviewRecording(RecordingFrames& frames, std::int64_t end, const std::string& folder,
                               const std::string& name) {
    Preview preview(frames, end, folder, name);
    return preview.Run();
}
