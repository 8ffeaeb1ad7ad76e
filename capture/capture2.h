// The selection overlay: a borderless, top-most window over the whole primary
// display that shows the screen frozen as it was, and a rubber band while the
// left button is held. Any button release ends it with OK; Escape cancels.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/TBitmap.h"
#include "ui/TForm.h"

class TCaptureForm : public ui::TForm {
  public:
    explicit TCaptureForm(ui::TComponent* owner);

    void FormCreate(ui::TObject* Sender);
    void FormMouseDown(ui::TObject* Sender, ui::TMouseButton Button, ui::TShiftState Shift, int X,
                       int Y);
    void FormMouseMove(ui::TObject* Sender, ui::TShiftState Shift, int X, int Y);
    void FormMouseUp(ui::TObject* Sender, ui::TMouseButton Button, ui::TShiftState Shift, int X,
                     int Y);
    void FormPaint(ui::TObject* Sender);
    void FormDestroy(ui::TObject* Sender);

    bool Selecting = false;
    RECT SelRect{0, 0, 0, 0};  // screen pixels; right and bottom exclusive
    std::unique_ptr<ui::TBitmap> ScreenImage;

  protected:
    const char* LayoutName() const override { return "TCaptureForm"; }
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Stays on screen while the main window is minimised.
    HWND OwnerWindow() override { return nullptr; }

  private:
    // The rubber band, drawn by exclusive-or: drawing it twice removes it.
    void DrawBand();
};

// The frozen picture of the whole primary display, and the overlay placed over it.
std::unique_ptr<ui::TBitmap> FreezeScreen(ui::TForm& overlay);
// Draws the frozen picture at (0, 0) in the overlay's paint.
void PaintFrozen(ui::TForm& overlay, ui::TBitmap* image);
// What both overlays answer themselves: WM_ERASEBKGND (the frozen picture covers
// the background, so nothing is cleared first) and Escape (cancel).
bool OverlayMessage(UINT message, WPARAM wParam, ui::TForm& overlay, LRESULT& result);
