// A panel: a window that holds other controls, with an outer and an inner bevel
// around a border, and a caption in its middle.
#pragma once

#include "ui/TWinControl.h"

namespace ui {

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TWinControl {
  public:
    explicit TPanel(TComponent* owner);

    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut cut);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut cut);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);
    // Space between the outer and the inner bevel.
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);
    // The panel takes the size of its visible children (and keeps its size when
    // none is visible).
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    // The panel shows its parent's colour instead of its own; giving it a colour
    // of its own ends this.
    bool ParentBackground() const { return parentBackground_; }
    void SetParentBackground(bool parentBackground);
    void SetColor(TColor colour) override;

    void Realign() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  protected:
    void CreateParams(TCreateParams& params) override;
    void AdjustClientRect(RECT& r) const override;
    void PaintWindow(HDC dc) override;

  private:
    // The width of the frame: bevels and border.
    int FrameWidth() const;
    void FrameChanged();

    TBevelCut bevelOuter_ = TBevelCut::bvRaised, bevelInner_ = TBevelCut::bvNone;
    int bevelWidth_ = 1, borderWidth_ = 0;
    bool autoSize_ = false, parentBackground_ = true, sizing_ = false;
};

// Draws a bevel of `width` lines just inside `r` and moves `r` inwards past it.
void DrawBevel(HDC dc, RECT& r, TBevelCut cut, int width);

}  // namespace ui
