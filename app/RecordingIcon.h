// The notification area's icon while a recording runs.
#pragma once

#include <windows.h>

// A copy of `icon` with a red dot in its lower right corner, the sign that the
// screen is being recorded; null where the icon cannot be read.
HICON RecordingIcon(HICON icon);
