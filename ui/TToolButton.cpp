#include "ui/TToolButton.h"

#include <algorithm>
#include <utility>

#include "ui/TApplication.h"
#include "ui/TImageList.h"
#include "ui/TMenuItem.h"
#include "ui/TPopupMenu.h"
#include "ui/TToolBar.h"

namespace ui {

namespace {

int ArrowWidth() {
    return Application->Scale(13);
}

// Lays a colour over an area, `alpha` of 255 opaque: the faces of hot and
// pressed buttons let the bar's gradient show through.
void Blend(HDC dc, const RECT& r, COLORREF colour, BYTE alpha) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 1, 1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    win::Bitmap pixel(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!pixel || !bits) return;
    *static_cast<DWORD*>(bits) =
        (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    win::MemoryDC source(::CreateCompatibleDC(dc));
    win::Selection select(source.Get(), pixel.Get());
    const BLENDFUNCTION function{AC_SRC_OVER, 0, alpha, 0};
    ::AlphaBlend(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, source.Get(), 0, 0, 1, 1,
                 function);
}

void Frame(HDC dc, const RECT& r, COLORREF colour) {
    win::Brush brush(::CreateSolidBrush(colour));
    ::FrameRect(dc, &r, brush.Get());
}

COLORREF Darker(COLORREF c, int percent) {
    auto part = [percent](int v) { return v * percent / 100; };
    return RGB(part(GetRValue(c)), part(GetGValue(c)), part(GetBValue(c)));
}

void Line(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour) {
    win::Pen pen(::CreatePen(PS_SOLID, 1, colour));
    win::Selection select(dc, pen.Get());
    ::MoveToEx(dc, x0, y0, nullptr);
    ::LineTo(dc, x1, y1);
}

}  // namespace

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner) {}

TToolButton::~TToolButton() = default;

TToolBar* TToolButton::ToolBar() const {
    return dynamic_cast<TToolBar*>(parent_);
}

void TToolButton::Rearrange() {
    if (TToolBar* bar = ToolBar()) bar->ArrangeButtons();
}

void TToolButton::SetStyle(TToolButtonStyle style) {
    if (style == style_) return;
    style_ = style;
    Rearrange();
}

void TToolButton::SetImageIndex(int index) {
    if (index == imageIndex_) return;
    imageIndex_ = index;
    if (autoSize_)
        Rearrange();
    else
        Invalidate();
}

void TToolButton::SetDropdownMenu(TPopupMenu* menu) {
    if (dropdownMenu_) RemoveFreeNotification(dropdownMenu_);
    dropdownMenu_ = menu;
    if (dropdownMenu_) FreeNotification(dropdownMenu_);
}

void TToolButton::SetMenuItem(TMenuItem* item) {
    if (menuItem_) RemoveFreeNotification(menuItem_);
    menuItem_ = item;
    if (menuItem_) FreeNotification(menuItem_);
}

void TToolButton::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == dropdownMenu_) dropdownMenu_ = nullptr;
    if (component == menuItem_) menuItem_ = nullptr;
}

void TToolButton::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    Rearrange();
}

void TToolButton::SetParent(TWinControl* parent) {
    TGraphicControl::SetParent(parent);
    Rearrange();
}

void TToolButton::SetVisible(bool visible) {
    TGraphicControl::SetVisible(visible);
    Rearrange();
}

void TToolButton::SetCaption(const std::string& caption) {
    TGraphicControl::SetCaption(caption);
    if (autoSize_) Rearrange();
}

void TToolButton::FontChanged() {
    TGraphicControl::FontChanged();
    if (autoSize_) Rearrange();  // the caption's width changed
}

void TToolButton::SetMenuOpen(bool open) {
    if (open == menuOpen_) return;
    menuOpen_ = open;
    // The other buttons show no hover while a menu is open.
    if (TToolBar* bar = ToolBar()) bar->Invalidate();
}

