// Balloon tooltips for a control: the platform's tooltip window in balloon style,
// one tool covering the control's client area. It reports nothing; when the
// tooltip window cannot be made there is simply no balloon.
#pragma once

#include <windows.h>

#include <string>

#include "ui/TWinControl.h"

// icon: 0 none, 1 information, 2 warning, 3 error (other values are taken modulo 4).
void ShowBalloonTip(ui::TWinControl& control, int icon, const std::string& title,
                    const std::wstring& text, COLORREF backColour, COLORREF textColour);

// The statistics balloon on the corner panel of the status bar.
void ShowStatisticsBalloon(ui::TWinControl& panel);
