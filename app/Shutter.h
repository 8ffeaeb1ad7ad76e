// The shutter sound of the desktop and active-window captures.
#pragma once

#include <windows.h>

// Plays the "CAMERA" sound to its end. Where the sound cannot play or returns
// early (no audio device), it waits until the sound's length has passed since
// `hiddenAt` (a GetTickCount time) all the same, so that a window hidden then has
// left the screen before the grab.
void PlayShutter(DWORD hiddenAt);

// What is left of the sound's `length` at tick count `now` when the window was
// hidden at `hiddenAt`: 0 once it has passed. The tick count may wrap between
// the two.
DWORD ShutterWaitLeft(DWORD hiddenAt, DWORD now, DWORD length);

// The sound's length in milliseconds, from its WAVE data among the resources of
// `module` (the program's, or the program file loaded as data); 0 without it.
DWORD ShutterMilliseconds(HMODULE module);
