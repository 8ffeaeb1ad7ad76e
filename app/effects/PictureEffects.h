// The picture effects of the Edit menu and what each capture gets of them: the
// chosen values of each effect, the background colour that a file type or
// clipboard format without alpha gets under a picture with alpha, and which
// effects every capture gets. Kept in the registry (EffectBorder, EffectShadow,
// EffectTornEdge, EffectCorners, EffectBackground), written when they change.
#pragma once

#include <windows.h>

#include <string>

#include "imaging/effects.h"
#include "imaging/marks.h"
#include "output/save_type.h"
#include "ui/TBitmap.h"

class CurrentPicture;

enum class Effect { Border, Shadow, TornEdge, RoundedCorners };
inline constexpr Effect kEffects[] = {Effect::Border, Effect::RoundedCorners, Effect::TornEdge,
                                      Effect::Shadow};

struct EffectChoices {
    // The border takes the tools' colour and line width.
    glimra::Colour borderColour{255, 0, 0};
    int borderWidth = 3;
    glimra::ShadowSettings shadow;
    unsigned tornSides = glimra::kTornBottom;
    int tornDepth = 12;
    int cornerRadius = 12;
    glimra::ColourRef background = 0xFFFFFF;
    // Every capture gets the effect, in the order of kEffects.
    bool everyCapture[4] = {};

    bool& Every(Effect effect) { return everyCapture[int(effect)]; }
    bool Every(Effect effect) const { return everyCapture[int(effect)]; }

    // The stored choices, each falling back to its default.
    static EffectChoices Load();
    // Stores the values of `effect` and the background.
    void Store(Effect effect) const;
};

// Between the tools' colours and the COLORREF layout of the effects.
glimra::ColourRef ColourRefOf(glimra::Colour colour);
glimra::Colour ColourOf(glimra::ColourRef colour);

// The effect on `source` into `result`: 32 bits per pixel, with alpha where the
// result has transparent parts. Throws std::runtime_error where the values do not
// fit.
void MakeEffect(Effect effect, const EffectChoices& choices, ui::TBitmap& source,
                ui::TBitmap& result);
// The same in place: `picture` becomes the result.
void ApplyEffect(Effect effect, const EffectChoices& choices, ui::TBitmap& picture);
// Every effect chosen for every capture, in turn.
void ApplyCaptureEffects(const EffectChoices& choices, ui::TBitmap& picture);

// The current picture out of the program, as Save As, Print, Copy and every
// capture's own save and copy hand it over: a picture with alpha keeps it in PNG
// files and the clipboard formats that have alpha, and is laid over the stored
// background for the others; any other picture goes as it always went.
void SaveCurrentPicture(CurrentPicture& picture, const std::string& path, glimra::SaveType type);
void CopyCurrentPicture(HWND owner, CurrentPicture& picture);
// The pixels in 24 bits per pixel for a printed page: those of a picture with
// alpha laid over the background in `flat`, else the picture's own (View24).
glimra::PixelView OpaquePixels(CurrentPicture& picture, ui::TBitmap& flat);
