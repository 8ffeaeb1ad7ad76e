// The menu items of what is set up around a capture: the delay's and the
// recording rate's radio items, the checks of "Copy Every Capture", "Start at the
// current position" and "Record the Pointer", and each capture's key beside its
// items.
#pragma once

#include "app/NamedHandlers.h"

class CaptureOptions;
class HotKeys;
namespace ui {
class TForm;
}

// MenuDelay0Click, MenuDelay3Click and so on: the delay chosen and stored.
NamedHandlers DelayHandlers(ui::TForm& window, CaptureOptions& options);
// MenuRate5Click to MenuRate30Click, the recording's rate chosen and stored;
// MenuRecordPointerClick and MenuCapturePointerClick, which turn the pointer in
// a recording's frames and in the captures' pictures on or off, and
// MenuAdjustSelectionClick, the selection adjusted before it is taken.
NamedHandlers CaptureOptionHandlers(ui::TForm& window, CaptureOptions& options);
// "Copy Every Capture": on if it was off, and off if it was on.
void ToggleAutoCopy(ui::TForm& window, CaptureOptions& options);
// "Start at the current position" of the scrolling capture, likewise.
void ToggleScrollFromCurrent(ui::TForm& window, CaptureOptions& options);
// The check marks of the delay, the copy, the scrolling start, the recording
// rate, the two pointers and the adjusted selection as the options are.
void ShowCaptureOptions(ui::TForm& window, const CaptureOptions& options);
// The main menu's and the tray menu's item of each capture show its key; a key
// with Win is not one a menu can show.
void ShowCaptureKeys(ui::TForm& window, const HotKeys& keys);
