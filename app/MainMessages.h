// The window messages that the main window answers itself: the end of the
// Windows session, files dropped on it, the system commands of minimising and
// of the menu key, and
// another start of the program asking this one to show itself; and the main
// window's showing itself again (TMAIN::ShowMainWindow).
#pragma once

#include <windows.h>

class TMAIN;

// True when the message was one of them and is handled, with its result.
bool HandleMainWindowMessage(TMAIN& main, UINT message, WPARAM wParam, LPARAM lParam,
                             LRESULT& result);
