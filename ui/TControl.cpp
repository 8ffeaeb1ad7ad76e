#include "ui/TControl.h"

#include "ui/TApplication.h"
#include "ui/TPopupMenu.h"
#include "ui/TWinControl.h"

namespace ui {

namespace {

const TFontData& DefaultFont() {
    static const TFontData font;
    return font;
}

}  // namespace

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
    if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent_) parent_->RemoveControl(this);
    if (parent) parent->InsertControl(this);  // sets parent_
    FontChanged();
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    const RECT old = BoundsRect();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    BoundsChanged(old);
    // Aligned siblings move, and a scrolling parent's range follows its content.
    RequestRealign();
}

void TControl::BoundsChanged(const RECT& old) {
    if (!parent_) return;
    parent_->InvalidateArea(old);
    parent_->InvalidateArea(BoundsRect());
}

void TControl::RequestRealign() {
    if (parent_) parent_->Realign();
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    RequestRealign();
}

void TControl::SetAlignWithMargins(bool value) {
    if (value == alignWithMargins_) return;
    alignWithMargins_ = value;
    RequestRealign();
}

void TControl::SetMargin(LONG RECT::*side, int pixels) {
    margins_.*side = pixels;
    if (alignWithMargins_) RequestRealign();
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (parent_) parent_->InvalidateArea(BoundsRect());
    RequestRealign();
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Invalidate();
}

void TControl::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Invalidate();
}

TColor TControl::Color() const {
    return parentColour_ && parent_ ? parent_->Color() : colour_;
}

void TControl::SetColor(TColor colour) {
    if (colour == colour_ && !parentColour_) return;
    colour_ = colour;
    parentColour_ = false;
    Invalidate();
}

void TControl::SetParentColor(bool parentColour) {
    if (parentColour == parentColour_) return;
    parentColour_ = parentColour;
    Invalidate();
}

const TFontData& TControl::Font() const {
    if (font_) return *font_;
    return parent_ ? parent_->Font() : DefaultFont();
}

void TControl::SetFont(const TFontData& font) {
    font_ = font;
    FontChanged();
}

void TControl::SetParentFont(bool parentFont) {
    if (parentFont == ParentFont()) return;
    if (parentFont)
        font_.reset();
    else
        font_ = Font();
    FontChanged();
}

void TControl::FontChanged() {
    Invalidate();
}

void TControl::SetCursor(int cursor) {
    cursor_ = cursor;
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
    if (popupMenu_) RemoveFreeNotification(popupMenu_);
    popupMenu_ = menu;
    if (menu) FreeNotification(menu);
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

bool TControl::Showing() const {
    for (const TControl* c = this; c; c = c->parent_)
        if (!c->visible_) return false;
    return true;
}

void TControl::Invalidate() {
    if (parent_ && visible_) parent_->InvalidateArea(BoundsRect());
}

void TControl::Invalidate(RECT part) {
    if (!parent_ || !visible_) return;
    const RECT bounds = BoundsRect();
    ::OffsetRect(&part, bounds.left, bounds.top);
    if (::IntersectRect(&part, &part, &bounds)) parent_->InvalidateArea(part);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
    if (OnMouseLeave) OnMouseLeave(this);
}

const PropertyRegistry& TControl::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TControl", &TComponent::ClassProperties());
        auto fontField = [](auto member) {
            return [member](TControl& c, auto value) {
                TFontData f = c.Font();
                f.*member = value;
                c.SetFont(f);
            };
        };
        Registrar<TControl>(r)
            .Pixels("Left", &TControl::Left, &TControl::SetLeft)
            .Pixels("Top", &TControl::Top, &TControl::SetTop)
            .Pixels("Width", &TControl::Width, &TControl::SetWidth)
            .Pixels("Height", &TControl::Height, &TControl::SetHeight)
            .Enum("Align",
                  {{"alNone", 0},
                   {"alTop", 1},
                   {"alBottom", 2},
                   {"alLeft", 3},
                   {"alRight", 4},
                   {"alClient", 5}},
                  &TControl::Align, &TControl::SetAlign)
            .Boolean("AlignWithMargins", &TControl::AlignWithMargins,
                     &TControl::SetAlignWithMargins)
            .Pixels(
                "Margins.Left", [](const TControl& c) { return c.Margins().left; },
                [](TControl& c, int v) { c.SetMargin(&RECT::left, v); })
            .Pixels(
                "Margins.Top", [](const TControl& c) { return c.Margins().top; },
                [](TControl& c, int v) { c.SetMargin(&RECT::top, v); })
            .Pixels(
                "Margins.Right", [](const TControl& c) { return c.Margins().right; },
                [](TControl& c, int v) { c.SetMargin(&RECT::right, v); })
            .Pixels(
                "Margins.Bottom", [](const TControl& c) { return c.Margins().bottom; },
                [](TControl& c, int v) { c.SetMargin(&RECT::bottom, v); })
            .Boolean("Visible", &TControl::Visible, &TControl::SetVisible)
            .Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled)
            .Text("Caption", &TControl::Caption, &TControl::SetCaption)
            .Text("Hint", &TControl::Hint, &TControl::SetHint)
            .Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
            .Colour("Color", &TControl::Color, &TControl::SetColor)
            .Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor)
            .Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont)
            .Text(
                "Font.Name", [](const TControl& c) { return c.Font().name; },
                fontField(&TFontData::name))
            .Pixels(
                "Font.Height", [](const TControl& c) { return c.Font().height; },
                fontField(&TFontData::height))
            .Set(
                "Font.Style",
                {{"fsBold", fsBold},
                 {"fsItalic", fsItalic},
                 {"fsUnderline", fsUnderline},
                 {"fsStrikeOut", fsStrikeOut}},
                [](const TControl& c) { return c.Font().style; }, fontField(&TFontData::style))
            .Colour(
                "Font.Color", [](const TControl& c) { return c.Font().colour; },
                fontField(&TFontData::colour))
            .Enum("Cursor",
                  {{"crDefault", crDefault},
                   {"crArrow", crArrow},
                   {"crCross", crCross},
                   {"crIBeam", crIBeam},
                   {"crSizeAll", crSizeAll},
                   {"crHourGlass", crHourGlass},
                   {"crHandPoint", crHandPoint}},
                  &TControl::Cursor, &TControl::SetCursor)
            .Reference<TPopupMenu>("PopupMenu", &TControl::SetPopupMenu)
            .Event<TNotifyEvent>("OnClick", [](TControl& c, TNotifyEvent e) { c.OnClick = e; })
            .Event<TMouseEvent>("OnMouseDown",
                                [](TControl& c, TMouseEvent e) { c.OnMouseDown = e; })
            .Event<TMouseEvent>("OnMouseUp", [](TControl& c, TMouseEvent e) { c.OnMouseUp = e; })
            .Event<TMouseMoveEvent>("OnMouseMove",
                                    [](TControl& c, TMouseMoveEvent e) { c.OnMouseMove = e; })
            .Event<TNotifyEvent>("OnMouseEnter",
                                 [](TControl& c, TNotifyEvent e) { c.OnMouseEnter = e; })
            .Event<TNotifyEvent>("OnMouseLeave",
                                 [](TControl& c, TNotifyEvent e) { c.OnMouseLeave = e; });
        return r;
    }();
    return registry;
}

}  // namespace ui
