// The screen-made preparation: a screen's text is drawn in one colour on a
// background of one colour, its edges blended between the two (greyscale or
// subpixel smoothing). Each pixel's ink is its colour distance from the
// background, scaled so that the text's own colour is full ink: light text on
// dark becomes dark on light, and the coloured fringes of subpixel smoothing,
// whose channels darken by different amounts, become the neutral gray of their
// mean.
#pragma once

#include <cstdint>

#include "imaging/pixel_view.h"
#include "ocr/engine.h"

namespace glimra::ocr {

// A rectangle of pixels, left and top inclusive, right and bottom exclusive.
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
};

struct Colour {
    int blue = 0, green = 0, red = 0;
};

// The colour most pixels of `area` have (the mean of the most frequent colour
// class, so that a gradient's neighbouring shades count as one).
Colour BackgroundColour(const PixelView& picture, const Box& area);

// `area` of `picture` as ink (0) on paper (255). The text's colour is taken as
// the distance from `background` that the strongest tenth of clearly inked
// pixels reach; an area without ink comes back all paper. The coverage of a
// pixel (0 to 1) is raised to `gamma`: below 1, the blended edges of thin
// strokes (a comma's tail) come out darker.
GrayImage InkImage(const PixelView& picture, const Box& area, Colour background,
                   double gamma = 1.0);

// `area` of a screen of panels (windows, bars, a desktop) as ink on paper, for
// finding its lines: each pixel's ink is its distance from the nearest
// background of the tiles around it, so that every panel is paper of its own
// colour; runs of ink longer than a letter's strokes, the panels' frames and
// rules, are paper too.
GrayImage ScreenInkImage(const PixelView& picture, const Box& area);

}  // namespace glimra::ocr
