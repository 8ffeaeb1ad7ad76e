// The edit commands on the current picture: Grayscale, Brighten, Darken, Invert,
// the rotations and the flips. Each brings the picture into the
// layout its pixel work needs (24 bits per pixel, or 32 for Grayscale) and leaves it
// there; an empty picture is left as it is. Errors are exceptions, except for Invert,
// which reports its own.
#pragma once

#include <string>

#include "app/CurrentPicture.h"
#include "ui/Graphics.h"
#include "ui/TToolButton.h"

void GrayscalePicture(CurrentPicture& picture);
// Brighten (kBrightenStep) and Darken (kDarkenStep).
void StepPictureBrightness(CurrentPicture& picture, int step);
// Inverts the picture from the top row down, the view repainting the finished rows at
// most about once per display frame. A failure shows "Cannot complete the operation";
// the rows inverted until then stay inverted.
void InvertPicture(CurrentPicture& picture);
// Turns the picture clockwise by `quarters` quarter turns.
void RotatePicture(CurrentPicture& picture, int quarters);
void FlipPictureOver(CurrentPicture& picture, bool mirrorRows, bool mirrorPixels);

// Makes the drop-down button name and repeat the last rotate or flip command.
void SetRepeatCommand(ui::TToolButton& button, const std::string& caption, int imageIndex,
                      ui::TNotifyEvent action);
