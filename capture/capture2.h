// The selection overlay: the frozen screen, a rubber band while the left button
// is held, and a magnifier beside the pointer. Any button release ends it with
// OK; Escape cancels. The selection is cut from the frozen image (FrozenPart of
// SelRect), so neither band nor magnifier can enter it.
#pragma once

#include <windows.h>

#include <optional>

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
    RECT SelRect{0, 0, 0, 0};  // screen pixels, any sign; right and bottom exclusive

    // With PickKeys on (set before the overlay is shown), two keys pick instead
    // of a drag, and a line at the top says so: W the window under the pointer,
    // D the display under it. Picked says what ended the overlay, PickedAt where
    // the pointer was then (screen pixels).
    enum class Pick { Band, Window, Display };
    bool PickKeys = false;
    Pick Picked = Pick::Band;
    POINT PickedAt{0, 0};

  protected:
    const char* LayoutName() const override { return "TCaptureForm"; }
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    // The band as drawn: SelRect with its corners in order.
    RECT Band() const;
    // Marks the band's edges, or the magnifier, to be painted again.
    void InvalidateBand();
    void InvalidateMagnifier();
    // Where the line about the pick keys stands, in client pixels: at the top of
    // the primary display.
    RECT KeysLine() const;

    // Where the magnifier looks, in screen pixels; none before the first move.
    std::optional<POINT> pointer_;
};
