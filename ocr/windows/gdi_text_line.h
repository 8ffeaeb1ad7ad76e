// A line of text as the pipeline hands it to an engine, drawn by GDI for the
// tests and timers of the engines: Tahoma dark on white with the system's font
// smoothing, then scaled up by interpolation.
#pragma once

#include "ocr/engine.h"

namespace glimra::ocr {

// `text` in Tahoma `pixels` high (a negative CreateFont height), `margin`
// pixels of white around it, then scaled `scale` times bilinearly.
GrayImage GdiTextLine(const char* text, int pixels, int margin, int scale);

}  // namespace glimra::ocr
