// Where the displays are and how dense they are, as the capture code needs it:
// the virtual screen (the rectangle around all displays), each display's
// rectangle, the display under a point with its dots per inch, and a scope in
// which the calling thread sees every coordinate in physical pixels.
#pragma once

#include <windows.h>

#include <vector>

// While one stands, the calling thread is per-monitor DPI aware (version 2 where
// the system has it, else version 1), so that pointer positions, window
// rectangles, screen metrics and the screen's drawing context are all physical
// pixels of one screen, whatever the scale of each display. The thread's earlier
// awareness comes back when it goes; scopes nest. Windows made while one stands
// are per-monitor aware for their whole life, and the system switches to that
// awareness whenever it calls their window procedure ("Mixed-Mode DPI Scaling
// and DPI-aware APIs", learn.microsoft.com/windows/win32/hidpi). Where the
// system has no awareness per thread (before Windows 10 version 1607), the
// process's own holds: the manifest's dpiAware makes it system aware, and those
// systems give all displays one scale.
class PhysicalPixels {
  public:
    PhysicalPixels();
    ~PhysicalPixels();
    PhysicalPixels(const PhysicalPixels&) = delete;
    PhysicalPixels& operator=(const PhysicalPixels&) = delete;

  private:
    DPI_AWARENESS_CONTEXT previous_ = nullptr;
};

// The virtual screen in screen pixels (right and bottom exclusive).
RECT VirtualScreen();

// One display: its rectangle in screen pixels and its dots per inch.
struct Display {
    RECT area;
    UINT dpi;
};

// Every display, the primary one first.
std::vector<Display> Displays();

// The display that the point lies on, or the one nearest to it.
Display DisplayAt(POINT screenPoint);

// Paints black every part of a picture that no display shows. The picture is
// drawn in `dc` at (0, 0) and shows the screen rectangle `shown`.
void BlackenBeyondDisplays(HDC dc, const RECT& shown);
