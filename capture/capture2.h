// The selection overlay: the frozen screen, and a rubber band while the left
// button is held. Any button release ends it with OK; Escape cancels. The
// selection is cut from the frozen image (FrozenPart of SelRect).
#pragma once

#include <windows.h>

#include "capture/ScreenOverlay.h"

class TCaptureForm : public TScreenOverlay {
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

  protected:
    const char* LayoutName() const override { return "TCaptureForm"; }

  private:
    // The rubber band, drawn by exclusive-or: drawing it twice removes it.
    void DrawBand();
};
