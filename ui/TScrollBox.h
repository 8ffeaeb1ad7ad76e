// A scrolling area that holds other controls (the main window's image view):
// scroll bars appear when the children reach past the client area.
#pragma once

#include "ui/TPanel.h"
#include "ui/TScrollingWinControl.h"

namespace ui {

enum class TBorderStyle { bsNone, bsSingle };
// How the bevels around the area are drawn; with bkNone there are none, whatever
// BevelInner and BevelOuter say.
enum class TBevelKind { bkNone, bkTile, bkSoft, bkFlat };

class TScrollBox : public TScrollingWinControl {
  public:
    explicit TScrollBox(TComponent* owner);

    // bsSingle: a sunken edge around the area.
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    // Bevels between the border and the scroll bars: an outer and an inner one,
    // BevelWidth pixels each.
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut cut);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut cut);
    TBevelKind BevelKind() const { return bevelKind_; }
    void SetBevelKind(TBevelKind kind);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);

    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  protected:
    void CreateParams(TCreateParams& params) override;

  private:
    // The width of the bevels on each side.
    int BevelSize() const;
    void FrameChanged();
    void PaintBevels();

    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    TBevelCut bevelInner_ = TBevelCut::bvRaised, bevelOuter_ = TBevelCut::bvLowered;
    TBevelKind bevelKind_ = TBevelKind::bkNone;
    int bevelWidth_ = 1;
};

}  // namespace ui