int TToolButton::ArrangedWidth() const {
    TToolBar* bar = ToolBar();
    if (style_ == TToolButtonStyle::tbsSeparator)
        return width_ > 0 ? width_ : Application->Scale(8);
    if (!bar) return width_;
    const int arrow = style_ == TToolButtonStyle::tbsDropDown ? ArrowWidth() : 0;
    if (!autoSize_) return bar->ButtonWidth() + arrow;
    // Wide enough for the caption and the image, with a margin on both sides.
    int content = 0;
    if (!caption_.empty() && (bar->ShowCaptions() || menuItem_)) {
        win::WindowDC screen = win::WindowDC::Of(nullptr);
        win::Selection font(screen.Get(), bar->ButtonFont());
        RECT r{0, 0, 0, 0};
        ::DrawTextA(screen.Get(), caption_.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
        content = r.right - r.left;
    }
    const TImageList* images = bar->Images();
    if (images && imageIndex_ >= 0 && imageIndex_ < images->Count())
        content = bar->List() ? content + images->DrawWidth() + Application->Scale(4)
                              : std::max(content, images->DrawWidth());
    return content + 2 * Application->Scale(7) + arrow;
}

RECT TToolButton::ArrowRect() const {
    if (style_ != TToolButtonStyle::tbsDropDown) return {width_, 0, width_, height_};
    return {width_ - ArrowWidth(), 0, width_, height_};
}

void TToolButton::Click() {
    if (std::exchange(suppressClick_, false)) return;
    TGraphicControl::Click();
}

void TToolButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    TToolBar* bar = ToolBar();
    if (button != TMouseButton::mbLeft || !enabled_ || !bar ||
        style_ == TToolButtonStyle::tbsSeparator)
        return;
    if (menuItem_) {
        bar->TrackMenu(this);
        return;
    }
    const RECT arrow = ArrowRect();
    if (::PtInRect(&arrow, {x, y})) {
        bar->ShowDropdown(this);
        return;
    }
    pressed_ = true;
    Invalidate();
}

void TToolButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    const bool onFace = std::exchange(pressed_, false);
    if (onFace) Invalidate();
    TGraphicControl::MouseUp(button, shift, x, y);
    // The bar clicks a button that the left button is released over; that counts
    // only after a press on the button's face (not on its arrow, not a menu's).
    const bool inside = x >= 0 && y >= 0 && x < width_ && y < height_;
    if (button == TMouseButton::mbLeft && inside && enabled_) suppressClick_ = !onFace;
}

void TToolButton::MouseEnter() {
    hot_ = true;
    Invalidate();
    TGraphicControl::MouseEnter();
}

void TToolButton::MouseLeave() {
    hot_ = false;
    Invalidate();
    TGraphicControl::MouseLeave();
}

