#include "capture/capture2.h"

#include <algorithm>

#include "ui/handles.h"

std::unique_ptr<ui::TBitmap> FreezeScreen(ui::TForm& overlay) {
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    auto image = std::make_unique<ui::TBitmap>();
    image->Recreate(image->PixelFormat(), width, height);
    {
        ui::WindowDC screen = ui::WindowDC::Of(nullptr);
        ::BitBlt(image->Canvas().Handle(), 0, 0, width, height, screen.Get(), 0, 0, SRCCOPY);
    }
    overlay.SetBounds(0, 0, width, height);
    return image;
}

void PaintFrozen(ui::TForm& overlay, ui::TBitmap* image) {
    if (!image || !overlay.PaintDC()) return;
    ::BitBlt(overlay.PaintDC(), 0, 0, image->Width(), image->Height(), image->Canvas().Handle(), 0,
             0, SRCCOPY);
}

bool OverlayMessage(UINT message, WPARAM wParam, ui::TForm& overlay, LRESULT& result) {
    if (message == WM_ERASEBKGND) {
        result = 1;  // the background counts as erased: the frozen picture covers it
        return true;
    }
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        overlay.SetModalResult(ui::mrCancel);
        result = 0;
        return true;
    }
    return false;
}

TCaptureForm::TCaptureForm(ui::TComponent* owner) : ui::TForm(owner) {
    Handler("FormCreate", &TCaptureForm::FormCreate);
    Handler("FormMouseDown", &TCaptureForm::FormMouseDown);
    Handler("FormMouseMove", &TCaptureForm::FormMouseMove);
    Handler("FormMouseUp", &TCaptureForm::FormMouseUp);
    Handler("FormPaint", &TCaptureForm::FormPaint);
    Handler("FormDestroy", &TCaptureForm::FormDestroy);
}

void TCaptureForm::FormCreate(ui::TObject*) {
    ScreenImage = FreezeScreen(*this);
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
    PaintFrozen(*this, ScreenImage.get());
    if (Selecting) DrawBand();
}

void TCaptureForm::FormDestroy(ui::TObject*) {
    ScreenImage.reset();
}

bool TCaptureForm::HandleMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    return OverlayMessage(message, wParam, *this, result);
}
