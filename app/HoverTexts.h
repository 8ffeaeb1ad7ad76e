// The status bar's text for the button under the mouse.
#pragma once

#include "app/NamedHandlers.h"

namespace ui {
class TForm;
}

// The handlers ButtonCaptureMouseEnter, ButtonCaptureMouseLeave and so on for
// every button with a hover text: entering
// shows the button's hint in the label `info` as it is then (a language file may
// have replaced it), leaving empties the label.
NamedHandlers HoverHandlers(ui::TForm& form);
