#include "capture/capture3.h"

#include "capture/capture2.h"
#include "ui/TApplication.h"

TCaptureControl::TCaptureControl(ui::TComponent* owner) : ui::TForm(owner) {
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
    ScreenImage = FreezeScreen(*this);
}

void TCaptureControl::FormActivate(ui::TObject*) {
    InstallHand();
}

void TCaptureControl::FormMouseUp(ui::TObject*, ui::TMouseButton, ui::TShiftState, int, int) {
    SetModalResult(ui::mrOk);
}

void TCaptureControl::FormPaint(ui::TObject*) {
    PaintFrozen(*this, ScreenImage.get());
}

void TCaptureControl::FormDestroy(ui::TObject*) {
    ScreenImage.reset();
    ui::Application->SetScreenCursor(ui::crDefault);
}

bool TCaptureControl::HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    return OverlayMessage(message, wParam, *this, result);
}
