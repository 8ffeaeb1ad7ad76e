// The window that shows the text read from a picture: in an edit box where it can
// be corrected, with "Copy" to put it on the clipboard again and "Close". One
// such window at a time; a new reading replaces its text.
#pragma once

#include <windows.h>

#include <string>

// Shows `text` (lines separated by "\r\n") with `heading` above it, in front.
void ShowTextResult(const std::wstring& text, const std::string& heading);
// The result window, while it is open.
HWND TextResultWindow();
