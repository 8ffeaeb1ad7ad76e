// The selection overlay: the frozen screen, a rubber band while the left button
// is held, and a magnifier beside the pointer. Any button release ends it with
// OK; Escape cancels. The selection is cut from the frozen image (FrozenPart of
// SelRect), so neither band nor magnifier can enter it. Space held during the
// drag moves the band instead of stretching it.
//
// With Adjustable on, the release leaves the band standing with eight handles
// and its size beside it: a handle dragged resizes it (Shift keeps its ratio),
// the inside dragged moves it, arrow keys move it by 1 pixel (Shift: 10) and
// Ctrl with them moves its right or bottom edge, digits typed give its width,
// then after x or Tab its height, which Enter sets. Enter or a double click
// inside takes it.
#pragma once

#include <windows.h>

#include <optional>

#include <string>

#include "capture/ScreenOverlay.h"
#include "selection/selection_box.h"

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
    bool Adjustable = false;
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
    // The standing band: its box, a new one, and the parts to paint again.
    glimra::SelectionBox Box() const;
    void SetBox(const glimra::SelectionBox& box);
    void InvalidateAdjusting();
    // The size's box beside the band, in client pixels, and its text.
    RECT SizeBox() const;
    std::string SizeText() const;
    // The keys of the standing band; false for a key it does not use.
    bool AdjustByKey(WPARAM key);
    void Take();

    bool adjusting_ = false;  // the band stands, with its handles
    glimra::Grip grip_ = glimra::Grip::None;
    POINT dragFrom_{0, 0};              // where the handle's drag began
    glimra::SelectionBox dragStart_{};  // the box then
    POINT lastMove_{0, 0};              // the drag's last point, for Space
    std::string typed_;                 // a size being typed: "320" or "320x20"
    DWORD lastClick_ = 0;               // for the double click that takes the band

    // Where the magnifier looks, in screen pixels; none before the first move.
    std::optional<POINT> pointer_;
};
