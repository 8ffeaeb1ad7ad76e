#include "app/Brush.h"

#include "ui/TApplication.h"

void ShowBrushCursor(ui::TImage& view, bool brushDown) {
    view.SetCursor(ui::crDefault);
    if (!brushDown) return;
    ui::Application->SetCursors(kBrushCursor, ::LoadCursorA(ui::Application->Instance(), "PELE"));
    view.SetCursor(kBrushCursor);
}

void StartStroke(CurrentPicture& picture, int x, int y) {
    picture.Bitmap().Canvas().MoveTo(x, y);
}

void DrawStroke(CurrentPicture& picture, int diameter, ui::TColor colour, int x, int y) {
    picture.Change([&](ui::TBitmap& bitmap) {
        ui::TCanvas& canvas = bitmap.Canvas();
        canvas.SetPenWidth(diameter);
        canvas.SetPenColor(colour);
        canvas.LineTo(x, y);
    });
}

void ChooseCustomColour(ui::TColorDialog& dialog, HWND owner, ui::TColor& colour) {
    if (dialog.Execute(owner)) colour = dialog.Color();
}
