#include "app/Brush.h"

#include "ui/TApplication.h"

void ShowBrushCursor(ui::TImage& view, bool brushDown) {
    view.SetCursor(ui::crDefault);
    if (!brushDown) return;
    ui::Application->SetCursors(kBrushCursor, ::LoadCursorA(ui::Application->Instance(), "PELE"));
    view.SetCursor(kBrushCursor);
}

void StartStroke(ui::TImage& view, int x, int y) {
    view.Bitmap().Canvas().MoveTo(x, y);
}

void DrawStroke(ui::TImage& view, int diameter, ui::TColor colour, int x, int y) {
    ui::TCanvas& canvas = view.Bitmap().Canvas();
    canvas.SetPenWidth(diameter);
    canvas.SetPenColor(colour);
    canvas.LineTo(x, y);
    view.Invalidate();
}

void ChooseCustomColour(ui::TColorDialog& dialog, HWND owner, ui::TColor& colour) {
    if (dialog.Execute(owner)) colour = dialog.Color();
}