void TToolButton::Paint(HDC dc) {
    TToolBar* bar = ToolBar();
    if (!bar) return;
    const RECT r{0, 0, width_, height_};
    // Lines in a darker shade of the bar's own colour.
    const bool gradient = bar->DrawingStyle() == TTBDrawingStyle::dsGradient;
    const COLORREF shade =
        gradient ? ColorToRGB(bar->GradientEndColor()) : ColorToRGB(bar->Color());
    const COLORREF frame = Darker(shade, 60);
    if (style_ == TToolButtonStyle::tbsSeparator) {
        const int x = width_ / 2 - 1, inset = Application->Scale(3);
        Line(dc, x, inset, x, height_ - inset, Darker(shade, 75));
        Line(dc, x + 1, inset, x + 1, height_ - inset, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        return;
    }
    const bool down = menuOpen_ || (pressed_ && hot_);
    const bool hot = enabled_ && (menuOpen_ || (hot_ && !bar->ShowsMenu()));
    RECT face = r;
    if (style_ == TToolButtonStyle::tbsDropDown) face.right = ArrowRect().left;
    if (!bar->Flat()) {
        RECT edge = r;
        ::DrawEdge(dc, &edge, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    } else if (down || hot) {
        Blend(dc, r, down ? RGB(0, 0, 0) : RGB(255, 255, 255), down ? 36 : 130);
        Frame(dc, r, frame);
        if (style_ == TToolButtonStyle::tbsDropDown)
            Line(dc, face.right, 1, face.right, height_ - 1, frame);
    }
    PaintFace(dc, face, down);
    if (style_ == TToolButtonStyle::tbsDropDown) PaintArrow(dc, down);
}

void TToolButton::PaintFace(HDC dc, const RECT& area, bool down) {
    TToolBar* bar = ToolBar();
    TImageList* images = bar->Images();
    const bool image = images && imageIndex_ >= 0 && imageIndex_ < images->Count();
    const bool text = !caption_.empty() && (bar->ShowCaptions() || menuItem_);
    const int shift = down ? 1 : 0;
    win::Selection font(dc, bar->ButtonFont());
    RECT measured{0, 0, 0, 0};
    if (text) ::DrawTextA(dc, caption_.c_str(), -1, &measured, DT_CALCRECT | DT_SINGLELINE);
    const int tw = measured.right, th = measured.bottom;
    const int iw = image ? images->DrawWidth() : 0, ih = image ? images->DrawHeight() : 0;
    const int gap = image && text ? Application->Scale(bar->List() ? 4 : 2) : 0;
    const int aw = area.right - area.left, ah = area.bottom - area.top;
    RECT textArea = area;
    if (bar->List()) {
        const int x = area.left + std::max(0, (aw - iw - gap - tw) / 2);
        if (image)
            images->Draw(dc, x + shift, area.top + (ah - ih) / 2 + shift, imageIndex_, enabled_);
        textArea.left = x + iw + gap;
    } else {
        const int y = area.top + std::max(0, (ah - ih - gap - th) / 2);
        if (image)
            images->Draw(dc, area.left + (aw - iw) / 2 + shift, y + shift, imageIndex_, enabled_);
        if (image) textArea.top = y + ih + gap;
        if (image) textArea.bottom = textArea.top + th;
    }
    if (!text) return;
    ::OffsetRect(&textArea, shift, shift);
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS |
                        (bar->List() ? DT_LEFT : DT_CENTER) | (menuItem_ ? 0 : DT_NOPREFIX);
    ::SetBkMode(dc, TRANSPARENT);
    if (!enabled_) {
        // Disabled text is engraved: a light copy under a grey one.
        RECT light = textArea;
        ::OffsetRect(&light, 1, 1);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        ::DrawTextA(dc, caption_.c_str(), -1, &light, format);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
    } else {
        ::SetTextColor(dc, ColorToRGB(Font().colour));
    }
    ::DrawTextA(dc, caption_.c_str(), -1, &textArea, format);
}

void TToolButton::PaintArrow(HDC dc, bool down) {
    const RECT a = ArrowRect();
    const int size = Application->Scale(3);  // rows of the triangle
    const int x = (a.left + a.right) / 2 - size + (down ? 1 : 0);
    const int y = (a.top + a.bottom) / 2 - size / 2 + (down ? 1 : 0);
    const COLORREF colour = enabled_ ? ColorToRGB(Font().colour) : ::GetSysColor(COLOR_BTNSHADOW);
    for (int i = 0; i < size; ++i)
        Line(dc, x + i, y + i, x + 2 * size - 1 - i, y + i, colour);
}

const PropertyRegistry& TToolButton::ClassProperties() {
    static const PropertyRegistry registry = [] {
        PropertyRegistry r("TToolButton", &TControl::ClassProperties());
        Registrar<TToolButton>(r)
            .Enum("Style", {{"tbsButton", 0}, {"tbsDropDown", 1}, {"tbsSeparator", 2}},
                  &TToolButton::Style, &TToolButton::SetStyle)
            .Integer("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex)
            .Boolean("AutoSize", &TToolButton::AutoSize, &TToolButton::SetAutoSize)
            .Reference<TPopupMenu>("DropdownMenu", &TToolButton::SetDropdownMenu);
        return r;
    }();
    return registry;
}

}  // namespace ui
