#include "capture/capture2.h"

#include <algorithm>

#include "ui/handles.h"

TCaptureForm::TCaptureForm(ui::TComponent* owner) : TScreenOverlay(owner) {
    Handler("FormCreate", &TCaptureForm::FormCreate);
    Handler("FormMouseDown", &TCaptureForm::FormMouseDown);
    Handler("FormMouseMove", &TCaptureForm::FormMouseMove);
    Handler("FormMouseUp", &TCaptureForm::FormMouseUp);
    Handler("FormPaint", &TCaptureForm::FormPaint);
    Handler("FormDestroy", &TCaptureForm::FormDestroy);
}

void TCaptureForm::FormCreate(ui::TObject*) {
    FreezeScreen();
}

void TCaptureForm::DrawBand() {
    // Drawn on a normalised copy, so that a band dragged up or to the left shows
    // too; the rectangle itself keeps its corners as dragged.
    RECT band{std::min(SelRect.left, SelRect.right), std::min(SelRect.top, SelRect.bottom),
              std::max(SelRect.left, SelRect.right), std::max(SelRect.top, SelRect.bottom)};
    ui::WindowDC dc = ui::WindowDC::Of(Handle());
    ::DrawFocusRect(dc.Get(), &band);
}

void TCaptureForm::FormMouseDown(ui::TObject*, ui::TMouseButton Button, ui::TShiftState, int X,
                                 int Y) {
    if (Button != ui::TMouseButton::mbLeft) return;
    Selecting = true;
    SelRect = {X, Y, X, Y};
    DrawBand();
}

void TCaptureForm::FormMouseMove(ui::TObject*, ui::TShiftState, int X, int Y) {
    if (!Selecting) return;
    DrawBand();
    SelRect.right = X;
    SelRect.bottom = Y;
    DrawBand();
}

void TCaptureForm::FormMouseUp(ui::TObject*, ui::TMouseButton, ui::TShiftState, int, int) {
    if (Selecting) {
        DrawBand();
        Selecting = false;
    }
    SetModalResult(ui::mrOk);
}

void TCaptureForm::FormPaint(ui::TObject*) {
    PaintScreenImage();
    if (Selecting) DrawBand();
}

void TCaptureForm::FormDestroy(ui::TObject*) {
    ScreenImage.reset();
}
