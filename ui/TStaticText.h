// A text in a window of its own (the system's STATIC class): one line sized to
// its text while AutoSize holds, wrapped inside a fixed box otherwise.
#pragma once

#include "ui/TWinControl.h"
#include "ui/TextLayout.h"
#include "win/handles.h"

namespace ui {

enum class TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };

class TStaticText : public TWinControl {
  public:
    explicit TStaticText(TComponent* owner);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    TStaticBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TStaticBorderStyle style);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool show);
    // The text stands on what its parent shows there (a picture, say) instead of
    // on its colour.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);

    void SetCaption(const std::string& caption) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  protected:
    void CreateParams(TCreateParams& params) override;
    void FontChanged() override;

  private:
    DWORD Style() const;
    void StyleChanged();
    void AdjustBounds();

    bool autoSize_ = true, showAccelChar_ = true, transparent_ = false;
    TStaticBorderStyle borderStyle_ = TStaticBorderStyle::sbsNone;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    win::Brush background_;
    TColor backgroundColour_ = clNone;  // the colour `background_` was made for
};

}  // namespace ui
