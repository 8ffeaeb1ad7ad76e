// The dialogs of the settings around a capture: "Keys..." and "Save Every
// Capture...". Each shows the settings as they are, refuses what cannot work
// with the reason, and on OK stores the new ones at once.
#pragma once

#include <windows.h>

class CaptureOptions;
class HotKeys;

// True when OK stored new keys.
bool EditKeys(HWND owner, HotKeys& keys);
// True when OK stored new settings.
bool EditAutoSave(HWND owner, CaptureOptions& options);
