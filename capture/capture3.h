// The window/control picker: the frozen screen under a pointing hand. The first
// release of any mouse button ends it with OK; Escape cancels. The window picked
// is cut from the frozen image (FrozenPart of its outer rectangle).
#pragma once

#include <windows.h>

#include "capture/ScreenOverlay.h"

class TCaptureControl : public TScreenOverlay {
  public:
    explicit TCaptureControl(ui::TComponent* owner);

    void FormCreate(ui::TObject* Sender);
    void FormActivate(ui::TObject* Sender);
    void FormMouseUp(ui::TObject* Sender, ui::TMouseButton Button, ui::TShiftState Shift, int X,
                     int Y);
    void FormPaint(ui::TObject* Sender);
    void FormDestroy(ui::TObject* Sender);

    // The hand's number in the application's cursor table.
    static constexpr int kHandCursor = -18;

  protected:
    const char* LayoutName() const override { return "TCaptureControl"; }

  private:
    void InstallHand();
};
