// The delay before a capture: a small top-most window by the pointer counts the
// seconds down while the program goes on answering its messages. It is gone
// before the capture starts, so it is never in the picture.
#pragma once

#include <functional>

// Counts `seconds` down; true when the time ran out, false when `cancelled`
// (asked every few milliseconds) said so first.
bool RunCountdown(int seconds, const std::function<bool()>& cancelled);
