// Where the main window's painted controls stand on the screen. The edit tool
// buttons and the image view have no window of their own that another program
// could find, so their places follow from the main window's client origin and
// its layout (resources/layouts/TMAIN.layout), at 96 dpi.
#pragma once

#include <windows.h>

namespace glimra::test {

// The tool buttons of the image-edit tool bar, from the left.
enum class EditButton { Copy, Grayscale, Brighten, Darken, Invert, Rotate };

POINT CentreOf(HWND main, EditButton button);
// The speed button of the main tool bar whose left edge is at `left` (0, 71, ...).
POINT CentreOfSpeedButton(HWND main, int left);
// A point of the picture in the image view (not scrolled), in screen pixels.
POINT PicturePoint(HWND main, int x, int y);
// The menu bar and the status bar, in screen pixels.
RECT MenuBarRect(HWND main);
RECT StatusBarRect(HWND main);

}  // namespace glimra::test
