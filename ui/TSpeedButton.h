// A tool button painted by its parent: a glyph from a strip of images (normal,
// disabled, pressed, down), flat until the mouse is over it, and, with a
// GroupIndex, a button that stays down until clicked again (AllowAllUp) or until
// another button of its group goes down.
#pragma once

#include <string>

#include "ui/TControl.h"
#include "ui/TPicture.h"

namespace ui {

class TSpeedButton : public TGraphicControl {
  public:
    explicit TSpeedButton(TComponent* owner);

    // Reads the glyph strip, a picture resource of the program.
    void LoadGlyph(const std::string& resourceName);
    TPicture& Glyph() { return glyph_; }
    // How many images the strip holds side by side (1 to 4).
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int count);
    bool Flat() const { return flat_; }
    void SetFlat(bool flat);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index) { groupIndex_ = index; }
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool allow) { allowAllUp_ = allow; }
    // Held down (only a button with a GroupIndex stays down).
    bool Down() const { return down_; }
    void SetDown(bool down);

    // The look of the moment, for whoever needs to tell.
    bool MouseInControl() const { return hot_; }
    bool Pressed() const { return pressed_ && pressInside_; }

    void SetEnabled(bool enabled) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void Paint(HDC dc) override;

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  private:
    // The strip's image for the present state: 0 up, 1 disabled, 2 pressed, 3 down.
    int ImageIndex() const;

    TPicture glyph_;
    TPicture greyGlyph_;  // made from image 0 when the strip has no disabled image
    int numGlyphs_ = 1;
    bool flat_ = false, allowAllUp_ = false, down_ = false;
    int groupIndex_ = 0;
    bool hot_ = false, pressed_ = false, pressInside_ = false;
};

}  // namespace ui
