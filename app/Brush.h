// Brush painting on the current picture: the brush cursor, the
// strokes drawn with the platform's pen, and the custom colour from the colour dialog.
#pragma once

#include "app/CurrentPicture.h"
#include "ui/Graphics.h"
#include "ui/TColorDialog.h"
#include "ui/TImage.h"

// The view's cursor for the brush being up (the arrow) or down (the cursor "pele",
// registered as cursor kBrushCursor).
constexpr int kBrushCursor = 5;
void ShowBrushCursor(ui::TImage& view, bool brushDown);

// The next stroke starts at (x, y) of the picture; nothing is drawn.
void StartStroke(CurrentPicture& picture, int x, int y);
// A line from the pen position to (x, y), which becomes the pen position, in the
// brush's diameter (0 draws one pixel wide, as 1 does) and colour; a one-pixel line
// stops short of its end point, as LineTo draws it. The view shows it at once.
void DrawStroke(CurrentPicture& picture, int diameter, ui::TColor colour, int x, int y);

// Shows the colour dialog, which opens with the colour it returned last; a confirmed
// colour replaces `colour`, a cancel keeps it.
void ChooseCustomColour(ui::TColorDialog& dialog, HWND owner, ui::TColor& colour);
