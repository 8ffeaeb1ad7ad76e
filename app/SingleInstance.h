// One copy of the program per Windows session: a second start hands over to the
// running copy, which shows its main window, and ends before it makes any window
// of its own, so that two copies never poll the same keys or write each other's
// counters over.
#pragma once

#include <windows.h>

// The message that asks the running copy's main window to show itself.
UINT ShowRunningCopyMessage();

// True when this is the only copy; the claim holds until the process ends.
// Otherwise asks the running copy to show its main window and returns false.
bool ClaimSingleInstance();
