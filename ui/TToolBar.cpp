#include "ui/TToolBar.h"

#include <algorithm>

#include "ui/ToolBarMenus.h"
#include "ui/TApplication.h"
#include "ui/TImageList.h"
#include "ui/TMainMenu.h"
#include "ui/TToolButton.h"

namespace ui {

TToolBar::TToolBar(TComponent* owner)
    : TWinControl(owner),
      buttonWidth_(Application->Scale(23)),
      buttonHeight_(Application->Scale(22)) {
    width_ = Application->Scale(150);
    height_ = Application->Scale(29);
}

TToolBar::~TToolBar() {
    UnregisterMenuBar(this);
}

void TToolBar::SetButtonWidth(int width) {
    buttonWidth_ = width;
    ArrangeButtons();
}

void TToolBar::SetButtonHeight(int height) {
    buttonHeight_ = height;
    ArrangeButtons();
}

void TToolBar::SetIndent(int indent) {
    indent_ = indent;
    ArrangeButtons();
}

void TToolBar::SetShowCaptions(bool show) {
    showCaptions_ = show;
    ArrangeButtons();
}

void TToolBar::SetList(bool list) {
    list_ = list;
    ArrangeButtons();
}

void TToolBar::SetFlat(bool flat) {
    flat_ = flat;
    Invalidate();
}

void TToolBar::SetEdgeBorders(unsigned edges) {
    edgeBorders_ = edges;
    ArrangeButtons();
}

void TToolBar::SetDrawingStyle(TTBDrawingStyle style) {
    drawingStyle_ = style;
    Invalidate();
}

void TToolBar::SetGradientStartColor(TColor colour) {
    gradientStart_ = colour;
    Invalidate();
}

void TToolBar::SetGradientEndColor(TColor colour) {
    gradientEnd_ = colour;
    Invalidate();
}

void TToolBar::SetImages(TImageList* images) {
    if (images == images_) return;
    if (images_) RemoveFreeNotification(images_);
    images_ = images;
    if (images_) FreeNotification(images_);
    ArrangeButtons();
}

void TToolBar::ClearMenuButtons() {
    auto buttons = std::move(menuButtons_);
    menuButtons_.clear();
    for (TToolButton* b : buttons)
        delete b;
}

void TToolBar::SetMenu(TMainMenu* menu) {
    if (menu_ && menu_ != menu) RemoveFreeNotification(menu_);
    ClearMenuButtons();
    menu_ = menu;
    if (!menu_) {
        UnregisterMenuBar(this);
        ArrangeButtons();
        return;
    }
    FreeNotification(menu_);
    TMenuItem* items = menu_->Items();
    for (int i = 0; i < items->Count(); ++i) {
        TMenuItem* item = items->Items(i);
        auto* b = new TToolButton(nullptr);
        menuButtons_.push_back(b);
        b->SetAutoSize(true);
        b->SetMenuItem(item);
        b->SetCaption(item->Caption());
        b->SetEnabled(item->Enabled());
        b->SetVisible(item->Visible());
        b->SetHint(item->Hint());
        b->SetParent(this);
    }
    RegisterMenuBar(this);
    ArrangeButtons();
}

void TToolBar::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == images_) {
        images_ = nullptr;
        Invalidate();
    }
    if (component == menu_) {
        // The buttons' items are going with the menu.
        menu_ = nullptr;
        ClearMenuButtons();
        UnregisterMenuBar(this);
    }
}

int TToolBar::ButtonCount() const {
    return static_cast<int>(std::count_if(Controls().begin(), Controls().end(), [](TControl* c) {
        return dynamic_cast<TToolButton*>(c) != nullptr;
    }));
}

TToolButton* TToolBar::Buttons(int index) const {
    for (TControl* c : Controls())
        if (auto* b = dynamic_cast<TToolButton*>(c))
            if (index-- == 0) return b;
    return nullptr;
}

bool TToolBar::ShowsMenu() const {
    for (TControl* c : Controls())
        if (auto* b = dynamic_cast<TToolButton*>(c); b && b->MenuOpen()) return true;
    return false;
}

TToolButton* TToolBar::ButtonAt(POINT client) const {
    for (TControl* c : Controls()) {
        auto* b = dynamic_cast<TToolButton*>(c);
        RECT r = c->BoundsRect();
        if (b && b->Visible() && ::PtInRect(&r, client)) return b;
    }
    return nullptr;
}

