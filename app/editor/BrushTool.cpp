#include "app/editor/BrushTool.h"

#include <algorithm>
#include <utility>

#include "app/CurrentPicture.h"
#include "app/History.h"
#include "ui/TApplication.h"
#include "ui/TColorDialog.h"
#include "ui/TForm.h"
#include "ui/TImage.h"
#include "ui/TMenuItem.h"

namespace {

// The brush colours of the image menu's items.
struct BrushColourItem {
    const char* item;
    ui::TColor colour;
};
constexpr BrushColourItem kBrushColours[] = {
    {"ImagePopBlack", RGB(0, 0, 0)},       {"ImagePopBlue", RGB(0, 0, 255)},
    {"ImagePopGreen", RGB(0, 128, 0)},     {"ImagePopRed", RGB(255, 0, 0)},
    {"ImagePopWhite", RGB(255, 255, 255)},
};

}  // namespace

void BrushTool::Chosen() {
    context_.image.SetCursor(ui::crDefault);
    ui::Application->SetCursors(kBrushCursor, ::LoadCursorA(ui::Application->Instance(), "PELE"));
    ShowCursor();
}

void BrushTool::Press(ui::TMouseButton, ui::TShiftState, int x, int y) {
    pen_ = {x, y};
    kept_ = 0;
    context_.picture.Bitmap().Canvas().MoveTo(x, y);
}

void BrushTool::Move(ui::TShiftState shift, int x, int y) {
    if (!(shift & ui::ssLeft)) return;
    if (!kept_) {
        kept_ = context_.history.KeepWhole();
        covered_ = {pen_.x, pen_.y, pen_.x, pen_.y};
    }
    // The pen reaches half its width past the line, and its round ends a pixel
    // further.
    const int reach = settings_.diameter / 2 + 2;
    covered_.left = std::min(covered_.left, std::min(LONG(x), pen_.x) - reach);
    covered_.top = std::min(covered_.top, std::min(LONG(y), pen_.y) - reach);
    covered_.right = std::max(covered_.right, std::max(LONG(x), pen_.x) + reach + 1);
    covered_.bottom = std::max(covered_.bottom, std::max(LONG(y), pen_.y) + reach + 1);
    pen_ = {x, y};
    context_.picture.Change([&](ui::TBitmap& bitmap) {
        ui::TCanvas& canvas = bitmap.Canvas();
        canvas.SetPenWidth(settings_.diameter);
        canvas.SetPenColor(settings_.colour);
        canvas.LineTo(x, y);
    });
}

void BrushTool::Release(ui::TMouseButton, ui::TShiftState, int, int) {
    context_.history.Confine(std::exchange(kept_, 0), covered_);
}

NamedHandlers BrushMenuHandlers(ui::TForm& form, BrushSettings& settings) {
    NamedHandlers handlers;
    const auto check = [&form](const std::string& item) {
        form.Get<ui::TMenuItem>(item.c_str()).SetChecked(true);
    };
    for (int diameter = 1; diameter <= 10; ++diameter) {
        const std::string item = "ImagePopD" + std::to_string(diameter);
        handlers.push_back({item + "Click", [&settings, check, item, diameter](ui::TObject*) {
                                settings.diameter = diameter;
                                check(item);
                            }});
    }
    for (const BrushColourItem& colour : kBrushColours)
        handlers.push_back(
            {std::string(colour.item) + "Click", [&settings, check, colour](ui::TObject*) {
                 settings.colour = colour.colour;
                 check(colour.item);
             }});
    return handlers;
}

void ChooseCustomColour(ui::TForm& form, BrushSettings& settings) {
    ui::TColorDialog& dialog = form.Get<ui::TColorDialog>("ColorDialog1");
    if (dialog.Execute(form.Handle())) settings.colour = dialog.Color();
    form.Get<ui::TMenuItem>("ImagePopCustom").SetChecked(true);
}
