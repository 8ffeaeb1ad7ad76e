#include "capture/capture3.h"

#include "ui/TApplication.h"

TCaptureControl::TCaptureControl(ui::TComponent* owner) : TScreenOverlay(owner) {
    Handler("FormCreate", &TCaptureControl::FormCreate);
    Handler("FormActivate", &TCaptureControl::FormActivate);
    Handler("FormMouseUp", &TCaptureControl::FormMouseUp);
    Handler("FormPaint", &TCaptureControl::FormPaint);
    Handler("FormDestroy", &TCaptureControl::FormDestroy);
}

void TCaptureControl::InstallHand() {
    ui::Application->SetCursors(kHandCursor, ::LoadCursorA(ui::Application->Instance(), "ranka"));
    SetCursor(kHandCursor);
}

void TCaptureControl::FormCreate(ui::TObject*) {
    InstallHand();
    FreezeScreen();
}

void TCaptureControl::FormActivate(ui::TObject*) {
    InstallHand();
}

void TCaptureControl::FormMouseUp(ui::TObject*, ui::TMouseButton, ui::TShiftState, int, int) {
    SetModalResult(ui::mrOk);
}

void TCaptureControl::FormPaint(ui::TObject*) {
    PaintScreenImage();
}

void TCaptureControl::FormDestroy(ui::TObject*) {
    ScreenImage.reset();
    ui::Application->SetScreenCursor(ui::crDefault);
}