RECT TToolBar::ButtonArea() const {
    RECT r = ClientRect();
    const int edge = 2;  // an etched edge: a shadow and a highlight line
    if (edgeBorders_ & ebLeft) r.left += edge;
    if (edgeBorders_ & ebTop) r.top += edge;
    if (edgeBorders_ & ebRight) r.right -= edge;
    if (edgeBorders_ & ebBottom) r.bottom -= edge;
    return r;
}

void TToolBar::ArrangeButtons() {
    if (arranging_) return;
    arranging_ = true;
    const RECT area = ButtonArea();
    int x = area.left + indent_;
    for (TControl* c : Controls()) {
        auto* b = dynamic_cast<TToolButton*>(c);
        if (!b || !b->Visible()) continue;
        const int w = b->ArrangedWidth();
        b->SetBounds(x, area.top, w, buttonHeight_);
        x += w;
    }
    arranging_ = false;
    Invalidate();
}

void TToolBar::AdoptChild(TComponent* child) {
    TWinControl::AdoptChild(child);
    ArrangeButtons();
}

void TToolBar::TrackMenu(TToolButton* button, bool byKeyboard) {
    TrackMenuBar(*this, button, byKeyboard);
}

void TToolBar::ShowDropdown(TToolButton* button) {
    TrackDropdown(*this, button);
}

void TToolBar::PaintBackground(HDC dc) {
    const RECT r = ClientRect();
    if (drawingStyle_ == TTBDrawingStyle::dsGradient) {
        const COLORREF from = ColorToRGB(gradientStart_), to = ColorToRGB(gradientEnd_);
        TRIVERTEX v[] = {
            {r.left, r.top, static_cast<COLOR16>(GetRValue(from) << 8),
             static_cast<COLOR16>(GetGValue(from) << 8), static_cast<COLOR16>(GetBValue(from) << 8),
             0},
            {r.right, r.bottom, static_cast<COLOR16>(GetRValue(to) << 8),
             static_cast<COLOR16>(GetGValue(to) << 8), static_cast<COLOR16>(GetBValue(to) << 8), 0},
        };
        GRADIENT_RECT g{0, 1};
        ::GradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
    } else {
        win::Brush brush(::CreateSolidBrush(ColorToRGB(colour_)));
        ::FillRect(dc, &r, brush.Get());
    }
    UINT edges = 0;
    if (edgeBorders_ & ebLeft) edges |= BF_LEFT;
    if (edgeBorders_ & ebTop) edges |= BF_TOP;
    if (edgeBorders_ & ebRight) edges |= BF_RIGHT;
    if (edgeBorders_ & ebBottom) edges |= BF_BOTTOM;
    if (edges) {
        RECT e = r;
        ::DrawEdge(dc, &e, EDGE_ETCHED, edges);
    }
}

LRESULT TToolBar::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        PaintBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    }
    if (message == OpenMenuMessage()) {
        TToolButton* b = Buttons(static_cast<int>(wParam));
        if (b && b->MenuItem() && b->Enabled() && b->Visible()) TrackMenu(b, true);
        return 0;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}

const PropertyRegistry& TToolBar::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TToolBar", &TControl::ClassProperties());
        Registrar<TToolBar>(r)
            .Pixels("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth)
            .Pixels("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight)
            .Pixels("Indent", &TToolBar::Indent, &TToolBar::SetIndent)
            .Boolean("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions)
            .Boolean("List", &TToolBar::List, &TToolBar::SetList)
            .Boolean("Flat", &TToolBar::Flat, &TToolBar::SetFlat)
            .Set("EdgeBorders",
                 {{"ebLeft", ebLeft},
                  {"ebTop", ebTop},
                  {"ebRight", ebRight},
                  {"ebBottom", ebBottom}},
                 &TToolBar::EdgeBorders, &TToolBar::SetEdgeBorders)
            .Enum("DrawingStyle", {{"dsNormal", 0}, {"dsGradient", 1}}, &TToolBar::DrawingStyle,
                  &TToolBar::SetDrawingStyle)
            .Colour("GradientStartColor", &TToolBar::GradientStartColor,
                    &TToolBar::SetGradientStartColor)
            .Colour("GradientEndColor", &TToolBar::GradientEndColor, &TToolBar::SetGradientEndColor)
            .Reference<TImageList>("Images", &TToolBar::SetImages)
            .Reference<TMainMenu>("Menu", &TToolBar::SetMenu);
        return r;
    }();
    return registry;
}

}  // namespace ui
