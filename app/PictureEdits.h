// The edit commands on the current picture of an image view: Grayscale, Brighten,
// Darken, Invert, Clear, the rotations and the flips. Each brings the picture into the
// layout its pixel work needs (24 bits per pixel, or 32 for Grayscale) and leaves it
// there; an empty view is left as it is. Errors are exceptions, except for Invert,
// which reports its own.
#pragma once

#include <string>

#include "ui/Graphics.h"
#include "ui/TImage.h"
#include "ui/TToolButton.h"

void GrayscalePicture(ui::TImage& view);
// Brighten (kBrightenStep) and Darken (kDarkenStep).
void StepPictureBrightness(ui::TImage& view, int step);
// Inverts the picture from the top row down, the view repainting the finished rows at
// most about once per display frame. A failure shows "Cannot complete the operation";
// the rows inverted until then stay inverted.
void InvertPicture(ui::TImage& view);
// The view holds no picture and is 0 x 0 afterwards.
void ClearPicture(ui::TImage& view);
// Turns the picture clockwise by `angle` radians about its centre (width div 2,
// height div 2) over white.
void RotatePicture(ui::TImage& view, long double angle);
void FlipPictureOver(ui::TImage& view, bool mirrorRows, bool mirrorPixels);

// Makes the drop-down button name and repeat the last rotate or flip command.
void SetRepeatCommand(ui::TToolButton& button, const std::string& caption, int imageIndex,
                      ui::TNotifyEvent action);
