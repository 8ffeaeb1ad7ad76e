// A text on its parent, painted by the parent: one line or wrapped, aligned in
// its box, sized to its text while AutoSize holds.
#pragma once

#include "ui/TControl.h"
#include "ui/TextLayout.h"

namespace ui {

class TLabel : public TGraphicControl {
  public:
    explicit TLabel(TComponent* owner);

    // The label takes the size of its caption (with WordWrap: only its height),
    // also when the caption or the font changes later.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    // The parent shows through; otherwise the label fills its box with its colour.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout layout);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wordWrap);
    // '&' marks the next letter (underlined) instead of standing for itself.
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool show);

    void SetCaption(const std::string& caption) override;
    void Paint(HDC dc) override;

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  protected:
    void FontChanged() override;

  private:
    UINT TextFlags() const;
    // The size the caption takes with the label's font and flags.
    SIZE TextSize(int wrapWidth) const;
    void AdjustBounds();

    bool autoSize_ = true, transparent_ = false, wordWrap_ = false, showAccelChar_ = true;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TTextLayout layout_ = TTextLayout::tlTop;
};

}  // namespace ui
