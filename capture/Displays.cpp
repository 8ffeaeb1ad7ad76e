#include "capture/Displays.h"

#include <shellscalingapi.h>

#include <algorithm>

#include "win/SystemFunction.h"
#include "win/handles.h"

namespace {

// The declarations of functions newer than the systems the program is built
// for (Windows 7), which the headers leave out.
using SetThreadDpiAwarenessContextFunction = DPI_AWARENESS_CONTEXT WINAPI(DPI_AWARENESS_CONTEXT);
using GetDpiForMonitorFunction = HRESULT WINAPI(HMONITOR, MONITOR_DPI_TYPE, UINT*, UINT*);

// SetThreadDpiAwarenessContext, from Windows 10 version 1607 on.
SetThreadDpiAwarenessContextFunction* SetThreadAwareness() {
    static const auto set = win::OptionalSystemFunction<SetThreadDpiAwarenessContextFunction>(
        "user32.dll", "SetThreadDpiAwarenessContext");
    return set;
}

UINT SystemDpi() {
    win::WindowDC screen = win::WindowDC::Of(nullptr);
    const int dpi = ::GetDeviceCaps(screen.Get(), LOGPIXELSX);
    return dpi > 0 ? UINT(dpi) : 96;
}

// The display's effective dots per inch (GetDpiForMonitor of shcore, from
// Windows 8.1 on), else the system's.
UINT DpiOf(HMONITOR monitor) {
    static const auto get =
        win::OptionalSystemFunction<GetDpiForMonitorFunction>("shcore.dll", "GetDpiForMonitor");
    UINT x = 0, y = 0;
    if (get && get(monitor, MDT_EFFECTIVE_DPI, &x, &y) == S_OK && x > 0) return x;
    return SystemDpi();
}

Display Describe(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!monitor || !::GetMonitorInfoA(monitor, &info))
        return {{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)},
                SystemDpi()};
    return {info.rcMonitor, DpiOf(monitor)};
}

BOOL CALLBACK Collect(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto& list = *reinterpret_cast<std::vector<std::pair<Display, bool>>*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    const bool primary = ::GetMonitorInfoA(monitor, &info) && (info.dwFlags & MONITORINFOF_PRIMARY);
    list.push_back({Describe(monitor), primary});
    return TRUE;
}

}  // namespace

PhysicalPixels::PhysicalPixels() {
    auto set = SetThreadAwareness();
    if (!set) return;
    previous_ = set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    // Version 2 came with Windows 10 version 1703; 1607 knows only version 1.
    if (!previous_) previous_ = set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
}

PhysicalPixels::~PhysicalPixels() {
    if (previous_) SetThreadAwareness()(previous_);
}

RECT VirtualScreen() {
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN),
              top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
            top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

std::vector<Display> Displays() {
    std::vector<std::pair<Display, bool>> found;
    ::EnumDisplayMonitors(nullptr, nullptr, Collect, reinterpret_cast<LPARAM>(&found));
    std::stable_partition(found.begin(), found.end(), [](const auto& d) { return d.second; });
    std::vector<Display> displays;
    for (const auto& [display, primary] : found)
        displays.push_back(display);
    if (displays.empty()) displays.push_back(Describe(nullptr));
    return displays;
}

Display DisplayAt(POINT screenPoint) {
    return Describe(::MonitorFromPoint(screenPoint, MONITOR_DEFAULTTONEAREST));
}

namespace {

// What the screen rectangle of a picture leaves when the displays are taken
// away, in the picture's coordinates.
struct Uncovered {
    RECT shown;
    HRGN rest, one;
    int kind;
};

BOOL CALLBACK TakeAway(HMONITOR, HDC, LPRECT monitor, LPARAM data) {
    auto& u = *reinterpret_cast<Uncovered*>(data);
    ::SetRectRgn(u.one, monitor->left - u.shown.left, monitor->top - u.shown.top,
                 monitor->right - u.shown.left, monitor->bottom - u.shown.top);
    u.kind = ::CombineRgn(u.rest, u.rest, u.one, RGN_DIFF);
    return u.kind != NULLREGION && u.kind != ERROR;
}

}  // namespace

void BlackenBeyondDisplays(HDC dc, const RECT& shown) {
    // The picture's rectangle less every display's (EnumDisplayMonitors gives
    // each display's rectangle in screen pixels when no drawing context is named).
    win::GdiObject rest(::CreateRectRgn(0, 0, shown.right - shown.left, shown.bottom - shown.top));
    win::GdiObject one(::CreateRectRgn(0, 0, 0, 0));
    if (!rest || !one) return;
    Uncovered u{shown, static_cast<HRGN>(rest.Get()), static_cast<HRGN>(one.Get()), SIMPLEREGION};
    ::EnumDisplayMonitors(nullptr, nullptr, TakeAway, reinterpret_cast<LPARAM>(&u));
    if (u.kind == NULLREGION || u.kind == ERROR) return;
    ::FillRgn(dc, u.rest, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}
