// Brush painting: freehand lines from mouse position to mouse position, drawn
// with the platform's pen into the picture, in the brush's diameter and colour.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/NamedHandlers.h"
#include "app/editor/Tool.h"
#include "ui/Graphics.h"

namespace ui {
class TColorDialog;
class TForm;
}  // namespace ui

// The brush's diameter (0 draws one pixel wide, as 1 does) and colour, kept by
// the main window for the whole run.
struct BrushSettings {
    int diameter = 0;
    ui::TColor colour = ui::clBlack;
};

class BrushTool : public Tool {
  public:
    // The cursor slot of the brush (the cursor "pele").
    static constexpr int kBrushCursor = 5;

    BrushTool(ToolContext& context, const BrushSettings& settings)
        : Tool(context), settings_(settings) {}
    // Chosen: the arrow, then the brush cursor, loaded into its slot.
    void Chosen() override;
    // Any button moves the pen to (x, y); nothing is drawn.
    void Press(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
    // With the left button held: a line from the pen position to (x, y), which
    // becomes the pen position. A one-pixel line stops short of its end point, as
    // LineTo draws it. The view shows it at once.
    void Move(ui::TShiftState shift, int x, int y) override;
    // The stroke, press to release, is one step: it keeps the pixels it covered.
    void Release(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;

  protected:
    int Cursor() const override { return kBrushCursor; }

  private:
    const BrushSettings& settings_;
    POINT pen_{};
    std::uint64_t kept_ = 0;  // the step that keeps the picture before the stroke
    RECT covered_{};          // the picture pixels the stroke may have painted
};

// The handlers of the image menu's diameter and colour items (ImagePopD1Click to
// ImagePopD10Click, ImagePopBlackClick to ImagePopWhiteClick): choosing an item sets the diameter
// or colour and checks the item in its group.
NamedHandlers BrushMenuHandlers(ui::TForm& form, BrushSettings& settings);
// "Custom..": shows the colour dialog, which opens with the colour it returned
// last; a confirmed colour replaces the brush's, a cancel keeps it, and the item
// is checked either way.
void ChooseCustomColour(ui::TForm& form, BrushSettings& settings);
