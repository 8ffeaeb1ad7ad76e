// Visual controls: TControl holds what every control has (bounds, alignment,
// visibility, texts, colour, font, cursor, mouse events); light controls derived
// from TGraphicControl are painted by their parent window.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ui/Graphics.h"
#include "ui/TComponent.h"

namespace ui {

class TWinControl;
class TPopupMenu;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class TControl : public TComponent {
  public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    // Space kept free around an aligned control when AlignWithMargins holds.
    bool AlignWithMargins() const { return alignWithMargins_; }
    void SetAlignWithMargins(bool value);
    const RECT& Margins() const { return margins_; }
    void SetMargin(LONG RECT::*side, int pixels);
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    const std::string& Caption() const { return caption_; }
    virtual void SetCaption(const std::string& caption);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool show) { showHint_ = show; }

    // The colour in effect: the control's own, or its parent's while ParentColor holds.
    TColor Color() const;
    // Setting a colour of its own ends ParentColor.
    virtual void SetColor(TColor colour);
    bool ParentColor() const { return parentColour_; }
    void SetParentColor(bool parentColour);
    // The font in effect: the control's own, or its parent's while ParentFont holds.
    const TFontData& Font() const;
    void SetFont(const TFontData& font);
    bool ParentFont() const { return !font_; }
    void SetParentFont(bool parentFont);
    // The parent's font changed: follow it while ParentFont holds.
    void ParentFontChanged() {
        if (ParentFont()) FontChanged();
    }
    int Cursor() const { return cursor_; }
    void SetCursor(int cursor);
    // The menu that a right click on the control opens.
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter, OnMouseLeave;

    virtual void Click();
    // Mouse input in the control's own coordinates, routed here by the parent window.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseEnter();
    virtual void MouseLeave();

    // Repaints the control (for a light control: its area of the parent).
    virtual void Invalidate();
    // Only the part given, in the control's own coordinates.
    void Invalidate(RECT part);
    // Paints a light control; the context's origin is the control's top-left corner.
    virtual void Paint(HDC) {}
    virtual bool IsWindowed() const { return false; }
    // The control is shown: it and every parent are visible.
    bool Showing() const;

    const PropertyRegistry& Properties() const override { return ClassProperties(); }
    static const PropertyRegistry& ClassProperties();

  protected:
    friend class TWinControl;
    void Notification(TComponent* component, TOperation operation) override;
    // The font changed (own or inherited).
    virtual void FontChanged();
    // Bounds changed; windowed controls move their window, light ones repaint.
    virtual void BoundsChanged(const RECT& old);
    void RequestRealign();

    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = TAlign::alNone;
    bool alignWithMargins_ = false;
    RECT margins_{3, 3, 3, 3};
    bool visible_ = true;
    bool enabled_ = true;
    std::string caption_, hint_;
    bool showHint_ = false;
    TColor colour_ = clBtnFace;
    bool parentColour_ = false;
    std::optional<TFontData> font_;
    int cursor_ = crDefault;
    TPopupMenu* popupMenu_ = nullptr;
};

// A control without a window of its own, painted by its parent.
class TGraphicControl : public TControl {
  public:
    using TControl::TControl;
};

}  // namespace ui
