// The window/control picker: a borderless, top-most window over the whole primary
// display that shows the screen frozen as it was, under a pointing hand. The first
// release of any mouse button ends it with OK; Escape cancels.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/TBitmap.h"
#include "ui/TForm.h"

class TCaptureControl : public ui::TForm {
  public:
    explicit TCaptureControl(ui::TComponent* owner);

    void FormCreate(ui::TObject* Sender);
    void FormActivate(ui::TObject* Sender);
    void FormMouseUp(ui::TObject* Sender, ui::TMouseButton Button, ui::TShiftState Shift, int X,
                     int Y);
    void FormPaint(ui::TObject* Sender);
    void FormDestroy(ui::TObject* Sender);

    std::unique_ptr<ui::TBitmap> ScreenImage;

    // The hand's number in the application's cursor table.
    static constexpr int kHandCursor = -18;

  protected:
    const char* LayoutName() const override { return "TCaptureControl"; }
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Stays on screen while the main window is minimised.
    HWND OwnerWindow() override { return nullptr; }

  private:
    void InstallHand();
};
