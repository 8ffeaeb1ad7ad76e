// Text drawn by the editor's tools with the system's fonts, smoothed, on a
// transparent background: the same calls draw the preview on the screen and
// the result into the picture.
#pragma once

#include <windows.h>

#include <string>

#include "app/editor/ToolSettings.h"
#include "win/handles.h"

// The font at its size in points on a picture of 96 pixels per inch.
win::Font CreateToolFont(const ToolFont& font);
// The font for a height in pixels, bold.
win::Font CreateBoldFont(const std::string& face, int pixelHeight);
// The box that the lines of `text` (separated by '\n') take with the font, its
// top-left corner at `at`.
RECT TextBox(HDC dc, HFONT font, const std::string& text, POINT at);
// Draws the text into `box` (from TextBox) in the colour; `flags` are DrawText's.
void DrawToolText(HDC dc, HFONT font, const std::string& text, RECT box, COLORREF colour,
                  UINT flags = DT_LEFT | DT_TOP | DT_NOPREFIX);
